#include "data/database.h"
#include "data/engineaccess.h"
#include "data/datasource.h"
#include "data/schema.h"
#include "support/testdataset.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>
#include <unistd.h>

using namespace tvx::data;

class TestStatements : public QObject {
    Q_OBJECT

    static void addUser(DataSource &users, const QString &name, const QVariant &password)
    {
        QVERIFY(users.addNew());
        QVERIFY(users.setValue(0, name));
        QVERIFY(users.setValue(1, password));
        QVERIFY(users.update());
    }

private Q_SLOTS:
    void templatesHoldEveryTableInItsOrder()
    {
        TestDataSet set;
        for (const DatabaseFileDef &def : databaseFiles()) {
            Error error;
            auto db = Database::open(def.fileName, set.dir(), error);
            QVERIFY2(db, qPrintable(error.message));
            QCOMPARE(db->tables().size(), def.tables.size());
            for (int t = 0; t < def.tables.size(); ++t) {
                const TableInfo &stored = db->tables()[t];
                QCOMPARE(stored.name, def.tables[t].name);
                QCOMPARE(stored.fields.size(), def.tables[t].fields.size());
                for (int f = 0; f < stored.fields.size(); ++f) {
                    QCOMPARE(stored.fields[f].name, def.tables[t].fields[f].name);
                    QCOMPARE(stored.fields[f].type, def.tables[t].fields[f].type);
                    QCOMPARE(stored.fields[f].size, def.tables[t].fields[f].size);
                }
            }
        }
        Error error;
        auto torzsek = Database::open(QStringLiteral("torzsek.tvd"), set.dir(), error);
        qint64 countries = 0;
        QVERIFY(!torzsek->rowCount(QStringLiteral("orszagjel"), countries));
        QVERIFY(countries >= 249);
        DataSource hu(QStringLiteral("Torzsek.tvd"), QStringLiteral("ORSZAGJEL"), nullptr, set.dir());
        QVERIFY(hu.refresh());
        QVERIFY(hu.findFirst(QStringLiteral("[Országjel] = 'hu'")));
        QCOMPARE(hu.value(1).toString(), QStringLiteral("Magyarország"));
        auto users = Database::open(QStringLiteral("regiszt.tvd"), set.dir(), error);
        qint64 userRows = -1;
        QVERIFY(!users->rowCount(QStringLiteral("Users"), userRows));
        QCOMPARE(userRows, 0);
        DataSource operatorRecord(QStringLiteral("betarol.tvd"), QStringLiteral("Bettorzs"), nullptr, set.dir());
        QVERIFY(operatorRecord.refresh());
        QCOMPARE(operatorRecord.recordCount(), 1);
        QVERIFY(!operatorRecord.value(QStringLiteral("UzNev")).toString().isEmpty());
    }

