// Coverage of the installed rule set by the rule guide: reads rule names (one
// per line, the name first, anything after a tab ignored) on standard input
// and prints, per guide file named on the command line, how many have an
// entry of their own, how many are covered by a family entry and how many
// have none, then the names with none.

#include "RuleGuide.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

using namespace norvale;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList rules;
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 1;
    while (!input.atEnd()) {
        const QString line = QString::fromUtf8(input.readLine()).trimmed();
        const QString name = line.section(u'\t', 0, 0).trimmed();
        if (!name.isEmpty() && !name.startsWith(u"__"))
            rules << name;
    }
    const QStringList guides = app.arguments().mid(1);
    if (guides.isEmpty()) {
        out << "usage: bench_guide_coverage GUIDE... < rule-list\n";
        return 2;
    }
    for (const QString &path : guides) {
        RuleGuide guide;
        guide.load(path);
        int own = 0;
        int family = 0;
        QStringList none;
        for (const QString &rule : rules) {
            switch (guide.matchOf(rule)) {
            case GuideMatch::Own:
                ++own;
                break;
            case GuideMatch::Family:
                ++family;
                break;
            case GuideMatch::None:
                none << rule;
                break;
            }
        }
        const double total = rules.isEmpty() ? 1.0 : double(rules.size());
        out << path << ": " << rules.size() << " rules, " << guide.entries().size() << " entries\n";
        out << QStringLiteral("  own entry: %1 (%2%)\n").arg(own).arg(100.0 * own / total, 0, 'f', 1);
        out << QStringLiteral("  family:    %1 (%2%)\n").arg(family).arg(100.0 * family / total, 0, 'f', 1);
        out << QStringLiteral("  none:      %1 (%2%)\n")
                   .arg(none.size())
                   .arg(100.0 * none.size() / total, 0, 'f', 1);
        if (!none.isEmpty())
            out << "  without an entry: " << none.join(u' ') << '\n';
    }
    return 0;
}
