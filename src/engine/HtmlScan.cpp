#include "HtmlScan.h"

#include <optional>

namespace norvale {

namespace {

constexpr qsizetype MaxLinkText = 300;

bool IsSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == QChar(0xA0);
}

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

// Decodes the character references a newsletter's addresses and texts use;
// others stay as written.
QString DecodeEntities(QStringView text)
{
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        // A reference is short; looking no further keeps the scan linear.
        const qsizetype found = text.mid(i, 12).indexOf(u';');
        const qsizetype semicolon = found < 0 ? -1 : i + found;
        if (semicolon < 0) {
            out += text[i++];
            continue;
        }
        const QStringView name = text.mid(i + 1, semicolon - i - 1);
        std::optional<char32_t> decoded;
        if (name == u"amp")
            decoded = U'&';
        else if (name == u"lt")
            decoded = U'<';
        else if (name == u"gt")
            decoded = U'>';
        else if (name == u"quot")
            decoded = U'"';
        else if (name == u"apos")
            decoded = U'\'';
        else if (name == u"nbsp")
            decoded = U'\u00A0';
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                decoded = char32_t(code);
        }
        if (!decoded) {
            out += text[i++];
            continue;
        }
        const char32_t code = *decoded;
        out += QString::fromUcs4(&code, 1);
        i = semicolon + 1;
    }
    return out;
}

struct Tag
{
    QString name; // lower case; "/a" for an end tag
    QList<std::pair<QString, QString>> attributes; // names in lower case, values decoded
    qsizetype end = 0; // the index after ">"
};

// Reads the tag that starts at html[start] == '<'. Attribute values may be
// quoted with " or ' or unquoted; a tag without ">" runs to the end.
Tag ReadTag(QStringView html, qsizetype start)
{
    Tag tag;
    qsizetype i = start + 1;
    if (i < html.size() && html[i] == u'/') {
        tag.name = u'/';
        ++i;
    }
    while (i < html.size() && IsNameChar(html[i]))
        tag.name += html[i++].toLower();
    while (i < html.size() && html[i] != u'>') {
        if (IsSpace(html[i]) || html[i] == u'/') {
            ++i;
            continue;
        }
        QString name;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != u'=' && html[i] != u'>' && html[i] != u'/')
            name += html[i++].toLower();
        if (name.isEmpty()) {
            ++i;
            continue;
        }
        while (i < html.size() && IsSpace(html[i]))
            ++i;
        QString value;
        if (i < html.size() && html[i] == u'=') {
            ++i;
            while (i < html.size() && IsSpace(html[i]))
                ++i;
            if (i < html.size() && (html[i] == u'"' || html[i] == u'\'')) {
                const QChar quote = html[i++];
                qsizetype close = html.indexOf(quote, i);
                if (close < 0)
                    close = html.size();
                value = DecodeEntities(html.mid(i, close - i));
                i = std::min(close + 1, html.size());
            } else {
                const qsizetype from = i;
                while (i < html.size() && !IsSpace(html[i]) && html[i] != u'>')
                    ++i;
                value = DecodeEntities(html.mid(from, i - from));
            }
        }
        tag.attributes.append({ name, value.trimmed() });
    }
    tag.end = std::min(i + 1, html.size());
    return tag;
}

const QString *Attribute(const Tag &tag, QStringView name)
{
    for (const auto &[key, value] : tag.attributes) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

} // namespace

HtmlScan HtmlScan::Scan(QStringView html)
{
    HtmlScan scan;
    std::optional<Link> openLink;
    bool lastWasSpace = true;

    const auto addText = [&](QStringView raw) {
        QString decoded;
        QStringView text = raw;
        if (raw.contains(u'&')) {
            decoded = DecodeEntities(raw);
            text = decoded;
        }
        for (const QChar c : text) {
            const bool space = IsSpace(c);
            if (space && lastWasSpace)
                continue;
            lastWasSpace = space;
            if (!space)
                ++scan.textLength;
            if (openLink && openLink->text.size() < MaxLinkText && !(space && openLink->text.isEmpty()))
                openLink->text += space ? QChar(u' ') : c;
        }
    };
    const auto closeLink = [&] {
        if (!openLink)
            return;
        openLink->text = openLink->text.trimmed();
        scan.links.append(*openLink);
        openLink.reset();
    };

    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf(u'<', i);
        if (lt < 0) {
            addText(html.mid(i));
            break;
        }
        addText(html.mid(i, lt - i));
        i = lt;
        if (html.mid(i).startsWith(u"<!--")) {
            const qsizetype close = html.indexOf(u"-->", i + 4);
            i = close < 0 ? html.size() : close + 3;
            continue;
        }
        const QChar next = i + 1 < html.size() ? html[i + 1] : QChar();
        if (!next.isLetter() && next != u'/' && next != u'!' && next != u'?') {
            addText(html.mid(i, 1)); // a stray "<" is text
            ++i;
            continue;
        }
        const Tag tag = ReadTag(html, i);
        i = tag.end;
        if (tag.name == u"script" || tag.name == u"style") {
            const qsizetype close = html.indexOf(QStringLiteral("</") + tag.name, i, Qt::CaseInsensitive);
            i = close < 0 ? html.size() : close;
        } else if (tag.name == u"img") {
            const QString *source = Attribute(tag, u"src");
            scan.images.append({ source ? *source : QString(), Attribute(tag, u"alt") != nullptr });
        } else if (tag.name == u"a") {
            closeLink();
            if (const QString *target = Attribute(tag, u"href"))
                openLink = Link { *target, {} };
        } else if (tag.name == u"/a") {
            closeLink();
        } else if (tag.name == u"br" || tag.name == u"p" || tag.name == u"/p" || tag.name == u"div"
            || tag.name == u"/div" || tag.name == u"td" || tag.name == u"/td" || tag.name == u"li") {
            addText(u" ");
        }
    }
    closeLink();
    return scan;
}

} // namespace norvale
