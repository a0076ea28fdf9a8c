#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>

#include "TestFiles.h"

#include <sys/types.h>

// Whether any process of the process group is still alive; a zombie, dead
// but not yet reaped, does not count.
inline bool GroupAlive(pid_t group)
{
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(entry));
        const qsizetype end = stat.lastIndexOf(')');
        if (end < 0)
            continue;
        // After the name: state, parent, group.
        const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toInt() == group)
            return true;
    }
    return false;
}
