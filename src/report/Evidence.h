#pragma once

#include "SpamCheck.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace norvale {

// What in the message made one rule fire, as far as the checker tells.
struct RuleEvidence
{
    QStringList matches; // the matched texts, as the checker quoted them, each at most EvidenceTextLimit long
    QStringList subRules; // for a meta rule: the rules its expression names that fired too
    bool empty() const { return matches.isEmpty() && subRules.isEmpty(); }
};

// Rule name in upper case -> its evidence; only rules that fired are there.
using EvidenceMap = QHash<QString, RuleEvidence>;

// A matched text is message text: it is cut to this many characters (an
// ellipsis marks the cut), and at most EvidenceMatchLimit distinct texts are
// kept per rule.
inline constexpr qsizetype EvidenceTextLimit = 160;
inline constexpr qsizetype EvidenceMatchLimit = 5;
inline constexpr qsizetype EvidenceCacheSize = 32;

// Meta rule name (upper case) -> the rule names its expression refers to.
using MetaRuleMap = QHash<QString, QStringList>;

// The meta rules defined in rule files: lines "meta NAME EXPRESSION"; a later
// definition replaces an earlier one, as the checker reads them.
MetaRuleMap ParseMetaRules(QStringView ruleFileText, MetaRuleMap into = {});
// The meta rules of the installed rule set (the checker's rule folders, in the
// order it reads them). Read once per process.
const MetaRuleMap &InstalledMetaRules();
// The folders the checker reads its rules from: the updated rule set when
// there is one, else the packaged one, then the site configuration.
QStringList CheckerRuleFolders();

// Reads the checker's rule debugging output (-D rules) for the rules that hit:
// "ran <kind> rule NAME ======> got hit: "TEXT"" (a quoted text may run over
// several lines), and "got hit (1)" for rules that match no text. `metas`
// names the sub-rules of meta rules.
EvidenceMap ParseRuleDebug(QStringView debugOutput, const MetaRuleMap &metas = {});

// Cuts a text to `limit` characters, marking a cut with an ellipsis.
QString CutText(const QString &text, qsizetype limit);

// Runs the checker once more on a message with rule debugging on, after a
// check's results are shown, and reads the evidence from its debug output
// (written to a file in the private working folder, then removed). Results are
// kept per file and content for the whole process (the last EvidenceCacheSize
// of them): asking again for an unchanged file answers from the cache at once.
class EvidenceJob : public QObject
{
    Q_OBJECT

public:
    explicit EvidenceJob(QObject *parent = nullptr);

    // Gathers the evidence for a message; ready() or failed() follows (later,
    // never from within start()). A start while a run goes on cancels nothing
    // and is ignored for another file; returns false then.
    bool start(const QString &messagePath, bool online, const CheckerPaths &paths = CheckerPaths::resolve());
    bool isRunning() const { return m_process.isRunning(); }
    void cancel() { m_process.cancel(); }
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    // The cached evidence of a file with exactly this content, if any.
    const EvidenceMap *cached(const QString &messagePath) const;

signals:
    void ready(const QString &messagePath, const norvale::EvidenceMap &evidence);
    void failed(const QString &messagePath, const QString &reason);

private:
    void onFinished(const ProcessOutcome &outcome);
    static QByteArray contentKey(const QString &messagePath);

    Process m_process;
    QString m_messagePath;
    QByteArray m_key;
    QString m_debugFile;
    std::chrono::milliseconds m_timeLimit = CheckerTimeLimit;
};

// The same run, waited for (the command line). `error` gets why it failed.
std::optional<EvidenceMap> GatherEvidence(const QString &messagePath, bool online, QString *error,
    const CheckerPaths &paths = CheckerPaths::resolve());

} // namespace norvale

Q_DECLARE_METATYPE(norvale::EvidenceMap)
