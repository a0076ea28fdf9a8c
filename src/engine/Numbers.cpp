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
    QString number = text.trimmed();
    if (number.isEmpty())
        return std::nullopt;

    // What FormatUserNumber writes in a locale with signs, a decimal mark, an
    // exponent mark or digits of its own, brought to ASCII.
    const auto toAscii = [&number](const QString &mark, QLatin1Char ascii) {
        if (!mark.isEmpty() && mark != QString(ascii))
            number.replace(mark, QString(ascii));
    };
    toAscii(locale.negativeSign(), QLatin1Char('-'));
    toAscii(locale.positiveSign(), QLatin1Char('+'));
    toAscii(locale.exponential(), QLatin1Char('e'));
    toAscii(locale.decimalPoint(), QLatin1Char('.'));
    const QList<uint> zero = locale.zeroDigit().toUcs4();
    if (zero.size() == 1 && zero[0] != uint('0')) {
        const QList<uint> codePoints = number.toUcs4();
        QList<char32_t> ascii;
        ascii.reserve(codePoints.size());
        for (const uint c : codePoints)
            ascii.append(c >= zero[0] && c <= zero[0] + 9 ? U'0' + (c - zero[0]) : c);
        number = QString::fromUcs4(ascii.constData(), ascii.size());
    }

    // sign, digits, at most one "." or ",", digits, then an optional exponent,
    // rewritten in the form the C conversion reads.
    QByteArray ascii;
    qsizetype i = 0;
    const qsizetype n = number.size();
    const auto takeSign = [&] {
        if (i < n && (number[i] == u'+' || number[i] == u'-'))
            ascii.append(char(number[i++].unicode()));
    };
    const auto takeDigits = [&] {
        const qsizetype first = i;
        while (i < n && isDigit(number[i]))
            ascii.append(char(number[i++].unicode()));
        return i - first;
    };
    takeSign();
    ascii.append('0'); // a leading "0" keeps ".5" and "-.5" readable
    qsizetype digits = takeDigits();
    if (i < n && (number[i] == u'.' || number[i] == u',')) {
        ++i;
        ascii.append('.');
        const qsizetype fraction = takeDigits();
        if (fraction == 0)
            ascii.chop(1); // "5." reads as 5
        digits += fraction;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (number[i] == u'e' || number[i] == u'E')) {
        ++i;
        ascii.append('e');
        takeSign();
        if (takeDigits() == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt; // a second separator, a space, a letter...

    bool ok = false;
    const double value = ascii.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    const float single = float(value);
    // Too small for single precision: not zero, and not the number either.
    if (value != 0.0 && single == 0.0f)
        return std::nullopt;
    return single;
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
