// The reader of the checker's rule debugging output on any text: matched
// texts are cut and counted as promised, and a meta rule's sub-rules are rules
// that fired and that its expression names.

#include "Evidence.h"
#include "FuzzSupport.h"

#include <QStringDecoder>

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(QByteArrayView(data, qsizetype(size)));
    // The first line, if it starts with "meta", defines meta rules as well.
    const MetaRuleMap metas = ParseMetaRules(text.section(u'\n', 0, 0));
    const EvidenceMap evidence = ParseRuleDebug(text, metas);
    for (auto it = evidence.cbegin(); it != evidence.cend(); ++it) {
        FUZZ_CHECK(it.key() == it.key().toUpper());
        FUZZ_CHECK(it->matches.size() <= EvidenceMatchLimit);
        for (const QString &match : it->matches)
            FUZZ_CHECK(!match.isEmpty() && match.size() <= EvidenceTextLimit);
        for (const QString &sub : it->subRules) {
            FUZZ_CHECK(evidence.contains(sub));
            FUZZ_CHECK(metas.value(it.key()).contains(sub));
        }
    }
    return 0;
}
