// Server data sets as the office makes them: new from the templates, or moved
// from a folder of files, every row kept and counted, and the folder naming
// the server from then on.

#include "common/commandline.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/datasource.h"
#include "data/recordlock.h"
#include "data/schema.h"
#include "data/templates.h"
#include "maintenance/serverdataset.h"
#include "sampledata.h"
#include "support/pgserver.h"
#include "support/tablerows.h"

#include <QTemporaryDir>

using namespace tvx;
using namespace tvx::data;

namespace {

// Every row of every table of the data set in `dir`, as data sources read them.
QMap<QString, QList<QVariantList>> everyRow(const QDir &dir)
{
    QMap<QString, QList<QVariantList>> rows;
    for (const DatabaseFileDef &file : databaseFiles()) {
        for (const TableDef &table : file.tables)
            rows.insert(file.fileName + u'/' + table.name, tableRows(dir, file.fileName, QStringLiteral("SELECT * FROM [%1]").arg(table.name)));
    }
    return rows;
}

qint64 totalOf(const QVector<CopiedTable> &copied)
{
    qint64 total = 0;
    for (const CopiedTable &t : copied)
        total += t.rows;
    return total;
}

// A value a clerk can type that the old engine stored and the new one must keep.
void addAwkwardPartner(const QDir &dir, const QString &name, const QVariant &code)
{
    DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, dir);
    QVERIFY2(partners.refresh(), qPrintable(partners.lastError().message));
    QVERIFY(partners.addNew());
    QVERIFY(partners.setValue(QStringLiteral("BerNev"), name));
    QVERIFY(partners.setValue(QStringLiteral("BerIrszam"), code));
    QVERIFY2(partners.update(), qPrintable(partners.lastError().message));
}

}  // namespace

