// LeadingNumber and IsPlainNumber on any text, each against a reading built
// another way: the blanks taken out first, a pattern match, then the C
// library's conversion.

#include "FuzzSupport.h"
#include "Numbers.h"

#include <QRegularExpression>

#include <cmath>

using namespace norvale;

namespace {

bool Same(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

double ReferenceLeadingNumber(QString text)
{
    static const QRegularExpression number(
        QStringLiteral("\\A[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[EeDd][+-]?[0-9]+)?"));
    text.remove(u' ').remove(u'\t').remove(u'\n');
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0;
    QByteArray digits = match.captured().toLatin1();
    digits.replace('D', 'e').replace('d', 'e');
    const double value = std::strtod(digits.constData(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::Text(data, size);
    const double value = LeadingNumber(text);
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(Same(value, ReferenceLeadingNumber(text)));
    // Nothing after the number changes it.
    FUZZ_CHECK(Same(LeadingNumber(text + u'x'), value));

    static const QRegularExpression plain(QStringLiteral("\\A[+-]?[0-9]+(?:\\.[0-9]+)?\\z"));
    for (const QStringView word : QStringView(text).split(u' ')) {
        const bool isPlain = IsPlainNumber(word);
        FUZZ_CHECK(isPlain == plain.match(word).hasMatch());
        if (isPlain)
            FUZZ_CHECK(Same(LeadingNumber(word), ReferenceLeadingNumber(word.toString())));
    }
    return 0;
}
