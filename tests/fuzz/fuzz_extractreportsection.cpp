// ExtractReportSection on any report text.

#include "FuzzSupport.h"
#include "ReportScorer.h"

using namespace norvale;

namespace {

const QLatin1StringView Heading("Content analysis details");

QString WithoutCr(QString text)
{
    return text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString report = fuzz::Text(data, size);
    const QString section = ExtractReportSection(report);

    // The last heading at the start of a line.
    qsizetype start = -1;
    for (qsizetype at = report.indexOf(Heading, 0, Qt::CaseInsensitive); at >= 0;
         at = report.indexOf(Heading, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || report[at - 1] == u'\n')
            start = at;
    }
    if (start < 0) {
        FUZZ_CHECK(section.isEmpty());
        return 0;
    }
    FUZZ_CHECK(section.startsWith(Heading, Qt::CaseInsensitive));
    for (qsizetype lf = section.indexOf(u'\n'); lf >= 0; lf = section.indexOf(u'\n', lf + 1))
        FUZZ_CHECK(lf > 0 && section[lf - 1] == u'\r');
    // Only carriage returns were added, and only before line feeds.
    FUZZ_CHECK(WithoutCr(section) == WithoutCr(report.sliced(start)));
    FUZZ_CHECK(ExtractReportSection(section) == section);
    return 0;
}
