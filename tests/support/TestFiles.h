#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/stat.h>

// Small file helpers for tests: whole-file reads and writes and a mode change.

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Creates or replaces the file with the bytes; false when that failed.
inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool SetMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Writes a catalogue file "ide.txt" into the folder and gives its path; a
// test cannot go on without it.
inline QString WriteCatalogue(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("ide.txt"));
    if (!WriteFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Every entry of the folder, hidden ones included; empty for a missing folder.
inline QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
