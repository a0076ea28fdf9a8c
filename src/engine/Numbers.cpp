#include "Numbers.h"

#include <cmath>
#include <limits>

namespace norvale {

namespace {

bool isSkippedBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double LeadingNumber(QStringView text)
{
    // Collect the characters of the number, dropping blanks anywhere, then let
    // the C locale's conversion do the arithmetic so the result is correctly
    // rounded.
    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isSkippedBlank(text[i]))
            ++i;
    };
    auto takeDigits = [&] {
        qsizetype count = 0;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            number.append(char(text[i].unicode()));
            ++i;
            ++count;
        }
        return count;
    };

    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number.append(char(text[i].unicode()));
        ++i;
    }
    qsizetype digits = takeDigits();
    if (i < n && text[i] == u'.') {
        const qsizetype mark = i;
        const qsizetype length = number.size();
        ++i;
        number.append('.');
        const qsizetype fraction = takeDigits();
        if (fraction == 0 && digits == 0) {
            i = mark;
            number.truncate(length);
        }
        digits += fraction;
    }
    if (digits == 0)
        return 0.0;

    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        const qsizetype mark = i;
        const qsizetype length = number.size();
        ++i;
        number.append('e');
        skipBlanks();
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            number.append(char(text[i].unicode()));
            ++i;
        }
        if (takeDigits() == 0) {
            i = mark;
            number.truncate(length);
        }
    }

    bool ok = false;
    const double value = QByteArrayView(number).toDouble(&ok);
    if (ok)
        return value;
    // Out of range: keep the direction of the overflow or underflow.
    const double fallback = std::strtod(number.constData(), nullptr);
    return std::isfinite(fallback) ? fallback : 0.0;
}

bool IsPlainNumber(QStringView word)
{
    qsizetype i = 0;
    if (i < word.size() && (word[i] == u'+' || word[i] == u'-'))
        ++i;
    const qsizetype intStart = i;
    while (i < word.size() && isDigit(word[i]))
        ++i;
    if (i == intStart)
        return false;
    if (i < word.size() && word[i] == u'.') {
        ++i;
        const qsizetype fracStart = i;
        while (i < word.size() && isDigit(word[i]))
            ++i;
        if (i == fracStart)
            return false;
    }
    return i == word.size();
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

std::optional<float> ParseUserNumber(const QString &text, const QLocale &locale)
{
    QString cleaned = text.trimmed();
    if (cleaned.isEmpty())
        return std::nullopt;
    const QString group = locale.groupSeparator();
    if (!group.isEmpty() && group != locale.decimalPoint())
        cleaned.remove(group);
    // A no-break space is the group separator of several locales; users type a
    // plain space for it.
    if (group == QStringLiteral("\u00a0") || group == QStringLiteral("\u202f"))
        cleaned.remove(u' ');
    if (cleaned.startsWith(u'+'))
        cleaned.remove(0, 1);

    QLocale reader = locale;
    reader.setNumberOptions(QLocale::OmitGroupSeparator);
    bool ok = false;
    const float value = reader.toFloat(cleaned, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FormatUserNumber(float value, const QLocale &locale)
{
    if (value == 0.0f || !std::isfinite(value))
        return locale.zeroDigit();
    QLocale writer = locale;
    writer.setNumberOptions(QLocale::OmitGroupSeparator);
    return writer.toString(double(value), 'G', 7);
}

} // namespace norvale