    void deleteAndInsertFromAnExternalFile()
    {
        TVX_FILES_ONLY("files of other folders");
        TestDataSet oldSet, newSet;
        {
            DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, oldSet.dir());
            QVERIFY(users.refresh());
            addUser(users, QStringLiteral("demo"), QVariant());
            addUser(users, QStringLiteral("O'Brien \"Joe\""), QStringLiteral("x'y"));
            DataSource sample(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, newSet.dir());
            QVERIFY(sample.refresh());
            addUser(sample, QStringLiteral("minta"), QStringLiteral("minta"));
        }
        Error error;
        auto target = Database::open(QStringLiteral("REGISZT.TVD"), newSet.dir(), error);
        QVERIFY2(target, qPrintable(error.message));
        int deleted = -1;
        QVERIFY(!target->execute(QStringLiteral("DELETE FROM users"), &deleted));
        QCOMPARE(deleted, 1);
        // the external file named the way the maintenance program names it: backslashes, other letter case
        const QString external = oldSet.dir().absolutePath() + QStringLiteral("\\REGISZT.TVD");
        int inserted = -1;
        const Error e = target->execute(QStringLiteral("INSERT INTO [Users] ([Felhasználó],[Jelszó]) SELECT [Felhasználó],[Jelszó] FROM  [") +
                                            external + QStringLiteral("].[USERS]"),
                                        &inserted);
        QVERIFY2(!e, qPrintable(e.message));
        QCOMPARE(inserted, 2);
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, newSet.dir());
        QVERIFY(users.refresh());
        QCOMPARE(users.recordCount(), 2);
        QVERIFY(users.moveLast());
        QCOMPARE(users.value(0).toString(), QStringLiteral("O'Brien \"Joe\""));
        QCOMPARE(users.value(1).toString(), QStringLiteral("x'y"));
        QVERIFY(users.value(2).isNull());

        QCOMPARE(target->execute(QStringLiteral("INSERT INTO [Users] ([Nincs]) SELECT [Felhasználó] FROM [") + external +
                                 QStringLiteral("].[Users]"))
                     .code,
                 ErrorCode::NoSuchField);
        QCOMPARE(target->execute(QStringLiteral("INSERT INTO [Users] SELECT * FROM [") + external + QStringLiteral("].[Nincs]")).code,
                 ErrorCode::NoSuchTable);
        QCOMPARE(target->execute(QStringLiteral("INSERT INTO [Users] SELECT * FROM [/nincs/ilyen.tvd].[Users]")).code,
                 ErrorCode::FileMissing);
        QCOMPARE(target->execute(QStringLiteral("DELETE FROM")).code, ErrorCode::BadStatement);
        QCOMPARE(target->execute(QStringLiteral("select * from Users")).code, ErrorCode::BadStatement);
    }

    void rowsThatBreakTheTemplatesRulesAreRejectedWhole()
    {
        TVX_FILES_ONLY("files of other folders");
        TestDataSet set;
        Error error;
        // an old table whose column is wider than the template's
        const QString oldPath = set.path(QStringLiteral("regi.tvd"));
        DatabaseFileDef wide{QStringLiteral("regi.tvd"), {{QStringLiteral("Users"), {{QStringLiteral("Felhasználó"), FieldType::Text, 100}}}}};
        {
            auto old = Database::create(oldPath, wide, error);
            QVERIFY2(old, qPrintable(error.message));
            QVERIFY(!EngineAccess::connection(*old).execute(QStringLiteral("INSERT INTO Users VALUES ('rövid'), (?)"), {QString(60, u'x')}));
        }
        auto target = Database::open(QStringLiteral("regiszt.tvd"), set.dir(), error);
        const Error e = target->execute(QStringLiteral("INSERT INTO [Users] ([Felhasználó]) SELECT [Felhasználó] FROM  [") + oldPath +
                                        QStringLiteral("].[Users]"));
        QCOMPARE(e.code, ErrorCode::ValueDoesNotFit);
        qint64 rows = -1;
        QVERIFY(!target->rowCount(QStringLiteral("Users"), rows));
        QCOMPARE(rows, 0);
    }

    // What a plain SQLite tool sees of the tables stays exactly the schema's,
    // and a file such a tool made and filled works with data sources.
    void keysOfOurOwnLeaveTheTablesAsTheyAre()
    {
        TVX_FILES_ONLY("what a SQLite tool sees of the files");
        TestDataSet set;
        sqlite3 *tool = nullptr;
        QCOMPARE(sqlite3_open_v2(set.path(QStringLiteral("Torzsek.tvd")).toUtf8().constData(), &tool, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        QStringList columns;
        sqlite3_exec(
            tool, "PRAGMA table_info(BePartner)",
            [](void *out, int, char **values, char **) {
                *static_cast<QStringList *>(out) << QString::fromUtf8(values[1]) + u' ' + QString::fromUtf8(values[2]);
                return 0;
            },
            &columns, nullptr);
        sqlite3_close(tool);
        QStringList expected;
        for (const FieldDef &f : databaseFile(QStringLiteral("Torzsek.tvd"))->tables.first().fields)
            expected << f.name + u' ' + declaredType(f);
        QCOMPARE(columns, expected);

        const QString madeByTool = set.path(QStringLiteral("eszkoz.tvd"));
        QCOMPARE(sqlite3_open_v2(madeByTool.toUtf8().constData(), &tool, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_exec(tool, "CREATE TABLE Jegyzet (Szoveg VARCHAR(20)); INSERT INTO Jegyzet VALUES ('a'), ('b'), ('c');", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(tool);
        DataSource notes(QStringLiteral("eszkoz.tvd"), QStringLiteral("Jegyzet"), nullptr, set.dir());
        QVERIFY2(notes.refresh(), qPrintable(notes.lastError().message));
        QVERIFY(notes.moveLast());
        QVERIFY(notes.deleteCurrent());
        QVERIFY(notes.addNew());
        QVERIFY(notes.setValue(0, QStringLiteral("d")));
        QVERIFY(notes.update());
        QVERIFY(notes.moveLast());
        QCOMPARE(notes.value(0).toString(), QStringLiteral("d"));
        Error error;
        auto db = Database::open(QStringLiteral("eszkoz.tvd"), set.dir(), error);
        QCOMPARE(db->tables().size(), 1);

        // a file on a read-only medium still reads
        const QString readOnly = set.path(QStringLiteral("csakolvas.tvd"));
        QVERIFY(QFile::copy(madeByTool, readOnly));
        QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
        if (::geteuid() != 0) {  // root writes anyway
            DataSource shown(QStringLiteral("csakolvas.tvd"), QStringLiteral("Jegyzet"), nullptr, set.dir());
            QVERIFY2(shown.refresh(), qPrintable(shown.lastError().message));
            QCOMPARE(shown.recordCount(), 3);
        }
    }

    void copiedRowsGetKeysNeverUsedBefore()
    {
        TVX_FILES_ONLY("files of other folders");
        TestDataSet source, target;
        {
            DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, source.dir());
            QVERIFY(users.refresh());
            addUser(users, QStringLiteral("forrás1"), QVariant());
            addUser(users, QStringLiteral("forrás2"), QVariant());
        }
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, target.dir());
        QVERIFY(users.refresh());
        addUser(users, QStringLiteral("első"), QVariant());
        addUser(users, QStringLiteral("második"), QVariant());
        addUser(users, QStringLiteral("harmadik"), QVariant());
        QVERIFY(users.moveLast());
        const Bookmark third = users.bookmark();
        QVERIFY(users.deleteCurrent());
        QVERIFY(users.moveLast());
        QVERIFY(users.deleteCurrent());

        Error error;
        auto db = Database::open(QStringLiteral("regiszt.tvd"), target.dir(), error);
        jet::InsertSelect copy;
        copy.table = QStringLiteral("Users");
        copy.sourceFile = source.path(QStringLiteral("regiszt.tvd"));
        copy.sourceTable = QStringLiteral("Users");
        int copied = 0;
        QVERIFY(!db->execute(jet::Statement(copy), &copied));
        QCOMPARE(copied, 2);
        QVERIFY(!users.setBookmark(third));
        QCOMPARE(users.lastError().code, ErrorCode::RecordDeleted);
        QVERIFY(users.refresh());
        QStringList names;
        for (bool more = users.moveFirst(); more && !users.eof(); more = users.moveNext())
            names << users.value(0).toString();
        QCOMPARE(names, (QStringList{QStringLiteral("első"), QStringLiteral("forrás1"), QStringLiteral("forrás2")}));
        // and the next row added here goes above them
        addUser(users, QStringLiteral("negyedik"), QVariant());
        QVERIFY(users.moveLast());
        QCOMPARE(users.value(0).toString(), QStringLiteral("negyedik"));
    }

    void externalPathsResolve()
    {
        TVX_FILES_ONLY("files of other folders");
        TestDataSet set;
        const QString dir = set.dir().absolutePath();
        const QString expected = set.path(QStringLiteral("Tarvix.tvd"));
        QCOMPARE(resolveExternalPath(dir + QStringLiteral("\\tarvix.TVD")), expected);
        // a working directory at the root gives a doubled separator
        QCOMPARE(resolveExternalPath(QStringLiteral("/\\") + dir.mid(1) + QStringLiteral("\\Tarvix.tvd")), expected);
        QCOMPARE(resolveExternalPath(dir + QStringLiteral("//./Tarvix.tvd")), expected);
    }

    void newFilesAreNeverCreatedByOpening()
    {
        TestDataSet set;
        Error error;
        QVERIFY(!Database::open(QStringLiteral("ujfajl.tvd"), set.dir(), error));
        QCOMPARE(error.code, ErrorCode::FileMissing);
        QVERIFY(!QFile::exists(set.path(QStringLiteral("ujfajl.tvd"))));
        if (!set.onServer())
            QVERIFY(!Database::create(set.path(QStringLiteral("Tarvix.tvd")), databaseFiles().first(), error));
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
