// ScoreReport on any section text and rule score list, in each user locale.
// Input: the section, then optionally a NUL and the rule score list.

#include "FuzzSupport.h"
#include "ReportScorer.h"

#include <cmath>

using namespace norvale;

namespace {

// The section with a CR before every LF that has none, as ExtractReportSection
// writes line ends; scoring must not tell the two apart.
QString WithCrLf(const QString &text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            result += u'\r';
        result += text[i];
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QString> parts = fuzz::Parts(data, size, 2);
    const QString &section = parts[0];
    const QString &rules = parts[1];
    const QString crLfSection = WithCrLf(section);

    for (const QLocale &locale : fuzz::Locales()) {
        const ScoreResult result = ScoreReport(section, rules, locale);
        FUZZ_CHECK(std::isfinite(result.total));
        for (const Reason &reason : result.reasons) {
            FUZZ_CHECK(std::isfinite(reason.points));
            FUZZ_CHECK(!reason.ruleName.isEmpty());
            FUZZ_CHECK(!reason.ruleName.contains(u' ') && !reason.ruleName.contains(u'\n'));
            FUZZ_CHECK(!reason.type.contains(u':') && !reason.type.contains(u'\n'));
            FUZZ_CHECK(!reason.description.contains(u'\n'));
        }

        FUZZ_CHECK(result.total != 0.0f || !std::signbit(result.total)); // never -0
        // Without overrides, the checker's own total is the total.
        if (result.checkerTotal && std::isfinite(*result.checkerTotal)) {
            const ScoreResult plain = ScoreReport(section, QString(), locale);
            FUZZ_CHECK(plain.total == RoundToTenths(*result.checkerTotal) + 0.0f);
        }

        const ScoreResult again = ScoreReport(crLfSection, rules, locale);
        FUZZ_CHECK(again.reasons == result.reasons);
        FUZZ_CHECK(again.total == result.total);
        FUZZ_CHECK(again.checkerTotal == result.checkerTotal);
    }
    return 0;
}
