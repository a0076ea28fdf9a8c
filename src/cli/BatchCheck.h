#pragma once

#include "CheckRun.h"
#include "FileCheck.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace norvale {

// Checks files several at a time and gives their results in the order of the
// files, each as soon as it and every file before it are done; a result is
// dropped once given, so memory does not grow with the number of files.
struct BatchCheck
{
    QStringList files;
    QSet<qsizetype> undecodableFiles; // indexes of names not valid in the system's encoding
    CheckSettings settings;
    int jobs = 1; // checks running at once
    CheckerFactory factory; // the checker each check runs with; empty: the cold one

    // Called for each file in order, with its index.
    std::function<void(qsizetype, const FileCheckResult &)> onResult;
    // Called when a file's check has ended (in any order), with the count done.
    std::function<void(qsizetype)> onProgress;

    // Runs every check, waiting in an event loop of the calling thread.
    void run();
};

} // namespace norvale
