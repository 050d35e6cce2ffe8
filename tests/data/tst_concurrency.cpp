#include "data/datasource.h"
#include "data/recordlock.h"
#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif
#include "support/lockpeer.h"
#include "support/testdataset.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tvx::data;

namespace {

using Peer = LockPeer;

QString integrityCheck(const QString &path)
{
    sqlite3 *db = nullptr;
    QString result;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "PRAGMA integrity_check",
            [](void *out, int, char **values, char **) {
                *static_cast<QString *>(out) += QString::fromUtf8(values[0]);
                return 0;
            },
            &result, nullptr);
    }
    sqlite3_close(db);
    return result;
}

// Deletes the last user and Kiss Éva, and adds two, as a plain SQLite tool writes.
void deleteAndAddWithSqliteTool(const QString &path)
{
    sqlite3 *tool = nullptr;
    QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &tool, SQLITE_OPEN_READWRITE, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_exec(tool,
                          "DELETE FROM Users WHERE rowid = (SELECT max(rowid) FROM Users);"
                          "DELETE FROM Users WHERE \"Felhasználó\" = 'Kiss Éva';"
                          "INSERT INTO Users (\"Felhasználó\") VALUES ('eszköz1'), ('eszköz2');",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(tool);
}

}  // namespace

class TestConcurrency : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordLockedByAnotherProcessIsFreedWhenItDies()
    {
        TestDataSet set;
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set.dir());
        QVERIFY(users.refresh());
        for (const char *name : {"demo", "Kiss Éva"}) {
            QVERIFY(users.addNew());
            QVERIFY(users.setValue(0, QString::fromUtf8(name)));
            QVERIFY(users.update());
        }

        Peer holder;
        QVERIFY(holder.start({QStringLiteral("hold"), set.dir().path(), QStringLiteral("REGISZT.tvd"), QStringLiteral("users"),
                              QStringLiteral("1")},
                             "LOCKED"));
        QVERIFY(users.moveLast());
        QVERIFY(!users.edit());
        QCOMPARE(users.lastError().code, ErrorCode::Locked);
        QVERIFY(!users.deleteCurrent());
        QCOMPARE(users.lastError().code, ErrorCode::Locked);
        QVERIFY(users.moveFirst());
        QVERIFY(users.edit());  // the other record is free
        users.cancelUpdate();

        holder.killHard();
        QVERIFY(users.moveLast());
        QVERIFY2(users.edit(), qPrintable(users.lastError().message));
        QVERIFY(users.setValue(1, QStringLiteral("új")));
        QVERIFY(users.update());
    }

    // Offices share a folder between users: a lock file one user made must let
    // every user who may write the database lock its records; where it does
    // not, an edit is refused with the reason instead of written unlocked.
    void lockFilesServeEveryWriterOfTheDatabase()
    {
        TVX_FILES_ONLY("lock files beside the database files");
        TestDataSet set;
        QFile::setPermissions(set.dir().path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                    QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                                                    QFile::ExeOther);
        const auto readWriteAll =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        for (const QString &name : set.dir().entryList(QDir::Files)) {
            if (name.endsWith(QStringLiteral("-lock")))
                QFile::remove(set.path(name));
            else
                QFile::setPermissions(set.path(name), readWriteAll);
        }
        const QString lockPath = LockFile::lockFilePath(set.path(QStringLiteral("regiszt.tvd")));

        const mode_t previous = ::umask(022);  // a usual umask would leave others read-only
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set.dir());
        const bool opened = users.refresh();
        ::umask(previous);
        QVERIFY(opened);
        QCOMPARE(QFile::permissions(lockPath) & readWriteAll, readWriteAll);
        QVERIFY(users.addNew() && users.setValue(0, QStringLiteral("demo")) && users.update());

        const passwd *nobody = ::getpwnam("nobody");
        if (::getuid() != 0 || !nobody)
            QSKIP("another user's process needs root and the user nobody");
        const uid_t otherUid = nobody->pw_uid;
        const gid_t otherGid = nobody->pw_gid;
        // the other user's program, from where that user may run it
        const QString peerProgram = set.path(QStringLiteral("tvx-lockpeer"));
        QVERIFY(QFile::copy(QStringLiteral(LOCKPEER), peerProgram));
        QFile::setPermissions(peerProgram, readWriteAll | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        auto startOtherUser = [&](QProcess &peer) {
            peer.setProcessChannelMode(QProcess::MergedChannels);
            peer.setChildProcessModifier([otherUid, otherGid] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(otherGid) != 0 || ::setuid(otherUid) != 0)
                    ::_exit(99);
            });
            peer.start(peerProgram, {QStringLiteral("hold"), set.dir().path(), QStringLiteral("regiszt.tvd"), QStringLiteral("Users"),
                                     QStringLiteral("0")});
            QVERIFY(peer.waitForStarted(5000));
        };
        {
            QProcess peer;
            startOtherUser(peer);
            QByteArray said;
            QTRY_VERIFY_WITH_TIMEOUT((said += peer.readAll()).contains("LOCKED") || peer.state() == QProcess::NotRunning, 10000);
            QVERIFY2(peer.state() == QProcess::Running, said.constData());
            QVERIFY(users.moveFirst());
            QVERIFY(!users.edit());
            QCOMPARE(users.lastError().code, ErrorCode::Locked);
            ::kill(pid_t(peer.processId()), SIGKILL);
            peer.waitForFinished(5000);
        }
        // a lock file as an older version left it: its maker's only
        QVERIFY(QFile::setPermissions(lockPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        {
            QProcess peer;
            startOtherUser(peer);
            QVERIFY(peer.waitForFinished(10000));
            const QString said = QString::fromUtf8(peer.readAll());
            QCOMPARE(peer.exitCode(), 1);
            QVERIFY2(said.contains(QStringLiteral("nem zárolható")), qPrintable(said));
        }
        QVERIFY(users.moveFirst());
        QVERIFY2(users.edit(), qPrintable(users.lastError().message));
        users.cancelUpdate();
    }

    void databaseOpenElsewhereIsReportedInUse()
    {
        TestDataSet set;
        const QString path = set.path(QStringLiteral("Torzsek.tvd"));
        auto inUse = [&] {
#ifdef TVX_HAVE_LIBPQ
            if (set.onServer()) {
                bool used = true;
                const Error e = serverFileInUse(set.conninfo(), QStringLiteral("torzsek.tvd"), used);
                return !e && used;
            }
#endif
            return databaseInUse(path);
        };
        QVERIFY(!inUse());
        {
            Peer opener;
            QVERIFY(opener.start({QStringLiteral("open"), set.dir().path(), QStringLiteral("torzsek.tvd")}, "OPEN"));
            QVERIFY(inUse());
            opener.killHard();
        }
        QTRY_VERIFY(!inUse());  // the server notices the dead session's end
    }

    // Another program deletes the last user and adds one; then a plain SQLite
    // tool does the same. The engine would give the new rows the old keys.
    void recordsDeletedElsewhereNeverTurnIntoNewOnes()
    {
        TestDataSet set;
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set.dir());
        QVERIFY(users.refresh());
        for (const char *name : {"demo", "Kiss Éva", "Nagy Ödön"}) {
            QVERIFY(users.addNew());
            QVERIFY(users.setValue(0, QString::fromUtf8(name)));
            QVERIFY(users.update());
        }
        QVERIFY(users.moveLast());
        const Bookmark onLast = users.bookmark();

        Peer replacer;
        QVERIFY(replacer.start({QStringLiteral("replace"), set.dir().path(), QStringLiteral("regiszt.tvd"), QStringLiteral("Users")},
                               "REPLACED"));
        QVERIFY(!users.setValue(1, QStringLiteral("titok")));
        QCOMPARE(users.lastError().code, ErrorCode::RecordDeleted);
        QVERIFY(users.moveFirst());
        QVERIFY(!users.setBookmark(onLast));
        QCOMPARE(users.value(0).toString(), QStringLiteral("demo"));

        // the same through another tool's own connection
        QVERIFY(users.moveLast());
        QCOMPARE(users.value(0).toString(), QStringLiteral("Kiss Éva"));
#ifdef TVX_HAVE_LIBPQ
        if (set.onServer())
            runServerStatements(set.conninfo(),
                                {QStringLiteral("DELETE FROM regiszt.\"Users\" WHERE tvx_id = (SELECT max(tvx_id) FROM regiszt.\"Users\")"),
                                 QStringLiteral("DELETE FROM regiszt.\"Users\" WHERE \"Felhasználó\" = 'Kiss Éva'"),
                                 QStringLiteral("INSERT INTO regiszt.\"Users\" (\"Felhasználó\") VALUES ('eszköz1'), ('eszköz2')")});
        if (!set.onServer())
#endif
            deleteAndAddWithSqliteTool(set.path(QStringLiteral("regiszt.tvd")));
        // the last record is the last one that still exists
        QVERIFY(users.moveFirst());
        QVERIFY(users.moveLast());
        QCOMPARE(users.value(0).toString(), QStringLiteral("demo"));
        QCOMPARE(users.recordCount(), 1);
        QVERIFY(users.refresh());
        QStringList names;
        for (bool more = users.moveFirst(); more && !users.eof(); more = users.moveNext())
            names << users.value(0).toString();
        QCOMPARE(names, (QStringList{QStringLiteral("demo"), QStringLiteral("eszköz1"), QStringLiteral("eszköz2")}));
        if (!set.onServer())
            QCOMPARE(integrityCheck(set.path(QStringLiteral("regiszt.tvd"))), QStringLiteral("ok"));
    }

    // While another program holds the file, moving fails and changes nothing.
    void aMoveThatCannotReadKeepsTheRecord()
    {
        TestDataSet set;
        setBusyTimeout(100);  // for the connections opened from here on
        DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(partners.refresh());
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(partners.addNew());
            QVERIFY(partners.setValue(0, QStringLiteral("Partner %1").arg(i)));
            QVERIFY(partners.update());
        }
        QVERIFY(partners.moveFirst());
        setBusyTimeout(5000);
        Peer writer;
        QVERIFY(writer.start({QStringLiteral("exclusive"), set.dir().path(), QStringLiteral("Torzsek.tvd")}, "EXCLUSIVE"));
        QSignalSpy moved(&partners, &DataSource::currentChanged);
        QVERIFY(!partners.moveNext());
        QCOMPARE(partners.lastError().code, ErrorCode::Busy);
        QCOMPARE(partners.absolutePosition(), 0);
        QCOMPARE(partners.value(0).toString(), QStringLiteral("Partner 1"));
        QCOMPARE(partners.shownValue(QStringLiteral("BerNev")).toString(), QStringLiteral("Partner 1"));
        QCOMPARE(moved.count(), 0);
        QVERIFY(!partners.moveLast());
        QVERIFY(!partners.findFirst(QStringLiteral("[BerNev] = \"Partner 3\"")));
        QCOMPARE(partners.absolutePosition(), 0);
        writer.killHard();
        QVERIFY(partners.moveNext());
        QCOMPARE(partners.value(0).toString(), QStringLiteral("Partner 2"));
    }

    void concurrentWritersWaitForEachOther()
    {
        TestDataSet set;
        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->start(QStringLiteral(LOCKPEER), {QStringLiteral("write"), set.dir().path(), QStringLiteral("150")});
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        DataSource entries(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, set.dir());
        QVERIFY(entries.refresh());
        QCOMPARE(entries.recordCount(), 300);
        if (!set.onServer())
            QCOMPARE(integrityCheck(set.path(QStringLiteral("Tarvix.tvd"))), QStringLiteral("ok"));
    }

    void guardedSavesNeverShareAnIdentifier()
    {
        TestDataSet set;
        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->start(QStringLiteral(LOCKPEER), {QStringLiteral("nextid"), set.dir().path(), QStringLiteral("150")});
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->readAll().trimmed(), QByteArray("DONE"));
        }
        DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("select recordID from BEPARTNER order by recordID"), nullptr,
                            set.dir());
        QVERIFY(partners.refresh());
        QCOMPARE(partners.recordCount(), 300);
        for (int i = 0; i < 300; ++i) {
            QVERIFY(partners.moveTo(i));
            QCOMPARE(partners.value(0).toLongLong(), qint64(i + 1));
        }
    }

    void killedWriterLeavesAConsistentFile()
    {
        TestDataSet set;
        Peer writer;
        QVERIFY(writer.start({QStringLiteral("write"), set.dir().path(), QStringLiteral("100000")}, "40"));
        QTest::qWait(150);
        writer.killHard();
        if (!set.onServer())
            QCOMPARE(integrityCheck(set.path(QStringLiteral("Tarvix.tvd"))), QStringLiteral("ok"));

        // every entry that was added is whole: its second write either happened or not
        DataSource entries(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, set.dir());
        QVERIFY2(entries.refresh(), qPrintable(entries.lastError().message));
        QVERIFY(entries.recordCount() > 40);
        QVERIFY(entries.moveFirst());
        while (!entries.eof()) {
            QCOMPARE(entries.value(QStringLiteral("Megjegyzés")).toString().size(), 2000);
            QVERIFY(entries.moveNext());
        }
        QVERIFY(entries.moveLast());
        QVERIFY(entries.setValue(QStringLiteral("Iktatószám"), QStringLiteral("A15")));
        QVERIFY(entries.update());
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
