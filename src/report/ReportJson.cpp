#include "ReportJson.h"

#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QJsonArray>

namespace norvale {

namespace {

// A JSON number with the 7 significant digits the user sees.
QJsonValue number(float value)
{
    if (value == 0.0f)
        return 0;
    return QString::number(value, 'g', 7).toDouble();
}

QString matchName(GuideMatch match)
{
    switch (match) {
    case GuideMatch::Own:
        return QStringLiteral("own");
    case GuideMatch::Family:
        return QStringLiteral("family");
    case GuideMatch::None:
        break;
    }
    return QStringLiteral("none");
}

QString kindName(RuleChange::Kind kind)
{
    switch (kind) {
    case RuleChange::Kind::New:
        return QStringLiteral("new");
    case RuleChange::Kind::Gone:
        return QStringLiteral("gone");
    case RuleChange::Kind::Changed:
        break;
    }
    return QStringLiteral("changed");
}

} // namespace

QJsonObject ReportJson(const FullReport &report, const RuleGuide &guide)
{
    QJsonObject json;

    QJsonObject entries;
    for (const Reason &reason : ShownReasons(report)) {
        GuideMatch match = GuideMatch::None;
        const GuideEntry *entry = guide.find(reason.ruleName, &match);
        QJsonObject item { { QStringLiteral("match"), matchName(match) } };
        if (entry) {
            item.insert(QStringLiteral("meaning"), entry->meaning);
            item.insert(QStringLiteral("why"), entry->why);
            item.insert(QStringLiteral("change"), entry->change);
            item.insert(QStringLiteral("localOnly"), entry->localOnly);
        }
        entries.insert(reason.ruleName, item);
    }
    json.insert(QStringLiteral("guide"), entries);

    QJsonArray plan;
    for (const FixTarget &target : ReportFixPlan(report, guide)) {
        QJsonArray rules;
        for (const FixStep &step : target.steps)
            rules.append(QJsonObject { { QStringLiteral("rule"), step.ruleName },
                { QStringLiteral("points"), number(step.points) } });
        plan.append(QJsonObject { { QStringLiteral("level"), target.level },
            { QStringLiteral("verdict"), GetText(TextId::FirstVerdict + target.level) },
            { QStringLiteral("reachable"), target.reachable }, { QStringLiteral("rules"), rules },
            { QStringLiteral("totalAfter"), number(target.totalAfter) } });
    }
    json.insert(QStringLiteral("fixPlan"), plan);

    if (report.evidenceState == FullReport::EvidenceState::Ready) {
        QJsonObject evidence;
        for (const Reason &reason : ShownReasons(report)) {
            const RuleEvidence found = report.evidence.value(reason.ruleName.toUpper());
            evidence.insert(reason.ruleName,
                QJsonObject { { QStringLiteral("matches"), QJsonArray::fromStringList(found.matches) },
                    { QStringLiteral("subRules"), QJsonArray::fromStringList(found.subRules) } });
        }
        json.insert(QStringLiteral("evidence"), evidence);
    } else if (report.evidenceState == FullReport::EvidenceState::Failed) {
        json.insert(QStringLiteral("evidenceError"), report.evidenceError);
    }

    if (report.changeAsked) {
        if (!report.change) {
            json.insert(QStringLiteral("change"), QJsonValue());
        } else {
            QJsonArray rules;
            for (const RuleChange &rule : report.change->rules)
                rules.append(QJsonObject { { QStringLiteral("rule"), rule.ruleName },
                    { QStringLiteral("kind"), kindName(rule.kind) },
                    { QStringLiteral("before"), number(rule.before) },
                    { QStringLiteral("after"), number(rule.after) },
                    { QStringLiteral("delta"), number(rule.delta()) } });
            json.insert(QStringLiteral("change"),
                QJsonObject { { QStringLiteral("totalBefore"), number(report.change->totalBefore) },
                    { QStringLiteral("totalAfter"), number(report.change->totalAfter) },
                    { QStringLiteral("delta"), number(report.change->delta()) },
                    { QStringLiteral("rules"), rules } });
        }
    }
    return json;
}

} // namespace norvale
