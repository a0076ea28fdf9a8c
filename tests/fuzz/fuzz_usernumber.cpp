// ParseUserNumber and FormatUserNumber in each user locale: a number read
// from any text, or any single-precision value, once written reads back to a
// number that is written the same way again.
// Input: the text; its first four bytes are also taken as a float's bits.

#include "FuzzSupport.h"
#include "Numbers.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace norvale;

namespace {

// The written text of a value reads back to a value written alike; returns what it read.
float CheckWrittenReadsBack(float value, const QLocale &locale)
{
    const QString written = FormatUserNumber(value, locale);
    const std::optional<float> reread = ParseUserNumber(written, locale);
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(FormatUserNumber(*reread, locale) == written);
    return *reread;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::Text(data, size);
    float bits = 0.0f;
    if (size >= sizeof bits)
        std::memcpy(&bits, data, sizeof bits);

    for (const QLocale &locale : fuzz::Locales()) {
        if (const std::optional<float> value = ParseUserNumber(text, locale)) {
            FUZZ_CHECK(std::isfinite(*value));
            CheckWrittenReadsBack(*value, locale);
        }

        if (!std::isfinite(bits)) {
            FUZZ_CHECK(FormatUserNumber(bits, locale) == locale.zeroDigit());
            continue;
        }
        const float reread = CheckWrittenReadsBack(bits, locale);
        // Seven significant digits, then the nearest float.
        const double error = std::fabs(double(reread) - double(bits));
        FUZZ_CHECK(error <= 6e-7 * std::fabs(double(bits)) + std::numeric_limits<float>::denorm_min());
    }
    return 0;
}
