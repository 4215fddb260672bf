#pragma once

// The private CUPS server of the printing tests, seen from C++: what a
// command writes, and how many jobs of a queue have completed.

#include <QProcess>
#include <QString>
#include <QStringList>

inline QString commandOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int completedJobs(const QString &queue)
{
    using namespace Qt::StringLiterals;
    return commandOutput(u"lpstat"_s, {u"-W"_s, u"completed"_s, u"-o"_s, queue})
        .split(u'\n', Qt::SkipEmptyParts)
        .size();
}
