// RuleScoreList::Parse and Format on any list text, in each user locale.
// Writing what was read and reading it again keeps every row that has a name,
// in order, and the written text no longer changes.

#include "FuzzSupport.h"
#include "RuleScoreList.h"

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString list = fuzz::Text(data, size);
    for (const QLocale &locale : fuzz::Locales()) {
        const QList<RuleScoreList::Row> rows = RuleScoreList::Parse(list, locale);
        FUZZ_CHECK(rows.size() == RuleScoreList::RowCount);
        QList<RuleScoreList::Row> named;
        for (const RuleScoreList::Row &row : rows) {
            FUZZ_CHECK(!row.name.contains(u':') && !row.name.contains(u'|') && !row.name.contains(u'&'));
            FUZZ_CHECK(!row.name.startsWith(u' ') && !row.name.endsWith(u' '));
            if (!row.name.isEmpty())
                named.append(row);
        }
        named.resize(RuleScoreList::RowCount);

        const QString written = RuleScoreList::Format(rows);
        const QList<RuleScoreList::Row> reread = RuleScoreList::Parse(written, locale);
        FUZZ_CHECK(reread == named);
        FUZZ_CHECK(RuleScoreList::Format(reread) == written);
    }
    return 0;
}
