#pragma once

// Another Tarvix process (tvx-lockpeer) doing what the test asks, until the
// object goes. The test target defines LOCKPEER as the program's path.

#include <QDir>
#include <QProcess>
#include <QStringList>

#include <csignal>

struct LockPeer {
    QProcess process;

    // Starts `tvx-lockpeer args…` and waits for the line that says it is ready.
    bool start(const QStringList &args, const QByteArray &readyLine)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(LOCKPEER), args);
        if (!process.waitForStarted(5000))
            return false;
        while (process.waitForReadyRead(10000)) {
            while (process.canReadLine()) {
                if (process.readLine().trimmed() == readyLine)
                    return true;
            }
        }
        return false;
    }
    // Edits record `row` of `table` and keeps it locked.
    bool holdRecord(const QDir &dir, const QString &file, const QString &table, int row)
    {
        return start({QStringLiteral("hold"), dir.path(), file, table, QString::number(row)}, "LOCKED");
    }
    // Holds the whole file, as a program in the middle of a write does.
    bool holdFile(const QDir &dir, const QString &file)
    {
        return start({QStringLiteral("exclusive"), dir.path(), file}, "EXCLUSIVE");
    }
    void killHard()
    {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(5000);
    }
    ~LockPeer()
    {
        if (process.state() != QProcess::NotRunning)
            killHard();
    }
};
