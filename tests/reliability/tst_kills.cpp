// Processes ended with SIGKILL at any moment — at the n-th write to a file, or
// after a random time — while they save, delete with archiving, create users
// and rebuild the data set. Afterwards nothing a clerk was told is lost, every
// file passes the engine's check, and a data set a rebuild left behind is made
// whole again by the next rebuild or by putting the backup folder's files back.
//   TVX_KILL_SEED (fixed), TVX_CLERK_KILLS (20), TVX_REBUILD_KILLS (16)

#include "clerkrun.h"
#include "journalcheck.h"

#include "data/names.h"
#include "maintenance/rebuild.h"
#include "support/scriptedplatform.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <random>

namespace {

// Every table of the rebuilt files, as sorted lines of its rows.
using Dump = QMap<QString, QStringList>;

Dump dumpFile(const QString &path)
{
    Dump dump;
    for (const QString &table : sqlColumn(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        if (table.startsWith(QLatin1String("tvx_")) || table.startsWith(QLatin1String("sqlite_")))
            continue;
        QStringList lines;
        for (const QStringList &row : sqlRows(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table)))
            lines << row.join(QChar(0x1f));
        lines.sort();
        dump.insert(QFileInfo(path).fileName().toLower() + u'/' + table, lines);
    }
    return dump;
}

QStringList rebuiltFiles(const QDir &dir)
{
    QStringList files;
    for (const QString &name : tvx::data::rebuiltFileNames()) {
        const QString found = tvx::data::findFileIgnoringCase(dir, name);
        if (!found.isEmpty())
            files << dir.filePath(found);
    }
    return files;
}

Dump dumpDataSet(const QDir &dir)
{
    Dump dump;
    for (const QString &file : rebuiltFiles(dir))
        dump.insert(dumpFile(file));
    return dump;
}

void copyFolder(const QDir &from, const QDir &to)
{
    QVERIFY(to.mkpath(QStringLiteral(".")));
    for (const QString &name : from.entryList(QDir::Files))
        QVERIFY(QFile::copy(from.filePath(name), to.filePath(name)));
}

// The tables of a file still where the programs look for it are exactly the
// original's: a file is never left half filled in its place.
QStringList halfFilledFiles(const QDir &dir, const Dump &original)
{
    QStringList problems;
    for (const QString &file : rebuiltFiles(dir)) {
        const Dump now = dumpFile(file);
        const QString prefix = QFileInfo(file).fileName().toLower() + u'/';
        for (auto it = original.begin(); it != original.end(); ++it)
            if (it.key().startsWith(prefix) && now.value(it.key()) != it.value())
                problems << QStringLiteral("%1: %2 rows instead of %3").arg(it.key()).arg(now.value(it.key()).size()).arg(it.value().size());
    }
    return problems;
}

QString differences(const Dump &a, const Dump &b)
{
    QStringList out;
    for (auto it = a.begin(); it != a.end(); ++it)
        if (b.value(it.key()) != it.value())
            out << QStringLiteral("%1: %2 rows, now %3").arg(it.key()).arg(it.value().size()).arg(b.value(it.key()).size());
    for (auto it = b.begin(); it != b.end(); ++it)
        if (!a.contains(it.key()))
            out << QStringLiteral("%1 is new").arg(it.key());
    return out.join(u'\n');
}

void killProcess(QProcess &p)
{
    if (p.state() != QProcess::NotRunning)
        ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(30000);
}


}  // namespace

class Kills : public QObject {
    Q_OBJECT

    quint32 seed_ = 0;

private slots:
    void initTestCase()
    {
        seed_ = quint32(environmentNumber("TVX_KILL_SEED", 20261209));
        qInfo("seed %u (TVX_KILL_SEED)", seed_);
    }

