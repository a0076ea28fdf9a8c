#include "ResultChange.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <cmath>

namespace norvale {

namespace {

float difference(float after, float before)
{
    const float delta = after - before;
    return std::isfinite(delta) ? RoundToTenths(delta) : delta;
}

// Rule name (upper case) -> summed points, and the names in first-seen order.
struct RuleTotals
{
    QStringList order;
    QHash<QString, float> points;
    QHash<QString, QString> shownName;
};

RuleTotals totalsOf(const ScoreResult &result)
{
    RuleTotals totals;
    for (const Reason &reason : result.reasons) {
        const QString key = reason.ruleName.toUpper();
        if (!totals.points.contains(key)) {
            totals.order.append(key);
            totals.shownName.insert(key, reason.ruleName);
        }
        totals.points[key] += reason.points;
    }
    return totals;
}

} // namespace

float RuleChange::delta() const
{
    return difference(after, before);
}

float ResultChange::delta() const
{
    return difference(totalAfter, totalBefore);
}

ResultChange CompareResults(const ScoreResult &before, const ScoreResult &after)
{
    ResultChange change;
    change.totalBefore = before.total;
    change.totalAfter = after.total;
    const RuleTotals old = totalsOf(before);
    const RuleTotals now = totalsOf(after);
    for (const QString &key : now.order) {
        const float points = now.points.value(key);
        if (!old.points.contains(key)) {
            change.rules.append({ now.shownName.value(key), RuleChange::Kind::New, 0.0f, points });
        } else if (const float earlier = old.points.value(key); earlier != points) {
            change.rules.append({ now.shownName.value(key), RuleChange::Kind::Changed, earlier, points });
        }
    }
    for (const QString &key : old.order) {
        if (!now.points.contains(key))
            change.rules.append(
                { old.shownName.value(key), RuleChange::Kind::Gone, old.points.value(key), 0.0f });
    }
    return change;
}

namespace {

std::optional<QJsonArray> savedFiles(QByteArrayView json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue files = document.object().value(u"files");
    if (!files.isArray())
        return std::nullopt;
    return files.toArray();
}

} // namespace

bool IsSavedResult(QByteArrayView json)
{
    return savedFiles(json).has_value();
}

std::optional<ScoreResult> ScoreResultFromJson(QByteArrayView json, const QString &path)
{
    const std::optional<QJsonArray> files = savedFiles(json);
    if (!files)
        return std::nullopt;

    QList<QJsonObject> checked;
    for (const auto &file : *files) {
        const QJsonObject entry = file.toObject();
        if (entry.value(u"reasons").isArray() && entry.value(u"score").isDouble())
            checked.append(entry);
    }
    const QJsonObject *chosen = nullptr;
    for (const QJsonObject &entry : checked) {
        if (entry.value(u"path").toString() == path) {
            chosen = &entry;
            break;
        }
    }
    if (!chosen && checked.size() == 1)
        chosen = &checked.first();
    if (!chosen)
        return std::nullopt;

    ScoreResult result;
    result.total = float(chosen->value(u"score").toDouble());
    const QJsonArray reasons = chosen->value(u"reasons").toArray();
    for (const auto &value : reasons) {
        const QJsonObject row = value.toObject();
        Reason reason;
        reason.points = float(row.value(u"points").toDouble());
        reason.ruleName = row.value(u"rule").toString();
        reason.type = row.value(u"type").toString();
        reason.description = row.value(u"description").toString();
        if (!reason.ruleName.isEmpty())
            result.reasons.append(reason);
    }
    return result;
}

} // namespace norvale
