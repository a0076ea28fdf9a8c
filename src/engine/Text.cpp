#include "Text.h"

#include <algorithm>
#include <utility>

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

bool ActsOnTerminal(QChar character)
{
    const char16_t c = character.unicode();
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) // C0, DEL, C1
        || c == 0x061c || c == 0x200e || c == 0x200f // bidirectional marks
        || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) // embeddings, overrides, isolates
        || c == 0x2028 || c == 0x2029; // line and paragraph separators
}

QString EscapeForTerminal(QStringView text, bool keepLineFeeds)
{
    const auto escaped
        = [keepLineFeeds](QChar c) { return ActsOnTerminal(c) && !(keepLineFeeds && c == u'\n'); };
    if (std::none_of(text.begin(), text.end(), escaped))
        return text.toString();
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (!escaped(c)) {
            result += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\t':
            result += QLatin1StringView("\\t");
            break;
        case u'\n':
            result += QLatin1StringView("\\n");
            break;
        case u'\r':
            result += QLatin1StringView("\\r");
            break;
        default:
            if (c.unicode() <= 0xff)
                result += QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'));
            else
                result += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        }
    }
    return result;
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

QStringList WrapAtSpaces(const QString &text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
        while (word.size() > width) {
            if (!line.isEmpty())
                lines << std::exchange(line, QString());
            lines << word.left(width);
            word.remove(0, width);
        }
        if (line.isEmpty())
            line = word;
        else if (line.size() + 1 + word.size() <= width)
            line += u' ' + word;
        else
            lines << std::exchange(line, word);
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

QString lastLines(QStringView text, qsizetype maxLines, qsizetype maxChars)
{
    QStringList kept;
    for (QStringView line : text.split(u'\n')) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        kept.append(line.toString());
        if (kept.size() > maxLines)
            kept.removeFirst();
    }
    while (kept.size() > 1 && kept.join(u'\n').size() > maxChars)
        kept.removeFirst();
    QString tail = kept.join(u'\n');
    if (tail.size() > maxChars && maxChars > 0) {
        qsizetype from = tail.size() - (maxChars - 1);
        if (tail.at(from).isLowSurrogate())
            ++from;
        tail = QChar(0x2026) + tail.mid(from);
    }
    return tail;
}

} // namespace norvale
