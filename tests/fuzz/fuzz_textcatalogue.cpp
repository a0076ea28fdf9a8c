// The catalogue loader on any file content, checked against PlaceholderId:
// a line "<word> <text>" defines the id that "#<word>" names as a placeholder.
// Each line is also tried as a placeholder against the shipped catalogue.

#include "FuzzSupport.h"
#include "Text.h"
#include "TextCatalogue.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

using namespace norvale;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    LoadTextCatalogue(QStringLiteral(NORVALE_SOURCE_DIR "/ide/ide.txt"));
    if (GetText(51).isEmpty())
        fuzz::Fail("the shipped catalogue loads", __FILE__, __LINE__);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    TextCatalogue catalogue;
    catalogue.loadData(bytes);

    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    QHash<int, QString> expected;
    int highest = 0;
    int lines = 0;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype space = line.indexOf(u' ');
        if (space >= 0) {
            const int id = PlaceholderId(u'#' + line.first(space));
            FUZZ_CHECK(id >= 0 && id <= TextCatalogue::HighestPossibleId);
            if (id > 0) {
                expected[id] = TrimSpaces(line.sliced(space + 1))
                                   .replace(QLatin1StringView("\\n"), QLatin1StringView("\n"));
                highest = std::max(highest, id);
            }
        }
        if (++lines <= 64) {
            const int id = PlaceholderId(line);
            FUZZ_CHECK(ReplacePlaceholder(line) == (id > 0 ? GetText(id) : line));
        }
    }

    FUZZ_CHECK(catalogue.highestId() == highest);
    // Every defined id and its neighbours; walking all 32767 would slow the run
    // a hundredfold.
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString entry = catalogue.text(it.key());
        FUZZ_CHECK(entry == it.value());
        FUZZ_CHECK(!entry.startsWith(u' ') && !entry.endsWith(u' '));
        for (const int neighbour : { it.key() - 1, it.key() + 1 }) {
            if (neighbour > 0)
                FUZZ_CHECK(catalogue.text(neighbour) == expected.value(neighbour));
        }
    }
    FUZZ_CHECK(catalogue.text(-1).isEmpty());
    FUZZ_CHECK(catalogue.text(highest + 1).isEmpty());
    return 0;
}
