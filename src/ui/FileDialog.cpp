#include "FileDialog.h"

#include <QFileDialog>
#include <QStringList>

#include <optional>
#include <utility>

namespace norvale {

namespace {

std::optional<QString> &nextFileName()
{
    static std::optional<QString> value;
    return value;
}

QStringList Patterns(QStringView text)
{
    QStringList patterns;
    for (QStringView piece : text.split(u';')) {
        for (QStringView word : piece.split(u' ', Qt::SkipEmptyParts))
            patterns.append(word.toString());
    }
    return patterns;
}

} // namespace

QString FileDialog::getOpenFileName(QWidget *parent, const QString &title, const QString &filter)
{
    if (std::optional<QString> next = std::exchange(nextFileName(), std::nullopt))
        return *next;
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString FileDialog::getSaveFileName(QWidget *parent, const QString &title, const QString &filter)
{
    if (std::optional<QString> next = std::exchange(nextFileName(), std::nullopt))
        return *next;
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

void FileDialog::setNextFileName(const QString &fileName)
{
    nextFileName() = fileName;
}

QString QtFileFilter(const QString &text82)
{
    const QStringList parts = text82.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QStringList patterns = Patterns(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        const qsizetype open = description.lastIndexOf(u'(');
        if (description.endsWith(u')') && open >= 0
            && Patterns(QStringView(description).sliced(open + 1).chopped(1)) == patterns)
            description = description.left(open).trimmed();
        const QString bracketed = u'(' + patterns.join(u' ') + u')';
        filters.append(description.isEmpty() ? bracketed : description + u' ' + bracketed);
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace norvale
