// RuleScoreList::Parse and Format on any list text, in each user locale.
// Writing what was read and reading it again keeps every row that has a name,
// in order, and the written text no longer changes.

#include "FuzzSupport.h"
#include "RuleScoreList.h"

#include <algorithm>

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString list = fuzz::Text(data, size);
    for (const QLocale &locale : fuzz::Locales()) {
        const QList<RuleScoreList::Row> rows = RuleScoreList::Parse(list, locale);
        FUZZ_CHECK(rows.size() == RuleScoreList::RowCount);
        QList<RuleScoreList::Row> named;
        for (const RuleScoreList::Row &row : rows) {
            FUZZ_CHECK(!row.name.contains(u':') && !row.name.contains(u'|') && !row.name.contains(u'&')
                && !row.name.contains(u'='));
            FUZZ_CHECK(!row.name.startsWith(u' ') && !row.name.endsWith(u' '));
            if (!row.name.isEmpty())
                named.append(row);
        }
        named.resize(RuleScoreList::RowCount);

        const QString written = RuleScoreList::Format(rows);
        const QList<RuleScoreList::Row> reread = RuleScoreList::Parse(written, locale);
        FUZZ_CHECK(reread == named);
        FUZZ_CHECK(RuleScoreList::Format(reread) == written);

        // Every entry, also past the grid's rows: the first ones are the grid's,
        // and the normal form no longer changes.
        const QList<RuleScoreList::Row> all = RuleScoreList::ParseAll(list, locale);
        FUZZ_CHECK(all.first(std::min(all.size(), qsizetype(RuleScoreList::RowCount)))
            == rows.first(std::min(all.size(), qsizetype(RuleScoreList::RowCount))));
        const QString normal = RuleScoreList::Normalise(list, locale);
        FUZZ_CHECK(RuleScoreList::Normalise(normal, locale) == normal);
        FUZZ_CHECK(RuleScoreList::Join(written, RuleScoreList::EntriesPastTheGrid(list, locale)) == normal);
    }
    return 0;
}
