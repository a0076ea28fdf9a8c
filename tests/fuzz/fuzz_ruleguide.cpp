// The rule guide loader on any file content: every entry has a clean,
// distinct heading; every name a heading holds finds an entry; an entry of one
// plain name is found as that rule's own entry; and any line used as a rule
// name is looked up without harm. Lookups are bounded per input (64 names, 64
// lines): each runs through every pattern, and a whole guide as input would
// otherwise take most of a second a run under the sanitizers.

#include "FuzzSupport.h"
#include "RuleGuide.h"

#include <QSet>
#include <QStringDecoder>

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    RuleGuide guide;
    guide.loadData(bytes);

    QSet<QString> keys;
    int lookups = 0;
    for (const GuideEntry &entry : guide.entries()) {
        FUZZ_CHECK(!entry.key.isEmpty());
        FUZZ_CHECK(entry.key == entry.key.simplified());
        FUZZ_CHECK(!keys.contains(entry.key));
        keys.insert(entry.key);
        const QStringList names = entry.key.split(u' ');
        for (const QString &name : names) {
            if (++lookups > 64)
                break;
            GuideMatch match = GuideMatch::None;
            const GuideEntry *found = guide.find(name, &match);
            if (!name.contains(u'*') && !name.contains(u'?')) {
                FUZZ_CHECK(found != nullptr);
                FUZZ_CHECK(match != GuideMatch::None);
            }
            FUZZ_CHECK((found == nullptr) == (match == GuideMatch::None));
        }
        if (names.size() == 1 && !names[0].contains(u'*') && !names[0].contains(u'?'))
            FUZZ_CHECK(guide.matchOf(names[0]) == GuideMatch::Own);
    }

    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    int lines = 0;
    for (const QString &line : text.split(u'\n')) {
        if (++lines > 64)
            break;
        GuideMatch match = GuideMatch::Own;
        const GuideEntry *found = guide.find(line, &match);
        FUZZ_CHECK((found == nullptr) == (match == GuideMatch::None));
        FUZZ_CHECK(guide.matchOf(line) == match);
    }
    return 0;
}
