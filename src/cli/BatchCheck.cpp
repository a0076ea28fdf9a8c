#include "BatchCheck.h"

#include <QEventLoop>
#include <QHash>

#include <memory>
#include <vector>

namespace norvale {

void BatchCheck::run()
{
    QHash<qsizetype, FileCheckResult> done; // ended, waiting for a file before them
    qsizetype next = 0; // the next file to start
    qsizetype given = 0; // files whose result has been given
    qsizetype ended = 0;
    QEventLoop loop;

    const auto finish = [&](qsizetype index, FileCheckResult result) {
        ++ended;
        if (onProgress)
            onProgress(ended);
        done.emplace(index, std::move(result));
        while (done.contains(given)) {
            const FileCheckResult ready = done.take(given);
            if (onResult)
                onResult(given, ready);
            ++given;
        }
        if (given == files.size())
            loop.quit();
    };

    std::vector<std::unique_ptr<CheckRun>> runs;
    std::function<void(CheckRun *)> feed = [&](CheckRun *run) {
        while (next < files.size()) {
            const qsizetype index = next++;
            if (undecodableFiles.contains(index)) {
                finish(index, UndecodableFileResult(files[index]));
                continue;
            }
            run->setProperty("index", index);
            if (run->start({ files[index], settings.rules, settings.thresholdBoxes, settings.online,
                    settings.readiness }))
                return;
            finish(index, FileResultFromOutcome(files[index], run->outcome(), settings));
        }
    };
    const int count = std::max(1, std::min<int>(jobs, static_cast<int>(files.size())));
    for (int i = 0; i < count; ++i) {
        auto run = std::make_unique<CheckRun>();
        if (factory)
            run->setCheckerFactory(factory);
        CheckRun *raw = run.get();
        // The locals taken by reference outlive every call: all runs have ended when the
        // loop below returns, and deleting a run drops its connections and queued calls.
        // clazy:excludeall=lambda-in-connect
        QObject::connect(raw, &CheckRun::finished, raw, [&, raw] {
            const qsizetype index = raw->property("index").toLongLong();
            finish(index, FileResultFromOutcome(files[index], raw->outcome(), settings));
            // Started from the event loop, not from within the finished run's signal.
            QMetaObject::invokeMethod(
                raw, [&, raw] { feed(raw); }, Qt::QueuedConnection);
        });
        runs.push_back(std::move(run));
    }
    for (const auto &run : runs)
        feed(run.get());
    if (given < files.size())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace norvale
