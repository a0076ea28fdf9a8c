#include "TextCatalogue.h"

#include "Numbers.h"
#include "Text.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringTokenizer>

namespace norvale {

namespace {

TextCatalogue &processCatalogue()
{
    static TextCatalogue catalogue;
    return catalogue;
}

} // namespace

void TextCatalogue::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loadData({});
        return;
    }
    loadData(file.readAll());
}

void TextCatalogue::loadData(QByteArrayView utf8)
{
    m_texts = QList<QString>(1);
    // The decoder drops a byte-order mark, which some editors put first and
    // which would otherwise hide the first line's id.
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString data = decoder.decode(utf8);
    for (QStringView line : QStringTokenizer(data, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        defineLine(line);
    }
}

void TextCatalogue::defineLine(QStringView line)
{
    const qsizetype space = line.indexOf(u' ');
    if (space < 0)
        return;
    const double number = LeadingNumber(line.first(space));
    if (!(number > 0))
        return;
    // 0.5 passes the test above and rounds to 0: it sets entry 0.
    const double id = RoundHalfEven(number);
    if (id > HighestPossibleId)
        return;
    const auto index = qsizetype(id);
    if (index >= m_texts.size())
        m_texts.resize(index + 1);
    QString text = TrimSpaces(line.sliced(space + 1));
    text.replace(QLatin1StringView("\\n"), QLatin1StringView("\n"));
    m_texts[index] = text;
}

QString TextCatalogue::text(int id) const
{
    if (id < 0 || id >= m_texts.size())
        return {};
    return m_texts.at(id);
}

int TextCatalogue::highestId() const
{
    return int(m_texts.size() - 1);
}

static QString &loadedCataloguePath()
{
    static QString path;
    return path;
}

void LoadTextCatalogue(const QString &path)
{
    loadedCataloguePath() = path;
    processCatalogue().load(path);
}

QString GetText(int id)
{
    return processCatalogue().text(id);
}

QString LoadedCataloguePath()
{
    return loadedCataloguePath();
}

const TextCatalogue &Catalogue()
{
    return processCatalogue();
}

int PlaceholderId(const QString &value)
{
    if (!value.startsWith(u'#'))
        return 0;
    const double id = RoundHalfEven(LeadingNumber(QStringView(value).sliced(1)));
    if (!(id >= 1 && id <= TextCatalogue::HighestPossibleId))
        return 0;
    return int(id);
}

QString ReplacePlaceholder(const QString &value)
{
    const int id = PlaceholderId(value);
    return id > 0 ? GetText(id) : value;
}

} // namespace norvale
