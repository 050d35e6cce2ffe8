#include "rebuildfixture.h"
#include "scripted.h"

#include "names.h"
#include "schema.h"

#include <QFile>
#include <QProcess>

#include <sqlite3.h>

#include <csignal>

using tvx::maintenance::Rebuild;

namespace {

const QString kBackup = QStringLiteral("SAVE-20240307-123508");  // the scripted clock's time

struct Peer {
    QProcess process;
    bool open(const QDir &dir, const QString &file)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(LOCKPEER), {QStringLiteral("open"), dir.absolutePath(), file});
        if (!process.waitForStarted(5000))
            return false;
        while (process.waitForReadyRead(10000)) {
            while (process.canReadLine()) {
                if (process.readLine().trimmed() == "OPEN")
                    return true;
            }
        }
        return false;
    }
    ~Peer()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGKILL);
            process.waitForFinished(5000);
        }
    }
};

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every table of every rebuilt file, as rows of text.
QMap<QString, QStringList> snapshot(const QDir &dir)
{
    QMap<QString, QStringList> all;
    for (const QString &file : tvx::data::rebuiltFileNames()) {
        const QString path = dir.filePath(tvx::data::findFileIgnoringCase(dir, file));
        for (const QString &table : tableNames(path))
            all.insert(file.toLower() + u'/' + table, tableRows(path, table));
    }
    return all;
}

Rebuild::Outcome runRebuild(const Folders &folders, RecordingObserver &observer, const QStringList &files = {})
{
    Rebuild rebuild(folders.work(), folders.templates(), observer);
    if (!files.isEmpty())
        rebuild.setFiles(files);
    return rebuild.run();
}

}  // namespace

