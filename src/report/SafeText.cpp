#include "SafeText.h"

#include <QList>

namespace norvale {

namespace {

bool isControl(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029 || c == 0xFEFF
        || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString HtmlText(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const QList<uint> codes = text.toUcs4();
    for (const uint code : codes) {
        const char32_t c = code;
        switch (c) {
        case U'&':
            out += u"&amp;";
            break;
        case U'<':
            out += u"&lt;";
            break;
        case U'>':
            out += u"&gt;";
            break;
        case U'"':
            out += u"&quot;";
            break;
        case U'\'':
            out += u"&#39;";
            break;
        case U'\n':
        case U'\t':
            out += QChar(char16_t(c));
            break;
        default:
            if (isControl(c))
                out += QChar(0xFFFD);
            else
                out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

} // namespace norvale