class TestServerDataSet : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setServerOverride({}); }

    void aNewDataSetHoldsTheTemplatesRowsAndIsNamedByTheFolder()
    {
        QTemporaryDir templates, folder;
        QVERIFY(!createDataSetFiles(QDir(templates.path())));
        const auto templateRows = everyRow(QDir(templates.path()));
        PgTestDatabase db;
        QVector<CopiedTable> copied;
        const QDir target(folder.filePath(QStringLiteral("iroda")));
        QVERIFY2(!maintenance::createServerDataSet(QDir(templates.path()), db.conninfo(), target, copied), "created");
        QVERIFY(QFileInfo::exists(target.filePath(QStringLiteral("Tarvix.conninfo"))));
        QString conninfo;
        QVERIFY(!serverConninfo(target, conninfo));
        QCOMPARE(conninfo, db.conninfo());
        QCOMPARE(everyRow(target), templateRows);
        QCOMPARE(totalOf(copied), qint64(250));  // the country codes and the operator record
        QVERIFY(maintenance::copiedTablesReport(copied).contains(QStringLiteral("Torzsek.tvd / ORSZAGJEL: 249 sor")));

        // a second data set in the same database would mix two offices' rows
        QTemporaryDir other;
        QVector<CopiedTable> again;
        const Error refused = maintenance::createServerDataSet(QDir(templates.path()), db.conninfo(), QDir(other.path()), again);
        QCOMPARE(refused.code, ErrorCode::Refused);
        QVERIFY(again.isEmpty());
        QVERIFY(!QFileInfo::exists(QDir(other.path()).filePath(QStringLiteral("Tarvix.conninfo"))));
        QCOMPARE(everyRow(target), templateRows);
    }

    void aMovedDataSetKeepsEveryRowAndTheFolderNamesTheServer()
    {
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QVERIFY(!createDataSetFiles(dir));
        QVERIFY(!tools::fillSampleData(dir));
        addAwkwardPartner(dir, QStringLiteral("O'Brien \"Kft.\" – Őrült Ügyvédi Iroda *?[a-z]#"), QStringLiteral("9999"));
        addAwkwardPartner(dir, QStringLiteral("ŰRHAJÓ zrt.\nmásodik sor"), QVariant());
        const auto before = everyRow(dir);
        qint64 rowsBefore = 0;
        for (const auto &rows : before)
            rowsBefore += rows.size();

        PgTestDatabase db;
        QVector<CopiedTable> copied;
        QString movedTo;
        const Error moved = maintenance::moveDataSetToServer(dir, db.conninfo(), copied, movedTo);
        QVERIFY2(!moved, qPrintable(moved.message));
        QCOMPARE(totalOf(copied), rowsBefore);

        // the folder names the server only; the files wait aside, untouched
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("Tarvix.conninfo"))));
        for (const DatabaseFileDef &file : databaseFiles()) {
            QVERIFY2(!QFileInfo::exists(dir.filePath(file.fileName)), qPrintable(file.fileName));
            QVERIFY2(QFileInfo::exists(QDir(movedTo).filePath(file.fileName)), qPrintable(file.fileName));
        }
        QCOMPARE(everyRow(dir), before);
        QCOMPARE(everyRow(QDir(movedTo)), before);

        // and the data sources of the screens now write there
        addAwkwardPartner(dir, QStringLiteral("Új partner a kiszolgálón"), QStringLiteral("1111"));
        QCOMPARE(tableRows(dir, QStringLiteral("torzsek.tvd"), QStringLiteral("SELECT * FROM BePartner WHERE BerIrszam = '1111'")).size(), 1);

        // moving again is refused: the folder already names the server
        QVector<CopiedTable> again;
        QString aside;
        QCOMPARE(maintenance::moveDataSetToServer(dir, db.conninfo(), again, aside).code, ErrorCode::Refused);
    }

    void aMoveIsRefusedWholeAndTheFolderKept_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("file open") << QStringLiteral("open");
        QTest::newRow("database holds a data set") << QStringLiteral("taken");
        QTest::newRow("server unreachable") << QStringLiteral("unreachable");
        QTest::newRow("a file missing") << QStringLiteral("missing");
    }
    void aMoveIsRefusedWholeAndTheFolderKept()
    {
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QVERIFY(!createDataSetFiles(dir));
        PgTestDatabase db;
        QString conninfo = db.conninfo();
        std::shared_ptr<Database> held;
        if (why == u"open") {
            Error e;
            held = Database::open(QStringLiteral("Torzsek.tvd"), dir, e);
            QVERIFY(held);
        } else if (why == u"taken") {
            QTemporaryDir other;
            QVERIFY(!createDataSetFiles(QDir(other.path())));
            QVector<CopiedTable> first;
            QVERIFY(!copyDataSetToServer(QDir(other.path()), conninfo, first));
        } else if (why == u"unreachable") {
            conninfo = QStringLiteral("host=/nonexistent-socket-folder dbname=tvx connect_timeout=2");
        } else {
            QVERIFY(QFile::remove(dir.filePath(QStringLiteral("betarol.tvd"))));
        }
        const QStringList filesBefore = dir.entryList(QDir::Files, QDir::Name);
        QVector<CopiedTable> copied;
        QString movedTo;
        const Error e = maintenance::moveDataSetToServer(dir, conninfo, copied, movedTo);
        QVERIFY(e);
        QVERIFY(!e.message.isEmpty());
        QVERIFY(movedTo.isEmpty());
        QCOMPARE(dir.entryList(QDir::Files, QDir::Name), filesBefore);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("Tarvix.conninfo"))));
        if (why == u"missing" || why == u"open") {
            // nothing of it reached the server either
            QTemporaryDir probe;
            QVERIFY(!writeServerConninfo(QDir(probe.path()), conninfo));
            Error opened;
            QVERIFY(!Database::open(QStringLiteral("Tarvix.tvd"), QDir(probe.path()), opened));
            QCOMPARE(opened.code, ErrorCode::FileMissing);
        }
    }

    void aFolderWithBothKindsIsRefusedNotGuessed()
    {
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QVERIFY(!createDataSetFiles(dir));
        PgTestDatabase db;
        QVERIFY(!writeServerConninfo(dir, db.conninfo()));
        Error e;
        QVERIFY(!Database::open(QStringLiteral("Tarvix.tvd"), dir, e));
        QCOMPARE(e.code, ErrorCode::Refused);
        QVERIFY2(e.message.contains(QStringLiteral("Tarvix.conninfo")), qPrintable(e.message));

        // --db names the server whatever the folder holds
        QTemporaryDir templates;
        QVERIFY(!createDataSetFiles(QDir(templates.path())));
        QVector<CopiedTable> copied;
        QVERIFY(!copyDataSetToServer(QDir(templates.path()), db.conninfo(), copied));
        setServerOverride(db.conninfo());
        auto opened = Database::open(QStringLiteral("Tarvix.tvd"), dir, e);
        QVERIFY2(opened, qPrintable(e.message));
        QVERIFY(opened->server());
    }

    void aConnectionFileIsReadAsWritten()
    {
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QFile file(dir.filePath(QStringLiteral("TARVIX.CONNINFO")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# az iroda kiszolgálója\n\n  service=tarvix  \nconnect_timeout=5\n");
        file.close();
        QString conninfo;
        QVERIFY(!serverConninfo(dir, conninfo));
        QCOMPARE(conninfo, QStringLiteral("service=tarvix connect_timeout=5"));

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("# csak megjegyzés\n");
        file.close();
        const Error empty = serverConninfo(dir, conninfo);
        QVERIFY(empty);
        QVERIFY(conninfo.isEmpty());
    }

    void theCommandLineNamesTheServer()
    {
        auto line = parseCommandLine(ProgramKind::Tarvix, {QStringLiteral("--db"), QStringLiteral("service=tarvix")});
        QCOMPARE(line.action, CommandLine::Action::Run);
        QCOMPARE(line.db, QStringLiteral("service=tarvix"));
        line = parseCommandLine(ProgramKind::Tarvix, {QStringLiteral("--db=host=db.iroda.local dbname=tarvix")});
        QCOMPARE(line.db, QStringLiteral("host=db.iroda.local dbname=tarvix"));
        line = parseCommandLine(ProgramKind::Tarvix, {QStringLiteral("--move-to-server"), QStringLiteral("/srv/tarvix"), QStringLiteral("--db"),
                                                      QStringLiteral("service=tarvix")});
        QCOMPARE(line.action, CommandLine::Action::MoveToServer);
        QCOMPARE(line.moveToServer, QStringLiteral("/srv/tarvix"));
        // moving needs to know where to
        line = parseCommandLine(ProgramKind::Tarvix, {QStringLiteral("--move-to-server"), QStringLiteral("/srv/tarvix")});
        QCOMPARE(line.action, CommandLine::Action::Invalid);
        QVERIFY(line.error.contains(QStringLiteral("--db")));
        line = parseCommandLine(ProgramKind::Tarvix, {QStringLiteral("--db")});
        QCOMPARE(line.action, CommandLine::Action::Invalid);
        line = parseCommandLine(ProgramKind::Tarvfix, {QStringLiteral("--db"), QStringLiteral("service=tarvix"), QStringLiteral("/s")});
        QCOMPARE(line.db, QStringLiteral("service=tarvix"));
        QCOMPARE(line.programText, QStringLiteral("/s"));
        QCOMPARE(parseCommandLine(ProgramKind::Tarvfix, {QStringLiteral("--move-to-server"), QStringLiteral("x")}).action,
                 CommandLine::Action::Invalid);
    }
};

TVX_SERVER_TEST_MAIN(TestServerDataSet)
#include "tst_serverdataset.moc"
