// Several workstations on one data set, each a real process running the real
// screens, for a bounded time; afterwards nothing they were told is missing,
// nothing is there twice, and every file is sound.
//   TVX_CLERKS (4), TVX_CLERK_SECONDS (20), TVX_CLERK_SEED (the time)

#include "clerkrun.h"
#include "journalcheck.h"
#include "support/testdataset.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

class ManyClerks : public QObject {
    Q_OBJECT
private slots:
    void clerksShareOneDataSet()
    {
        const int clerks = std::max(4, environmentNumber("TVX_CLERKS", 4));
        const int seconds = environmentNumber("TVX_CLERK_SECONDS", 20);
        const quint32 seed = quint32(environmentNumber("TVX_CLERK_SEED", int(QDateTime::currentSecsSinceEpoch() % 100000)));
        qInfo("clerks %d, %d s, seed %u (TVX_CLERK_SEED)", clerks, seconds, seed);

        QTemporaryDir tmp;
        const QDir dir(tmp.filePath(QStringLiteral("adat")));
        QVERIFY(QDir().mkpath(dir.path()));
#ifdef TVX_HAVE_LIBPQ
        std::unique_ptr<PgTestDatabase> server;  // dropped after the clerks are gone
        if (testEngineIsServer()) {
            server = std::make_unique<PgTestDatabase>();
            QVERIFY(!tvx::data::writeServerConninfo(dir, server->conninfo()));
        }
#endif
        prepareClerkDataSet(dir);

        QStringList journals;
        std::vector<std::unique_ptr<QProcess>> processes;
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= clerks; ++i) {
            journals << tmp.filePath(QStringLiteral("clerk%1.txt").arg(i));
            processes.push_back(startClerk(dir, journals.last(), {i, seed, double(seconds), {}, 0}));
        }
        for (auto &p : processes) {
            QVERIFY(p->waitForFinished((seconds + 60) * 1000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        const double elapsed = double(timer.elapsed()) / 1000;

        const ClerkJournals j = readJournals(journals);
        QCOMPARE(j.finished, clerks);
        QCOMPARE(j.duplicateClaims, 0);
        qInfo("%d operations confirmed in %.1f s: %.1f per second; %d lock messages, %d other messages", j.confirmed, elapsed,
              j.confirmed / elapsed, j.lockMessages, j.otherMessages);
        qInfo("entries %lld, deleted %lld, shared edits %lld (+%lld refused), partners %lld, templates %lld, attachments %lld, "
              "debts %lld, users %lld, password changes %d",
              qint64(j.entries.size()), qint64(j.deleted.size()), qint64(j.edits.size()), qint64(j.tried.size()),
              qint64(j.partners.size()), qint64(j.templates.size()), qint64(j.attachments.size()), qint64(j.debts.size()),
              qint64(j.users.size()), j.passwordChanges);
        // every kind of work was done, by every clerk
        QVERIFY(!j.entries.isEmpty() && !j.deleted.isEmpty() && !j.edits.isEmpty() && !j.partners.isEmpty());
        QVERIFY(!j.templates.isEmpty() && !j.attachments.isEmpty() && !j.debts.isEmpty() && !j.users.isEmpty());
        QVERIFY(j.passwordChanges > 0);
        QCOMPARE(j.otherMessages, 0);

        const QStringList problems = checkAgainstJournals(dir, j, false);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(ManyClerks)
#include "tst_manyclerks.moc"
