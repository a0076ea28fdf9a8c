#pragma once

// The real checker's recorded outputs (tests/data/recorded, written by its
// record.sh), which the "recorded" fake checker replays: each message the
// index names, and what the checker printed for it.

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <optional>

struct Recording
{
    QString key; // the message's checksum and size, as cksum gives them
    QString message; // absolute path
    QString output() const { return QString::fromUtf8(ReadFile(folder() + key + QStringLiteral(".out"))); }

    static QString folder() { return QStringLiteral(NORVALE_TEST_DATA "/recorded/"); }
};

inline QList<Recording> Recordings()
{
    QList<Recording> recordings;
    const QString index = QString::fromUtf8(ReadFile(Recording::folder() + QStringLiteral("index.tsv")));
    for (const QString &line : index.split(u'\n', Qt::SkipEmptyParts))
        recordings.append(
            { line.section(u'\t', 0, 0), QStringLiteral(NORVALE_SOURCE_DIR "/") + line.section(u'\t', 1) });
    return recordings;
}

// The recording of the message at `path`; none when the index lacks it.
inline std::optional<Recording> RecordingOf(const QString &path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    for (const Recording &recording : Recordings()) {
        if (QFileInfo(recording.message).canonicalFilePath() == wanted)
            return recording;
    }
    return std::nullopt;
}

// PATH for a test that runs the recorded checker instead of the real one: a
// folder below `parent` with the recorded checker as "spamassassin", in front
// of the machine's PATH (the checker's own tools). Empty when it cannot be made.
inline QString RecordedCheckerPath(const QString &parent)
{
    const QString folder = parent + QStringLiteral("/recorded-checker");
    const QString checker = folder + QStringLiteral("/spamassassin");
    if (!QFileInfo::exists(checker)
        && !(QDir().mkpath(folder)
            && QFile::link(QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/recorded"), checker)))
        return QString();
    return folder + u':' + qEnvironmentVariable("PATH");
}