class TestRebuild : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statementsAndTableRules()
    {
        using namespace tvx::maintenance;
        QCOMPARE(backupFolderName(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 8))), QStringLiteral("SAVE-20240307-090508"));

        const tvx::data::TableInfo old(QStringLiteral("T"), {textField("c"), textField("Extra"), textField("a"), textField("b")});
        const tvx::data::TableInfo fresh(QStringLiteral("T"), {textField("A"), textField("b"), textField("C"), textField("uj")});
        QCOMPARE(commonColumnList(old, fresh), QStringLiteral("[c],[a],[b]"));
        QCOMPARE(commonColumnList(tvx::data::TableInfo(QStringLiteral("T"), {textField("x")}), fresh), QString());

        QCOMPARE(insertStatement(QStringLiteral("Users"), QStringLiteral("[a],[b]"), QStringLiteral("C:\\adat"), QStringLiteral("SAVE-1\\"),
                                 QStringLiteral("regiszt.tvd")),
                 QStringLiteral("INSERT INTO [Users] ([a],[b]) SELECT [a],[b] FROM  [C:\\adat\\SAVE-1\\regiszt.tvd].[Users]"));
        // a working directory at the file system's root
        const QString atRoot = insertStatement(QStringLiteral("T"), QStringLiteral("[a]"), QStringLiteral("/"), kBackup + u'\\',
                                               QStringLiteral("Tarvix.tvd"));
        const QString external = atRoot.mid(atRoot.indexOf(QStringLiteral("FROM  [")) + 7).section(QStringLiteral("].["), 0, 0);
        QCOMPARE(tvx::data::resolveExternalPath(external), QStringLiteral("/") + kBackup + QStringLiteral("/Tarvix.tvd"));

        for (const char *name : {"MSysObjects", "msysaces", "MSYSIMEXSPECS", "sqlite_sequence", "SQLITE_STAT1"})
            QVERIFY2(isSkippedTable(tvx::data::TableInfo(QString::fromUtf8(name), {})), name);
        QVERIFY(!isSkippedTable(tvx::data::TableInfo(QStringLiteral("MSysSajat"), {})));
        QVERIFY(isSkippedTable(tvx::data::TableInfo(QStringLiteral("Csatolt"), {}, QStringLiteral("Tavoli"))));
        for (const char *name : {"USERS", "FELHASZNÁLÓREG", "Bettorzs", "PARAMÉTER", "bevet", "Kivet"})
            QVERIFY2(isAlwaysRefilled(QString::fromUtf8(name)), name);
        QVERIFY(!isAlwaysRefilled(QStringLiteral("parameter")));
        QVERIFY(!isAlwaysRefilled(QStringLiteral("betarolaskitarolas")));
    }

    void completeRunKeepsEveryRowAndTheFormerFiles()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        const auto before = snapshot(folders.work());
        const QByteArray operatorFile = readText(folders.work().filePath(QStringLiteral("betarol.tvd"))).toUtf8();

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Finished);

        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text, QStringLiteral("Karbantartás vége!"));
        QCOMPARE(platform.messages[0].icon, tvx::MessageIcon::Information);
        QCOMPARE(platform.messages[0].buttons, tvx::MessageButtons::Ok);
        QVERIFY(platform.messages[0].title.isEmpty());
        QVERIFY(!platform.busy);
        QCOMPARE(observer.running, (QList<bool>{true, false}));

        QCOMPARE(snapshot(folders.work()), before);
        QCOMPARE(tableRows(folders.work().filePath(QStringLiteral("regiszt.tvd")), QStringLiteral("Users")).size(), 2);
        const QDir backup(folders.work().filePath(kBackup));
        QCOMPARE(databaseFilesIn(backup), (QStringList{QStringLiteral("Parameter.tvd"), QStringLiteral("Tarvfix-jelentes.txt"),
                                                       QStringLiteral("Tarvix.tvd"), QStringLiteral("TarvixArchiv.tvd"),
                                                       QStringLiteral("Torzsek.tvd"), QStringLiteral("regiszt.tvd")}));
        QCOMPARE(snapshot(backup), before);
        QCOMPARE(readText(folders.work().filePath(QStringLiteral("betarol.tvd"))).toUtf8(), operatorFile);

        QCOMPARE(observer.fileLines, (QStringList{QStringLiteral("Adatbázis :Tarvix.tvd"), QStringLiteral("Adatbázis :TarvixArchiv.tvd"),
                                                  QStringLiteral("Adatbázis :Torzsek.tvd"), QStringLiteral("Adatbázis :parameter.tvd"),
                                                  QStringLiteral("Adatbázis :regiszt.tvd")}));
        QCOMPARE(observer.fileProgress.first(), qMakePair(0, 5));
        QCOMPARE(observer.fileProgress.last(), qMakePair(5, 5));
        QVERIFY(observer.tableLines.contains(QStringLiteral("Tábla :Mellekletek")));
        QVERIFY(observer.tableLines.contains(QStringLiteral("Tábla :Regisztrálás")));
        QVERIFY(observer.tableProgress.contains(qMakePair(3, 3)));  // Tarvix.tvd
        QVERIFY(observer.statusTexts.contains(QStringLiteral("Adatok másolása...")));
        QVERIFY(observer.statusTexts.contains(QStringLiteral("Adatbázis másolása...")));
        QCOMPARE(observer.statusTexts.last(), QString());
        QVERIFY(observer.updates >= 5 * 3);

        const QString report = readText(backup.filePath(QStringLiteral("Tarvfix-jelentes.txt")));
        QVERIFY2(report.contains(QStringLiteral("  Tarvix: régi sorok: 2, átmásolva: 2")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("  Users: régi sorok: 2, átmásolva: 2")), qPrintable(report));
    }

    void templateStructureDecidesTablesColumnsAndRows()
    {
        ScriptedPlatform platform;
        Folders folders;
        const QString oldPath = folders.work().filePath(QStringLiteral("Tarvix.tvd"));
        const QString templatePath = folders.templates().filePath(QStringLiteral("Tarvix.tvd"));
        createFile(oldPath, {{QStringLiteral("Adat"), {textField("a"), textField("Extra"), longField("b")}},
                             {QStringLiteral("Minta"), {textField("x")}},
                             {QStringLiteral("Users"), {textField("Felhasználó"), textField("Jelszó", 10)}},
                             {QStringLiteral("Regi"), {textField("r")}},
                             {QStringLiteral("betarolaskitarolas"), {textField("k")}}});
        insertRows(oldPath, QStringLiteral("Adat"), {QStringLiteral("a"), QStringLiteral("Extra"), QStringLiteral("b")},
                   {{QStringLiteral("egy"), QStringLiteral("elvész"), 1}, {QStringLiteral("kettő"), QVariant(), 2}});
        insertRows(oldPath, QStringLiteral("Minta"), {QStringLiteral("x")}, {{QStringLiteral("régi1")}, {QStringLiteral("régi2")}, {QStringLiteral("régi3")}});
        insertRows(oldPath, QStringLiteral("Users"), {QStringLiteral("Felhasználó"), QStringLiteral("Jelszó")},
                   {{QStringLiteral("Kiss Éva"), QStringLiteral("a")}, {QStringLiteral("Nagy Ödön"), QStringLiteral("b")}, {QStringLiteral("demo"), QVariant()}});
        insertRows(oldPath, QStringLiteral("Regi"), {QStringLiteral("r")}, {{QStringLiteral("csak régi")}});
        insertRows(oldPath, QStringLiteral("betarolaskitarolas"), {QStringLiteral("k")}, {{QStringLiteral("soha")}});

        createFile(templatePath, {{QStringLiteral("ADAT"), {longField("B"), textField("uj"), textField("A")}},
                                  {QStringLiteral("Minta"), {textField("x")}},
                                  {QStringLiteral("users"), {textField("Felhasználó"), textField("Jelszó", 10), textField("Létrehozó")}},
                                  {QStringLiteral("Uj"), {textField("u")}},
                                  {QStringLiteral("betarolaskitarolas"), {textField("k")}}});
        insertRows(templatePath, QStringLiteral("Minta"), {QStringLiteral("x")}, {{QStringLiteral("minta1")}, {QStringLiteral("minta2")}});
        insertRows(templatePath, QStringLiteral("users"), {QStringLiteral("Felhasználó"), QStringLiteral("Létrehozó")},
                   {{QStringLiteral("minta"), QStringLiteral("sablon")}, {QStringLiteral("minta2"), QStringLiteral("sablon")}});
        insertRows(templatePath, QStringLiteral("Uj"), {QStringLiteral("u")}, {{QStringLiteral("csak mintában")}});

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer, {QStringLiteral("Tarvix.tvd")}), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));

        // tables and column order from the template, values through the shared columns
        QCOMPARE(tableNames(oldPath), (QStringList{QStringLiteral("ADAT"), QStringLiteral("Minta"), QStringLiteral("users"),
                                                   QStringLiteral("Uj"), QStringLiteral("betarolaskitarolas")}));
        QCOMPARE(tableRows(oldPath, QStringLiteral("ADAT")), (QStringList{QStringLiteral("1|<null>|egy"), QStringLiteral("2|<null>|kettő")}));
        QCOMPARE(tableRows(oldPath, QStringLiteral("Minta")), (QStringList{QStringLiteral("minta1"), QStringLiteral("minta2")}));
        QCOMPARE(tableRows(oldPath, QStringLiteral("users")),
                 (QStringList{QStringLiteral("Kiss Éva|a|<null>"), QStringLiteral("Nagy Ödön|b|<null>"), QStringLiteral("demo|<null>|<null>")}));
        QCOMPARE(tableRows(oldPath, QStringLiteral("Uj")), QStringList{QStringLiteral("csak mintában")});
        QCOMPARE(tableRows(oldPath, QStringLiteral("betarolaskitarolas")), QStringList());
        QCOMPARE(observer.tableProgress.last(), qMakePair(5, 5));

        // nothing of it is lost: the backup keeps the old file, the report says what stayed behind
        const QString backupPath = folders.work().filePath(kBackup + QStringLiteral("/Tarvix.tvd"));
        QCOMPARE(tableRows(backupPath, QStringLiteral("Regi")), QStringList{QStringLiteral("csak régi")});
        const QString report = readText(folders.work().filePath(kBackup + u'/' + tvx::maintenance::kReportFileName));
        QVERIFY2(report.contains(QStringLiteral("Csak a régi táblában volt, értéke nem került át: [Extra]")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Regi: régi sorok: 1 – a mintában nincs ilyen tábla")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Minta: régi sorok: 3, átmásolva: 0")), qPrintable(report));
    }

    void missingFileIsMadeFromItsTemplate()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        QVERIFY(QFile::remove(folders.work().filePath(QStringLiteral("Parameter.tvd"))));
        QFile::remove(folders.work().filePath(QStringLiteral("Parameter.tvd-lock")));

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        const QString made = folders.work().filePath(QStringLiteral("parameter.tvd"));
        QCOMPARE(tableNames(made), QStringList{QStringLiteral("Iktatoszam")});
        QCOMPARE(tableRows(made, QStringLiteral("Iktatoszam")), QStringList());
        QCOMPARE(observer.fileProgress.mid(1), (QList<QPair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
        QVERIFY(!databaseFilesIn(QDir(folders.work().filePath(kBackup))).contains(QStringLiteral("Parameter.tvd"), Qt::CaseInsensitive));
        QCOMPARE(tableRows(folders.work().filePath(QStringLiteral("Torzsek.tvd")), QStringLiteral("BePartner")).size(), 2);
    }

    void fileNamesMatchWhateverTheirLetterCase()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        const auto before = snapshot(folders.work());
        QDir work = folders.work(), templates = folders.templates();
        QVERIFY(work.rename(QStringLiteral("Tarvix.tvd"), QStringLiteral("TARVIX.TVD")));
        QVERIFY(work.rename(QStringLiteral("regiszt.tvd"), QStringLiteral("Regiszt.tvd")));
        QVERIFY(templates.rename(QStringLiteral("Torzsek.tvd"), QStringLiteral("TORZSEK.tvd")));
        QVERIFY(templates.rename(QStringLiteral("Parameter.tvd"), QStringLiteral("PARAMETER.TVD")));

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        // each file keeps its spelling, in its place and in the backup
        const QStringList files = databaseFilesIn(work);
        for (const char *name : {"TARVIX.TVD", "Regiszt.tvd", "Parameter.tvd", "Torzsek.tvd", "TarvixArchiv.tvd", "betarol.tvd"})
            QVERIFY2(files.contains(QString::fromUtf8(name)), name);
        QCOMPARE(files.size(), 6);
        QVERIFY(databaseFilesIn(QDir(work.filePath(kBackup))).contains(QStringLiteral("TARVIX.TVD")));
        QCOMPARE(snapshot(work), before);
    }

    void rejectedRowsAreSkippedButReported()
    {
        ScriptedPlatform platform;
        Folders folders;
        const QString oldPath = folders.work().filePath(QStringLiteral("regiszt.tvd"));
        const QString templatePath = folders.templates().filePath(QStringLiteral("regiszt.tvd"));
        createFile(oldPath, {{QStringLiteral("Users"), {textField("Felhasználó", 100)}}, {QStringLiteral("Napló"), {textField("n")}}});
        insertRows(oldPath, QStringLiteral("Users"), {QStringLiteral("Felhasználó")},
                   {{QStringLiteral("demo")}, {QStringLiteral("Egy nagyon hosszú felhasználónév, ami nem fér el")}});
        insertRows(oldPath, QStringLiteral("Napló"), {QStringLiteral("n")}, {{QStringLiteral("bejegyzés")}});
        createFile(templatePath, {{QStringLiteral("Users"), {textField("Felhasználó", 25)}}, {QStringLiteral("Napló"), {textField("n")}}});
        insertRows(templatePath, QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {{QStringLiteral("minta")}});

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer, {QStringLiteral("regiszt.tvd")}), Rebuild::Outcome::Finished);

        // no prompt in the copying stretch; the next table is still copied
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(tableRows(oldPath, QStringLiteral("Users")), QStringList());
        QCOMPARE(tableRows(oldPath, QStringLiteral("Napló")), QStringList{QStringLiteral("bejegyzés")});

        const QString reportPath = folders.work().absoluteFilePath(kBackup + u'/' + tvx::maintenance::kReportFileName);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!\nNem minden sor került át! A részletek: ") +
                                          QDir::toNativeSeparators(reportPath));
        const QString report = readText(reportPath);
        QVERIFY2(report.contains(QStringLiteral("  Users: régi sorok: 2, átmásolva: 0")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("ELUTASÍTOTT UTASÍTÁS: INSERT INTO [Users] ([Felhasználó]) SELECT [Felhasználó] FROM  [")),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Az adatbázismotor üzenete: ")) && report.contains(QStringLiteral("nem fér el")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("  Napló: régi sorok: 1, átmásolva: 1")), qPrintable(report));
        QCOMPARE(tableRows(folders.work().filePath(kBackup + QStringLiteral("/regiszt.tvd")), QStringLiteral("Users")).size(), 2);
    }

    void secondRunInTheSameSecondLosesNothing()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        const auto before = snapshot(folders.work());
        RecordingObserver first;
        QCOMPARE(runRebuild(folders, first), Rebuild::Outcome::Finished);
        insertRows(folders.work().filePath(QStringLiteral("Tarvix.tvd")), QStringLiteral("Tarvix"), {QStringLiteral("recordID")},
                   {{QStringLiteral("közben")}});
        const auto afterFirst = snapshot(folders.work());

        // No: abandoned at once, nothing touched
        platform.messages.clear();
        RecordingObserver second;
        QCOMPARE(runRebuild(folders, second), Rebuild::Outcome::Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        const ShownMessage prompt = platform.messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Hiba! Folytatás esetén adatsérülés lehet!"));
        QCOMPARE(prompt.text, QStringLiteral("Tarvfix\nA(z) %1 mentési mappa már létezik.\nFolytatja a futtatást?").arg(kBackup));
        QCOMPARE(prompt.icon, tvx::MessageIcon::Critical);
        QCOMPARE(prompt.buttons, tvx::MessageButtons::YesNo);
        QCOMPARE(second.running, (QList<bool>{true, false}));
        QVERIFY(!platform.busy);
        QVERIFY(second.fileLines.isEmpty());
        QCOMPARE(snapshot(folders.work()), afterFirst);

        // Yes to every prompt: no file may overwrite the earlier backup, and none is replaced unsaved
        platform.messages.clear();
        for (int i = 0; i < 10; ++i)
            platform.answers.enqueue(tvx::Answer::Yes);
        RecordingObserver third;
        QCOMPARE(runRebuild(folders, third), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 7);
        QVERIFY(platform.messages[1].text.contains(QStringLiteral("Tarvix.tvd állomány már megvan a mentésben")));
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        QCOMPARE(snapshot(folders.work()), afterFirst);
        QCOMPARE(snapshot(QDir(folders.work().filePath(kBackup))), before);
    }

    void fileHeldOpenIsNotMoved()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        const auto before = snapshot(folders.work());
        Peer peer;
        QVERIFY(peer.open(folders.work(), QStringLiteral("torzsek.tvd")));

        platform.answers.enqueue(tvx::Answer::Yes);
        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.messages[0].title, QStringLiteral("Hiba! Folytatás esetén adatsérülés lehet!"));
        QVERIFY2(platform.messages[0].text.contains(QStringLiteral("Torzsek.tvd állományt egy másik program használja")),
                 qPrintable(platform.messages[0].text));
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        QVERIFY(QFileInfo::exists(folders.work().filePath(QStringLiteral("Torzsek.tvd"))));
        QVERIFY(!QFileInfo::exists(folders.work().filePath(kBackup + QStringLiteral("/Torzsek.tvd"))));
        QVERIFY(QFileInfo::exists(folders.work().filePath(kBackup + QStringLiteral("/regiszt.tvd"))));
        QCOMPARE(snapshot(folders.work()), before);
        QCOMPARE(observer.fileProgress.last(), qMakePair(5, 5));

        // a handle of this very process counts too; No abandons with the file in place
        peer.process.kill();
        peer.process.waitForFinished(5000);
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        Error error;
        auto held = Database::open(QStringLiteral("Tarvix.tvd"), folders.work(), error);
        QVERIFY(held);
        RecordingObserver second;
        QCOMPARE(runRebuild(folders, second), Rebuild::Outcome::Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("Tarvix.tvd állományt egy másik program használja")));
        held.reset();
        QCOMPARE(snapshot(folders.work()), before);
        QCOMPARE(second.running.last(), false);
    }

    void journalLeftByACrashStaysWithItsFile()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        const QString path = folders.work().filePath(QStringLiteral("Tarvix.tvd"));
        QList<QVariantList> many;
        for (int i = 0; i < 2000; ++i)
            many << QVariantList{QStringLiteral("sor-%1").arg(i), QString(1500, u'ő')};
        insertRows(path, QStringLiteral("Tarvix"), {QStringLiteral("recordID"), QStringLiteral("Megjegyzés")}, many);

        // a writer that dies in the middle of a transaction: the file half changed, the journal beside it
        QTemporaryDir crash;
        {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "PRAGMA cache_size=20; BEGIN; DELETE FROM \"Tarvix\";", nullptr, nullptr, nullptr), SQLITE_OK);
            QVERIFY(QFile::copy(path, crash.filePath(QStringLiteral("Tarvix.tvd"))));
            QVERIFY(QFile::copy(path + QStringLiteral("-journal"), crash.filePath(QStringLiteral("Tarvix.tvd-journal"))));
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        QVERIFY(QFileInfo(crash.filePath(QStringLiteral("Tarvix.tvd-journal"))).size() > 0);
        {
            // without its journal the file has lost rows
            QVERIFY(QFile::copy(crash.filePath(QStringLiteral("Tarvix.tvd")), crash.filePath(QStringLiteral("alone.tvd"))));
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(crash.filePath(QStringLiteral("alone.tvd")).toUtf8().constData(), &db), SQLITE_OK);
            int rows = -1;
            sqlite3_exec(
                db, "SELECT count(*) FROM \"Tarvix\"", [](void *out, int, char **v, char **) { *static_cast<int *>(out) = atoi(v[0]); return 0; },
                &rows, nullptr);
            sqlite3_close(db);
            QVERIFY2(rows != 2002, qPrintable(QString::number(rows)));
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(crash.filePath(QStringLiteral("Tarvix.tvd")), path));
        QVERIFY(QFile::copy(crash.filePath(QStringLiteral("Tarvix.tvd-journal")), path + QStringLiteral("-journal")));

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(tableRows(path, QStringLiteral("Tarvix")).size(), 2002);
        const QString backup = folders.work().filePath(kBackup + QStringLiteral("/Tarvix.tvd"));
        QCOMPARE(tableRows(backup, QStringLiteral("Tarvix")).size(), 2002);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    }

    void missingTemplateAsksAndKeepsTheSavedFile()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        QVERIFY(QFile::remove(folders.templates().filePath(QStringLiteral("TarvixArchiv.tvd"))));
        const auto archive = tableRows(folders.work().filePath(QStringLiteral("TarvixArchiv.tvd")), QStringLiteral("Tarvix"));

        RecordingObserver observer;
        QCOMPARE(runRebuild(folders, observer), Rebuild::Outcome::Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY2(platform.messages[0].text.startsWith(QStringLiteral("Tarvfix\nNem található a(z) TarvixArchiv.tvd mintaállomány")),
                 qPrintable(platform.messages[0].text));
        // abandoned where it stood: the first file rebuilt, the second saved, the rest untouched
        QCOMPARE(observer.fileProgress.last(), qMakePair(1, 5));
        QCOMPARE(tableRows(folders.work().filePath(kBackup + QStringLiteral("/TarvixArchiv.tvd")), QStringLiteral("Tarvix")), archive);
        QVERIFY(QFileInfo::exists(folders.work().filePath(QStringLiteral("Torzsek.tvd"))));
        QVERIFY(!platform.busy);
        const QString report = readText(folders.work().filePath(kBackup + u'/' + tvx::maintenance::kReportFileName));
        QVERIFY2(report.contains(QStringLiteral("A futás megszakítva.")), qPrintable(report));
    }
};

QTEST_GUILESS_MAIN(TestRebuild)
#include "tst_rebuild.moc"