    void clerksKilledAtAnyMoment()
    {
        const int rounds = environmentNumber("TVX_CLERK_KILLS", 20);
        std::mt19937 random(seed_);
        QTemporaryDir tmp;
        const QDir dir(tmp.filePath(QStringLiteral("adat")));
        QVERIFY(QDir().mkpath(dir.path()));
        prepareClerkDataSet(dir);

        QStringList journals;
        int killedAtWrite = 0, killedByTime = 0, finished = 0;
        for (int round = 1; round <= rounds; ++round) {
            // saves, deletions with archiving and new users above all
            ClerkOptions o;
            o.clerk = round;
            o.seed = seed_ + quint32(round);
            o.seconds = 2.5;
            o.operations = QStringLiteral("entry,entry,delete,delete,user,user,partner,edit,password,attachment,debt,template");
            const bool atWrite = random() % 2 == 0;
            if (atWrite)
                o.dieAtWrite = 1 + random() % 350;
            const int afterMs = 150 + int(random() % 2000);
            journals << tmp.filePath(QStringLiteral("clerk%1.txt").arg(round));
            auto clerk = startClerk(dir, journals.last(), o);
            // every third round a second workstation works beside it and dies too
            std::unique_ptr<QProcess> other;
            if (round % 3 == 0) {
                ClerkOptions p = o;
                p.clerk = 1000 + round;
                p.dieAtWrite = 0;
                journals << tmp.filePath(QStringLiteral("clerk%1.txt").arg(p.clerk));
                other = startClerk(dir, journals.last(), p);
            }
            if (!atWrite) {
                QThread::msleep(ulong(afterMs));
                killProcess(*clerk);
            }
            clerk->waitForFinished(60000);
            QCOMPARE(clerk->state(), QProcess::NotRunning);
            if (other) {
                QThread::msleep(ulong(afterMs % 700));
                killProcess(*other);
            }
            if (clerk->exitStatus() == QProcess::CrashExit)
                ++(atWrite ? killedAtWrite : killedByTime);
            else
                ++finished;

            const ClerkJournals j = readJournals(journals);
            QCOMPARE(j.duplicateClaims, 0);
            const QStringList problems = checkAgainstJournals(dir, j, true);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("round %1 (%2 %3):\n")
                                                        .arg(round)
                                                        .arg(atWrite ? QStringLiteral("write") : QStringLiteral("ms"))
                                                        .arg(atWrite ? o.dieAtWrite : afterMs) +
                                                    problems.join(u'\n')));
        }
        const ClerkJournals j = readJournals(journals);
        qInfo("%d rounds: %d killed at a write, %d killed after a time, %d ran out; %d operations confirmed and all found "
              "(entries %lld, deleted %lld, users %lld, partners %lld, password changes %d)",
              rounds, killedAtWrite, killedByTime, finished, j.operations(), qint64(j.entries.size()), qint64(j.deleted.size()),
              qint64(j.users.size()), qint64(j.partners.size()), j.passwordChanges);
        QVERIFY(killedAtWrite + killedByTime >= rounds / 2);
    }

    void rebuildKilledAtAnyMoment()
    {
        const int rounds = environmentNumber("TVX_REBUILD_KILLS", 16);
        std::mt19937 random(seed_ + 1);
        QTemporaryDir tmp;
        const QDir base(tmp.filePath(QStringLiteral("alap")));
        QVERIFY(QDir().mkpath(base.path()));
        prepareClerkDataSet(base);
        {
            // a day's work of every kind, and a long register
            auto clerk = startClerk(base, tmp.filePath(QStringLiteral("alap.txt")), {1, seed_, 3, {}, 0});
            QVERIFY(clerk->waitForFinished(60000));
            QString error;
            sqlRows(base.filePath(QStringLiteral("Tarvix.tvd")),
                    QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
                                   "INSERT INTO Tarvix (recordID, Iktatószám, ÜgyJellege) SELECT 'T' || i, 'T/' || i, 'tömeges ügy' FROM n"),
                    &error);
        }
        const Dump original = dumpDataSet(base);
        QVERIFY(original.value(QStringLiteral("tarvix.tvd/Tarvix")).size() > 4000);

        // how long an undisturbed run takes, for the kills by time
        QElapsedTimer timer;
        timer.start();
        qint64 writes = 0;
        {
            const QDir dir(tmp.filePath(QStringLiteral("meres")));
            copyFolder(base, dir);
            QProcess peer;
            peer.start(QStringLiteral(REBUILDPEER), {dir.path(), QStringLiteral(TEMPLATES)});
            QVERIFY(peer.waitForFinished(60000));
            const QList<QByteArray> said = peer.readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(said.value(0), QByteArray("FINISHED"));
            writes = said.value(1).toLongLong();
            QCOMPARE(dumpDataSet(dir), original);
        }
        const int runMs = int(timer.elapsed());
        QVERIFY(writes > 0);

        int killed = 0, restoredByRun = 0, restoredByHand = 0;
        for (int round = 1; round <= rounds; ++round) {
            const QDir dir(tmp.filePath(QStringLiteral("kor%1").arg(round)));
            copyFolder(base, dir);
            const bool realProgram = round % 2 == 0;
            QProcess process;
            QString how;
            if (realProgram) {
                // the program itself, unattended, ended after a random time
                const int afterMs = int(random() % quint32(2 * runMs + 300));  // the program starts first
                how = QStringLiteral("tarvfix /s after %1 ms").arg(afterMs);
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
                process.setProcessEnvironment(env);
                process.setWorkingDirectory(dir.path());
                process.start(QStringLiteral(TARVFIX), {QStringLiteral("/s")});
                QVERIFY(process.waitForStarted());
                QThread::msleep(ulong(afterMs));
            } else {
                const qint64 atWrite = 1 + qint64(random() % quint64(writes));
                how = QStringLiteral("rebuild at write %1").arg(atWrite);
                process.start(QStringLiteral(REBUILDPEER),
                              {dir.path(), QStringLiteral(TEMPLATES), QStringLiteral("--die-at-write"), QString::number(atWrite)});
                process.waitForFinished(60000);
            }
            killProcess(process);
            if (process.exitStatus() == QProcess::CrashExit)
                ++killed;

            const QStringList half = halfFilledFiles(dir, original);
            QVERIFY2(half.isEmpty(), qPrintable(how + u'\n' + half.join(u'\n')));
            QVERIFY2(checkIntegrity(dir).isEmpty(), qPrintable(how + u'\n' + checkIntegrity(dir).join(u'\n')));

            if (round % 4 < 2) {
                // the next run takes the broken one up and rebuilds
                ScriptedPlatform platform;
                platform.fixedClock.set(QDateTime::currentDateTime().addSecs(5));
                tvx::maintenance::SilentRebuildObserver observer;
                tvx::maintenance::Rebuild next(dir, QDir(QStringLiteral(TEMPLATES)), observer);
                QCOMPARE(next.run(), tvx::maintenance::Rebuild::Outcome::Finished);
                QCOMPARE(platform.messages.size(), 1);  // "Karbantartás vége!" and nothing else
                QVERIFY2(platform.lastText() == QStringLiteral("Karbantartás vége!"), qPrintable(how + u'\n' + platform.lastText()));
                ++restoredByRun;
            } else {
                // by hand: every file of the backup folder back into the data set
                for (const QString &save : dir.entryList({QStringLiteral("SAVE-*")}, QDir::Dirs)) {
                    const QDir saved(dir.filePath(save));
                    for (const QString &name : saved.entryList({QStringLiteral("*.tvd")}, QDir::Files)) {
                        QFile::remove(dir.filePath(name));
                        QVERIFY(QFile::copy(saved.filePath(name), dir.filePath(name)));
                    }
                }
                ++restoredByHand;
            }
            const Dump after = dumpDataSet(dir);
            QVERIFY2(after == original, qPrintable(how + u'\n' + differences(original, after)));
            QVERIFY2(checkIntegrity(dir).isEmpty(), qPrintable(how + u'\n' + checkIntegrity(dir).join(u'\n')));
        }
        qInfo("%d rebuilds, %d killed (an undisturbed run takes %d ms and %lld writes); %d made whole by the next run, %d by "
              "putting the backup back",
              rounds, killed, runMs, writes, restoredByRun, restoredByHand);
    }
};

QTEST_GUILESS_MAIN(Kills)
#include "tst_kills.moc"
