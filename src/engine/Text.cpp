#include "Text.h"

#include <algorithm>

namespace norvale {

QString TrimSpaces(QStringView text)
{
    return TrimSpacesView(text).toString();
}

QStringView TrimSpacesView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

QString ElideText(QStringView text, qsizetype maxChars)
{
    if (text.size() <= maxChars)
        return text.toString();
    qsizetype kept = std::max<qsizetype>(maxChars - 1, 0);
    if (kept > 0 && text[kept - 1].isHighSurrogate())
        --kept;
    return text.first(kept).toString() + QChar(0x2026);
}

} // namespace norvale
