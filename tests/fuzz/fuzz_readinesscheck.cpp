// CheckReadiness on any bytes as a message file. Properties: every finding has
// an id, a name and, when it is a problem or a warning, texts saying what is
// wrong and what to change; ids are unique; values stay short; the counts
// add up; and the same message with CR LF line ends gives the same findings.

#include "FuzzSupport.h"
#include "ReadinessCheck.h"

#include <QByteArray>
#include <QSet>

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray message(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReadinessResult result = CheckReadiness(message);
    FUZZ_CHECK(!result.findings.isEmpty());

    QSet<QString> ids;
    for (const ReadinessFinding &finding : result.findings) {
        FUZZ_CHECK(!finding.id.isEmpty());
        FUZZ_CHECK(!ids.contains(finding.id));
        ids.insert(finding.id);
        FUZZ_CHECK(finding.titleText >= 400 && finding.titleText < 500);
        FUZZ_CHECK(finding.value.size() <= 200);
        for (const QString &arg : finding.problemArgs)
            FUZZ_CHECK(arg.size() <= 200);
        if (finding.status == ReadinessStatus::Fail || finding.status == ReadinessStatus::Warn)
            FUZZ_CHECK(finding.problemText != 0 && finding.adviceText != 0);
        else if (finding.status == ReadinessStatus::Pass)
            FUZZ_CHECK(finding.adviceText == 0);
    }
    FUZZ_CHECK(result.count(ReadinessStatus::Fail) + result.count(ReadinessStatus::Warn)
            + result.count(ReadinessStatus::Pass) + result.count(ReadinessStatus::Info)
        == result.findings.size());

    // Line ends do not change what is found, where the input has no CR of its
    // own that the conversion would pair up with a LF.
    if (!message.contains('\r')) {
        QByteArray crlf = message;
        crlf.replace("\n", "\r\n");
        const ReadinessResult again = CheckReadiness(crlf);
        FUZZ_CHECK(again.findings.size() == result.findings.size());
        for (qsizetype i = 0; i < result.findings.size(); ++i) {
            FUZZ_CHECK(again.findings[i].id == result.findings[i].id);
            FUZZ_CHECK(again.findings[i].status == result.findings[i].status);
        }
    }
    return 0;
}
