#include "RuleGuide.h"

#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace norvale {

namespace {

// A guide is a few hundred KiB; anything far larger is not a guide.
constexpr qint64 GuideSizeLimit = qint64(16) * 1024 * 1024;

QString unescapeLineBreaks(QString text)
{
    return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

bool isPattern(QStringView name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// "*" any run of characters, "?" one character, the rest literally; the
// whole name must match. Backtracks only to the last "*", which is enough:
// what an earlier "*" took can always be given to the later one instead.
bool wildcardMatches(QStringView pattern, QStringView name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype star = -1; // the last "*" seen, and where in the name it began
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

void RuleGuide::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > GuideSizeLimit) {
        loadData({});
        return;
    }
    loadData(file.read(GuideSizeLimit));
}

void RuleGuide::loadData(QByteArrayView utf8)
{
    m_entries.clear();
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QHash<QString, qsizetype> positions;
    std::optional<GuideEntry> current;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            if (current)
                addEntry(std::move(*current), positions);
            current.emplace();
            current->key = trimmed.sliced(1, trimmed.size() - 2).trimmed().toString().simplified();
            continue;
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        if (!current || equals < 0)
            continue;
        const QString field = trimmed.first(equals).trimmed().toString().toLower();
        const QString value = unescapeLineBreaks(trimmed.sliced(equals + 1).trimmed().toString());
        if (field == QStringLiteral("meaning"))
            current->meaning = value;
        else if (field == QStringLiteral("why"))
            current->why = value;
        else if (field == QStringLiteral("change"))
            current->change = value;
        else if (field == QStringLiteral("local"))
            current->localOnly = value.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0;
    }
    if (current)
        addEntry(std::move(*current), positions);
    rebuildIndex();
}

void RuleGuide::addEntry(GuideEntry entry, QHash<QString, qsizetype> &positions)
{
    if (entry.key.isEmpty())
        return;
    if (const auto existing = positions.constFind(entry.key); existing != positions.cend()) {
        m_entries[*existing] = std::move(entry);
        return;
    }
    positions.insert(entry.key, m_entries.size());
    m_entries.append(std::move(entry));
}

void RuleGuide::rebuildIndex()
{
    m_own.clear();
    m_listed.clear();
    m_patterns.clear();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QStringList names = m_entries[i].key.toUpper().split(u' ', Qt::SkipEmptyParts);
        for (const QString &name : names) {
            if (isPattern(name)) {
                Pattern pattern;
                pattern.wildcard = name;
                pattern.literalLength = name.size() - name.count(u'*') - name.count(u'?');
                pattern.entry = i;
                m_patterns.append(std::move(pattern));
            } else if (names.size() == 1) {
                m_own.insert(name, i);
            } else if (!m_listed.contains(name)) {
                m_listed.insert(name, i);
            }
        }
    }
}

const GuideEntry *RuleGuide::find(QStringView ruleName, GuideMatch *match) const
{
    const auto answer = [match](GuideMatch kind, const GuideEntry *entry) {
        if (match)
            *match = kind;
        return entry;
    };
    const QString name = ruleName.trimmed().toString().toUpper();
    if (name.isEmpty())
        return answer(GuideMatch::None, nullptr);
    if (const auto own = m_own.constFind(name); own != m_own.cend())
        return answer(GuideMatch::Own, &m_entries[*own]);
    if (const auto listed = m_listed.constFind(name); listed != m_listed.cend())
        return answer(GuideMatch::Family, &m_entries[*listed]);
    const Pattern *best = nullptr;
    for (const Pattern &pattern : m_patterns) {
        if ((!best || pattern.literalLength > best->literalLength) && wildcardMatches(pattern.wildcard, name))
            best = &pattern;
    }
    if (best)
        return answer(GuideMatch::Family, &m_entries[best->entry]);
    return answer(GuideMatch::None, nullptr);
}

GuideMatch RuleGuide::matchOf(QStringView ruleName) const
{
    GuideMatch match = GuideMatch::None;
    find(ruleName, &match);
    return match;
}

QString GuideFileFor(const QString &cataloguePath, const QString &languageCode)
{
    const QFileInfo catalogue(cataloguePath);
    const QString folder = catalogue.absolutePath();
    QStringList candidates;
    // The language the catalogue declares decides first, so a catalogue
    // copied over ide.txt still gets the guide of its language.
    const QString code = languageCode.trimmed().toLower();
    if (!code.isEmpty() && !code.contains(u'/') && !code.contains(u'.'))
        candidates << folder + QStringLiteral("/guide.") + code + QStringLiteral(".txt");
    const QString name = catalogue.fileName();
    if (name.startsWith(QStringLiteral("ide")))
        candidates << folder + QStringLiteral("/guide") + name.sliced(3);
    candidates << folder + QStringLiteral("/guide.txt");
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.constLast();
}

namespace {

struct ProcessGuide
{
    RuleGuide guide;
    bool loaded = false;
};

ProcessGuide &processGuide()
{
    static ProcessGuide guide;
    return guide;
}

} // namespace

const RuleGuide &Guide()
{
    ProcessGuide &process = processGuide();
    if (!process.loaded) {
        process.loaded = true;
        const QString catalogue = LoadedCataloguePath().isEmpty()
            ? ApplicationFile(QStringLiteral("/ide/ide.txt"))
            : LoadedCataloguePath();
        process.guide.load(GuideFileFor(catalogue, GetText(TextId::LanguageCode)));
    }
    return process.guide;
}

void SetGuide(const RuleGuide &guide)
{
    processGuide().guide = guide;
    processGuide().loaded = true;
}

} // namespace norvale
