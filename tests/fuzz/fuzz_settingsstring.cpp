// The settings line: ParseSettingsString on any text, and the round trip
// through FormatSettingsString both ways.
// Input: the settings line; its NUL-separated parts also make the rule score
// list and thresholds of a Settings value that is written and read back.

#include "FuzzSupport.h"
#include "Settings.h"

using namespace norvale;

namespace {

bool IsCheckBoxState(int value)
{
    return value == 0 || value == 1 || value == 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::Text(data, size);
    const Settings parsed = ParseSettingsString(text);
    FUZZ_CHECK(IsCheckBoxState(parsed.hideZero) && IsCheckBoxState(parsed.onlineChecks));
    // A parsed value never holds "&" or "=", so it survives the round trip.
    const QString line = FormatSettingsString(parsed);
    FUZZ_CHECK(ParseSettingsString(line) == parsed);
    FUZZ_CHECK(FormatSettingsString(ParseSettingsString(line)) == line);

    // The pairs of other keys are kept whole and read back as they were.
    QStringList others;
    FUZZ_CHECK(ParseSettingsString(text, &others) == parsed);
    const QString withOthers = FormatSettingsString(parsed, others);
    QStringList othersAgain;
    FUZZ_CHECK(ParseSettingsString(withOthers, &othersAgain) == parsed);
    FUZZ_CHECK(othersAgain == others);

    const QList<QString> parts = fuzz::Parts(data, size, 2);
    Settings written;
    written.rules = parts[0];
    written.thresholds = parts[1];
    written.hideZero = int(size % 3);
    written.onlineChecks = int(size / 3 % 3);
    auto unsafe = [](const QString &value) { return value.contains(u'&') || value.contains(u'='); };
    if (!unsafe(written.rules) && !unsafe(written.thresholds))
        FUZZ_CHECK(ParseSettingsString(FormatSettingsString(written)) == written);
    return 0;
}
