// Times ScoreReport on a synthetic report section of 10,000 rule rows (with
// wrapped description and evidence lines) and a rule score list of 50
// overrides. Prints the best and the median of several runs; the target is a
// median under 20 ms in a Release build.

#include "ReportScorer.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace norvale;

namespace {

constexpr int RowCount = 10000;
constexpr int OverrideCount = 50;
constexpr int Runs = 15;
constexpr double TargetMs = 20.0;

QString BuildSection()
{
    QString section;
    section.reserve(qsizetype(RowCount) * 90);
    section += QStringLiteral("Content analysis details:   (1234.5 points, 5.0 required)\r\n\r\n");
    section += QStringLiteral(" pts rule name              description\r\n");
    section += QStringLiteral(
        "---- ---------------------- --------------------------------------------------\r\n");
    const QString indent(28, u' ');
    for (int i = 0; i < RowCount; ++i) {
        const QString points
            = i % 7 == 0 ? QStringLiteral("-0.0") : QString::number((i % 50) / 10.0 - 1.0, 'f', 1);
        const QString name = QStringLiteral("SYNTH_RULE_%1").arg(i);
        section += points.rightJustified(4) + u' ' + name.leftJustified(22) + u' ';
        section += i % 3 == 0 ? QStringLiteral("BODY: ") : QString();
        section += QStringLiteral("Synthetic description number %1 of the table\r\n").arg(i);
        if (i % 10 == 0)
            section += indent + QStringLiteral("wrapped on to a second line\r\n");
        if (i % 25 == 0)
            section += indent + QStringLiteral("[john.doe(at)example.com]\r\n");
    }
    return section + QStringLiteral("\r\n");
}

QString BuildRules()
{
    QStringList entries;
    for (int k = 0; k < OverrideCount; ++k)
        entries << QStringLiteral("SYNTH_RULE_%1:%2").arg(k * (RowCount / OverrideCount)).arg(k % 5 + 0.5);
    return entries.join(u'|');
}

} // namespace

int main()
{
    const QString section = BuildSection();
    const QString rules = BuildRules();
    const QLocale locale = QLocale::c();

    std::vector<double> times;
    ScoreResult result;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        result = ScoreReport(section, rules, locale);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (result.reasons.size() != RowCount) {
        std::printf(
            "unexpected result: %lld reasons instead of %d\n", qlonglong(result.reasons.size()), RowCount);
        return 1;
    }
    std::sort(times.begin(), times.end());
    const double best = times.front();
    const double median = times[times.size() / 2];
    std::printf("ScoreReport: %d rows, %d overrides, section of %lld characters, total %.1f\n", RowCount,
        OverrideCount, qlonglong(section.size()), double(result.total));
    std::printf("best %.2f ms, median %.2f ms over %d runs\n", best, median, Runs);
    std::printf("target: < %.0f ms: %s\n", TargetMs, median < TargetMs ? "PASS" : "FAIL");
    return 0;
}
