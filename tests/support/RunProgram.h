#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs a built program to its end, as a user would from a shell.

struct ProgramRun
{
    int exitCode = -1; // -1 when the program crashed
    QString out;
    QString err;
};

// Runs program with the arguments in the test's environment, changed by
// `environment`: "NAME=value" sets a variable, "NAME" alone removes it.
// Waits up to timeLimitMs (three minutes unless given); a program that does
// not end by then stops the test.
inline ProgramRun RunProgram(const QString &program, const QStringList &arguments,
    const QStringList &environment = {}, int timeLimitMs = 180000)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment) {
        if (entry.contains(u'='))
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        else
            env.remove(entry);
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(timeLimitMs))
        qFatal("%s did not finish", qPrintable(program));
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}
