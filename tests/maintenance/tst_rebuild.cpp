#include "rebuildfixture.h"
#include "support/scriptedplatform.h"
#include "maintenance/filemoves.h"
#include "data/datasource.h"

#include <QProcess>

#include <sqlite3.h>

#include <csignal>
#include <sys/stat.h>

using tvx::maintenance::Rebuild;

namespace {

const QString kBackup = u"SAVE-20240307-123508"_s;  // the scripted clock's time
constexpr auto Finished = Rebuild::Outcome::Finished;
constexpr auto Abandoned = Rebuild::Outcome::Abandoned;

Rebuild::Outcome rebuild(const Folders &folders, const QStringList &files = {})
{
    RecordingObserver observer;
    Rebuild run(folders.work(), folders.templates(), observer);
    if (!files.isEmpty())
        run.setFiles(files);
    return run.run();
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList lockFilesIn(const QDir &dir) { return dir.entryList({u"*-lock"_s}, QDir::Files | QDir::Hidden); }

QStringList databasesIn(const QDir &dir) { return filesIn(dir).filter(u".tvd"_s, Qt::CaseInsensitive); }

const QString kPromptTitle = u"Hiba! Folytatás esetén adatsérülés lehet!"_s;

}  // namespace

class TestRebuild : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyRowStaysAndTheFormerFilesAreKept()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QDir work = f.work(), templates = f.templates();
        if (!f.onServer())
            QVERIFY(work.rename(u"Tarvix.tvd"_s, u"TARVIX.TVD"_s));
        QVERIFY(templates.rename(u"Torzsek.tvd"_s, u"TORZSEK.tvd"_s));
        QVERIFY(templates.rename(u"Parameter.tvd"_s, u"PARAMETER.TVD"_s));
        const auto before = snapshot(work);
        for (const QString &lock : lockFilesIn(templates))
            QVERIFY(templates.remove(lock));

        RecordingObserver observer;
        QCOMPARE(Rebuild(work, templates, observer).run(), Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(platform.messages[0].icon, tvx::MessageIcon::Information);
        QCOMPARE(platform.messages[0].title, QString());
        const QDir backup(work.filePath(kBackup));
        // backups and templates are only read: nothing is left beside them
        QCOMPARE(lockFilesIn(backup), QStringList());
        QCOMPARE(lockFilesIn(templates), QStringList());
        QCOMPARE(snapshot(work), before);
        if (f.onServer()) {
            // the folder holds the report, the backup schemas the files
            QCOMPARE(filesIn(work), QStringList());
            QCOMPARE(filesIn(backup), QStringList{u"Tarvfix-jelentes.txt"_s});
            QCOMPARE(backedUp(f, kBackup), (QStringList{u"Parameter.tvd"_s, u"regiszt.tvd"_s, u"Tarvix.tvd"_s, u"TarvixArchiv.tvd"_s,
                                                        u"Torzsek.tvd"_s}));
        } else {
            // each file keeps its own spelling, in its place and in the backup
            QCOMPARE(filesIn(work), (QStringList{u"betarol.tvd"_s, u"Parameter.tvd"_s, u"regiszt.tvd"_s, u"TARVIX.TVD"_s,
                                                 u"TarvixArchiv.tvd"_s, u"Torzsek.tvd"_s}));
            QCOMPARE(filesIn(backup), (QStringList{u"Parameter.tvd"_s, u"regiszt.tvd"_s, u"Tarvfix-jelentes.txt"_s, u"TARVIX.TVD"_s,
                                                   u"TarvixArchiv.tvd"_s, u"Torzsek.tvd"_s}));
        }
        QCOMPARE(snapshot(backup), before);
        QVERIFY(readText(backup.filePath(u"Tarvfix-jelentes.txt"_s)).contains(u"  Users: régi sorok: 2, átmásolva: 2"_s));

        QCOMPARE(observer.fileLines.size(), 5);
        QCOMPARE(observer.fileLines[3], u"Adatbázis :parameter.tvd"_s);
        QCOMPARE(observer.fileProgress.last(), qMakePair(5, 5));
        QVERIFY(observer.tableLines.contains(u"Tábla :Regisztrálás"_s));
        QVERIFY(observer.tableProgress.contains(qMakePair(3, 3)));
        QVERIFY(observer.statusTexts.contains(u"Adatok másolása..."_s) && observer.statusTexts.contains(u"Adatbázis másolása..."_s));
        QCOMPARE(observer.running, (QList<bool>{true, false}));
        QVERIFY(!platform.busy);

        // a second run in the same second: No abandons with nothing touched
        platform.messages.clear();
        QCOMPARE(rebuild(f), Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"Hiba! Folytatás esetén adatsérülés lehet!"_s);
        QCOMPARE(platform.lastText(), u"Tarvfix\nA(z) %1 mentési mappa már létezik.\nFolytatja a futtatást?"_s.arg(kBackup));
        QCOMPARE(platform.messages[0].icon, tvx::MessageIcon::Critical);
        QCOMPARE(platform.messages[0].buttons, tvx::MessageButtons::YesNoDefaultNo);
        QCOMPARE(snapshot(work), before);
        // Yes throughout: no file overwrites the earlier backup, none is replaced unsaved
        platform.messages.clear();
        platform.answers.fill(tvx::Answer::Yes, 10);
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 7);
        QVERIFY2(platform.messages[1].text.contains(f.onServer() ? u"Tarvix.tvd állomány már megvan a mentésben (save_20240307_123508_tarvix)"_s
                                                                 : u"TARVIX.TVD állomány már megvan a mentésben"_s),
                 qPrintable(platform.messages[1].text));
        QCOMPARE(snapshot(work), before);
        QCOMPARE(snapshot(backup), before);
    }

    void templateDecidesTablesColumnsAndKeptRows()
    {
        ScriptedPlatform platform;
        Folders f;
        const QString path = f.in(u"Tarvix.tvd"_s), templ = f.templates().filePath(u"Tarvix.tvd"_s);
        createFile(path, {{u"Adat"_s, {text("a"), text("Extra"), {u"b"_s, FieldType::Long, 0}}},
                          {u"Hosszu"_s, {text("h", 100)}},
                          {u"Minta"_s, {text("x")}},
                          {u"Users"_s, {text("Felhasználó"), text("Jelszó")}},
                          {u"Regi"_s, {text("r")}},
                          {u"betarolaskitarolas"_s, {text("k")}}});
        insertRows(path, u"Adat"_s, {u"a"_s, u"Extra"_s, u"b"_s}, {{u"egy"_s, u"elvész"_s, 1}, {u"kettő"_s, {}, 2}});
        insertRows(path, u"Hosszu"_s, {u"h"_s}, {{u"rövid"_s}, {u"ez túl hosszú a mintának"_s}});
        insertRows(path, u"Minta"_s, {u"x"_s}, {{u"régi1"_s}, {u"régi2"_s}, {u"régi3"_s}});
        insertRows(path, u"Users"_s, {u"Felhasználó"_s, u"Jelszó"_s}, {{u"Kiss Éva"_s, u"a"_s}, {u"demo"_s, {}}});
        insertRows(path, u"Regi"_s, {u"r"_s}, {{u"csak régi"_s}});
        insertRows(path, u"betarolaskitarolas"_s, {u"k"_s}, {{u"soha"_s}});
        createFile(templ, {{u"ADAT"_s, {{u"B"_s, FieldType::Long, 0}, text("uj"), text("A")}},
                           {u"Hosszu"_s, {text("h", 10)}},
                           {u"Minta"_s, {text("x")}},
                           {u"users"_s, {text("Felhasználó"), text("Jelszó"), text("Létrehozó")}},
                           {u"Uj"_s, {text("u")}},
                           {u"betarolaskitarolas"_s, {text("k")}}});
        insertRows(templ, u"Minta"_s, {u"x"_s}, {{u"minta1"_s}, {u"minta2"_s}});
        insertRows(templ, u"users"_s, {u"Felhasználó"_s, u"Létrehozó"_s}, {{u"minta"_s, u"sablon"_s}});
        insertRows(templ, u"Uj"_s, {u"u"_s}, {{u"csak mintában"_s}});

        QString backup = kBackup;
        if (f.onServer()) {
            // a row the template refuses ends the run's one transaction: nothing changes
            const auto before = snapshot(f.work());
            QCOMPARE(rebuild(f, {u"Tarvix.tvd"_s}), Finished);
            QCOMPARE(platform.messages.size(), 1);
            QCOMPARE(platform.messages[0].icon, tvx::MessageIcon::Exclamation);
            QVERIFY2(platform.lastText().startsWith(u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd.\n"_s),
                     qPrintable(platform.lastText()));
            QVERIFY2(platform.lastText().contains(u"A kiszolgálón a karbantartás csak egészében mehet végbe"_s), qPrintable(platform.lastText()));
            QCOMPARE(snapshot(f.work()), before);
            QCOMPARE(tableRows(path, u"Hosszu"_s), (QStringList{u"rövid"_s, u"ez túl hosszú a mintának"_s}));
            QCOMPARE(backedUp(f, kBackup), QStringList());
            QCOMPARE(serverSchemas(f.conninfo(), u"save_"_s), QStringList());
            const QString report = readText(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s));
            QVERIFY2(report.contains(u"ELUTASÍTOTT UTASÍTÁS: INSERT INTO [Hosszu] ([h]) SELECT [h] FROM  [save_20240307_123508_tarvix].[Hosszu]\n"_s),
                     qPrintable(report));
            QVERIFY2(report.contains(u"A kiszolgálón a futás minden változtatása visszavonva"_s), qPrintable(report));
            // without that row the run goes through
            runServerStatements(f.conninfo(), {u"DELETE FROM tarvix.\"Hosszu\" WHERE length(h) > 10"_s});
            platform.messages.clear();
            platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
            backup = u"SAVE-20240307-123509"_s;
        }

        QCOMPARE(rebuild(f, {u"Tarvix.tvd"_s}), Finished);
        QCOMPARE(tableRows(path, u"ADAT"_s), (QStringList{u"1|<null>|egy"_s, u"2|<null>|kettő"_s}));
        QCOMPARE(tableRows(path, u"Minta"_s), (QStringList{u"minta1"_s, u"minta2"_s}));
        QCOMPARE(tableRows(path, u"users"_s), (QStringList{u"Kiss Éva|a|<null>"_s, u"demo|<null>|<null>"_s}));
        QCOMPARE(tableRows(path, u"Uj"_s), QStringList{u"csak mintában"_s});
        QCOMPARE(tableRows(path, u"betarolaskitarolas"_s), QStringList());
        QCOMPARE(tableRows(path, u"Regi"_s), QStringList{u"<missing>"_s});
        QCOMPARE(platform.messages.size(), 1);
        const QString reportPath = f.work().absoluteFilePath(backup + u"/Tarvfix-jelentes.txt"_s);
        const QString report = readText(reportPath);
        for (const QString &line : {u"Csak a régi táblában volt, értéke nem került át: [Extra]"_s,
                                    u"Minta: régi sorok: 3, átmásolva: 0"_s,
                                    u"Regi: régi sorok: 1 – a mintában nincs ilyen tábla"_s})
            QVERIFY2(report.contains(line), qPrintable(line + u"\n"_s + report));
        QCOMPARE(tableRows(f.in(backup + u"/Tarvix.tvd"_s), u"Regi"_s), QStringList{u"csak régi"_s});
        if (f.onServer()) {
            QCOMPARE(tableRows(path, u"Hosszu"_s), QStringList{u"rövid"_s});
            QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
            return;
        }
        // the rejected statement copies nothing, asks nothing, and is reported
        QCOMPARE(tableRows(path, u"Hosszu"_s), QStringList());
        QCOMPARE(platform.lastText(), u"Karbantartás vége!\nNem minden sor került át! A részletek: "_s + QDir::toNativeSeparators(reportPath));
        for (const QString &line : {u"  Hosszu: régi sorok: 2, átmásolva: 0"_s,
                                    u"ELUTASÍTOTT UTASÍTÁS: INSERT INTO [Hosszu] ([h]) SELECT [h] FROM  ["_s +
                                        QDir::toNativeSeparators(f.work().absolutePath()) + u'\\' + kBackup + u"\\Tarvix.tvd].[Hosszu]\n"_s,
                                    u"nem fér el"_s})
            QVERIFY2(report.contains(line), qPrintable(line + u"\n"_s + report));
    }

    void missingFileIsMadeFromItsTemplate()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        removeDataSetFile(f, u"Parameter.tvd"_s);
        RecordingObserver observer;
        QCOMPARE(Rebuild(f.work(), f.templates(), observer).run(), Finished);
        QCOMPARE(platform.messages.size(), 1);
        if (!f.onServer()) {
            // spelled as its template
            QVERIFY2(filesIn(f.work()).contains(u"Parameter.tvd"_s), qPrintable(filesIn(f.work()).join(u' ')));
            QVERIFY(!filesIn(f.work()).contains(u"parameter.tvd"_s));
        }
        QCOMPARE(tableNamesOf(f.in(u"Parameter.tvd"_s)), QStringList{u"Iktatoszam"_s});
        QCOMPARE(tableRows(f.in(u"Parameter.tvd"_s), u"Iktatoszam"_s), QStringList());
        QCOMPARE(observer.fileProgress.mid(1), (QList<QPair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
        QCOMPARE(backedUp(f, kBackup).size(), 4);
        QVERIFY(QFile::exists(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s)));
    }

    // A rebuild must not change who may write the data set: an office's group
    // keeps writing its shared folder after a run, whatever the templates' mode.
    void rebuiltFilesKeepTheirPermissions()
    {
        if (testEngineIsServer())
            QSKIP("the files' own modes");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto groupWrites = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
        for (const QString &name : filesIn(f.templates()))
            QFile::setPermissions(f.templates().filePath(name), readOnly);
        QVERIFY(QFile::setPermissions(f.in(u"Tarvix.tvd"_s), groupWrites));
        QVERIFY(QFile::setPermissions(f.in(u"regiszt.tvd"_s), groupWrites | QFile::ReadOther));
        QVERIFY(QFile::remove(f.in(u"Parameter.tvd"_s)));  // made anew: a new file's permissions

        const mode_t previous = ::umask(002);
        RecordingObserver observer;
        const auto result = Rebuild(f.work(), f.templates(), observer).run();
        ::umask(previous);
        QCOMPARE(result, Finished);
        const auto mode = [&](const QString &name) {
            return QFile::permissions(f.in(name)) & (readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
        };
        QCOMPARE(mode(u"Tarvix.tvd"_s), groupWrites);
        QCOMPARE(mode(u"regiszt.tvd"_s), groupWrites | QFile::ReadOther);
        QCOMPARE(mode(u"Parameter.tvd"_s), groupWrites | QFile::ReadOther);
    }

    void fileHeldOpenIsNotMoved()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = snapshot(f.work());
        QProcess peer;
        peer.start(QStringLiteral(LOCKPEER), {u"open"_s, f.work().absolutePath(), u"torzsek.tvd"_s});
        QVERIFY(peer.waitForReadyRead(10000));
        QCOMPARE(peer.readLine().trimmed(), "OPEN");

        platform.answers.enqueue(tvx::Answer::Yes);
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 2);
        QVERIFY2(platform.messages[0].text.contains(u"Torzsek.tvd állományt egy másik program használja"_s), qPrintable(platform.messages[0].text));
        QVERIFY(!backedUp(f, kBackup).contains(u"Torzsek.tvd"_s));
        QVERIFY(backedUp(f, kBackup).contains(u"regiszt.tvd"_s));
        QCOMPARE(snapshot(f.work()), before);
        ::kill(pid_t(peer.processId()), SIGKILL);
        peer.waitForFinished(5000);

        // a handle of this very process counts too
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        Error error;
        auto held = Database::open(u"Tarvix.tvd"_s, f.work(), error);
        QCOMPARE(rebuild(f), Abandoned);
        QVERIFY(platform.lastText().contains(u"Tarvix.tvd állományt egy másik program használja"_s));
        QVERIFY(!QFile::exists(f.in(u"SAVE-20240307-123509/BEFEJEZETLEN.txt"_s)));  // nothing was moved
        QCOMPARE(backedUp(f, u"SAVE-20240307-123509"_s), QStringList());
        held.reset();
        QCOMPARE(snapshot(f.work()), before);
    }

    // A run cut short left Torzsek.tvd in its backup folder and not yet back,
    // Tarvix.tvd rebuilt in place with a new entry since, and half a new file.
    void aRunCutShortIsTakenUpByTheNext()
    {
        if (testEngineIsServer())
            QSKIP("a run on the server is one transaction: nothing of it is left to take up");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const QString earlier = u"SAVE-20240307-110000"_s;
        QVERIFY(f.work().mkdir(earlier));
        QVERIFY(QFile::rename(f.in(u"Torzsek.tvd"_s), f.in(earlier + u"/Torzsek.tvd"_s)));
        QVERIFY(QFile::copy(f.templates().filePath(u"Torzsek.tvd"_s), f.in(u"Torzsek.tvd.tarvfix-uj"_s)));
        writeBytes(f.in(earlier + u"/BEFEJEZETLEN.txt"_s), "");
        insertRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s, {u"recordID"_s}, {{u"azóta"_s}});
        const int partners = tableRows(f.in(earlier + u"/Torzsek.tvd"_s), u"BePartner"_s).size();
        const int entries = tableRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s).size();
        QVERIFY(partners > 0);

        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(tableRows(f.in(u"Torzsek.tvd"_s), u"BePartner"_s).size(), partners);
        QCOMPARE(tableRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s).size(), entries);  // the file in place is not replaced
        QVERIFY(!QFile::exists(f.in(u"Torzsek.tvd.tarvfix-uj"_s)));
        QVERIFY(!QFile::exists(f.in(earlier + u"/BEFEJEZETLEN.txt"_s)));
        QVERIFY(QFile::exists(f.in(earlier + u"/Torzsek.tvd"_s)));  // the backup stays as it was
        QVERIFY(!QFile::exists(f.in(kBackup + u"/BEFEJEZETLEN.txt"_s)));  // this run ended as it should
        const QString report = readText(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s));
        QVERIFY2(report.contains(u"A(z) SAVE-20240307-110000 mentés futása megszakadt; visszatéve onnan: Torzsek.tvd"_s), qPrintable(report));

        // a run abandoned before it moved anything leaves nothing to take up
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        platform.messages.clear();
        Error error;
        auto held = Database::open(u"Tarvix.tvd"_s, f.work(), error);
        QCOMPARE(rebuild(f), Abandoned);
        QVERIFY(QFile::exists(f.in(u"SAVE-20240307-123509/Tarvfix-jelentes.txt"_s)));
        QVERIFY(!QFile::exists(f.in(u"SAVE-20240307-123509/BEFEJEZETLEN.txt"_s)));
        held.reset();
        QCOMPARE(tableRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s).size(), entries);
    }

    // The question comes before this run has a report; the answer still ends in it.
    void aFileOfARunCutShortThatCannotGoBackIsAsked()
    {
        if (testEngineIsServer())
            QSKIP("a run on the server is one transaction: nothing of it is left to take up");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const QString earlier = u"SAVE-20240307-110000"_s;
        QVERIFY(f.work().mkpath(earlier + u"/Torzsek.tvd"_s));  // not a file: it cannot be read back
        writeBytes(f.in(earlier + u"/BEFEJEZETLEN.txt"_s), "");
        QVERIFY(QFile::remove(f.in(u"Torzsek.tvd"_s)));

        QCOMPARE(rebuild(f), Abandoned);  // Nem
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, kPromptTitle);
        QVERIFY2(platform.lastText().contains(u"Torzsek.tvd állomány eredeti példánya nem tehető vissza"_s), qPrintable(platform.lastText()));
        QVERIFY(!QFile::exists(f.in(kBackup)));

        platform.messages.clear();
        platform.answers.enqueue(tvx::Answer::Yes);
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QVERIFY(QFile::exists(f.in(u"Torzsek.tvd"_s)));  // made from its template
        const QString report = readText(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s));
        QVERIFY2(report.contains(u"HIBA: A(z) Torzsek.tvd állomány eredeti példánya nem tehető vissza"_s), qPrintable(report));
        QVERIFY2(report.contains(u"A futás folytatva."_s), qPrintable(report));
    }

    void journalLeftByACrashIsNotLeftBehind()
    {
        if (testEngineIsServer())
            QSKIP("writes the file with sqlite3 directly");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const QString path = f.in(u"Tarvix.tvd"_s), journal = path + u"-journal"_s;
        QList<QVariantList> rows;
        for (int i = 0; i < 2000; ++i)
            rows << QVariantList{QString::number(i), QString(1500, u'ő')};
        insertRows(path, u"Tarvix"_s, {u"recordID"_s, u"Megjegyzés"_s}, rows);

        // a writer dies in the middle of a transaction: the file half changed, the journal beside it
        QTemporaryDir crash;
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA cache_size=20; BEGIN; DELETE FROM Tarvix;", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(QFile::copy(path, crash.filePath(u"t"_s)) && QFile::copy(journal, crash.filePath(u"j"_s)));
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(crash.filePath(u"t"_s), path) && QFile::copy(crash.filePath(u"j"_s), journal));

        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(tableRows(path, u"Tarvix"_s).size(), 2002);
        QCOMPARE(tableRows(f.in(kBackup + u"/Tarvix.tvd"_s), u"Tarvix"_s).size(), 2002);
        QVERIFY(!QFile::exists(journal));
    }

    void anyFolderNameWorks_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("brackets") << u"Iroda [2024]"_s;
        QTest::newRow("everything") << u"a]b [c].[d] \\ \"idéző\" 'aposztróf' Árvíztűrő tükörfúrógép"_s;
    }
    void anyFolderNameWorks()
    {
        QFETCH(QString, folder);
        ScriptedPlatform platform;
        Folders f(folder);
        fillDataSet(f);
        const auto before = snapshot(f.work());
        QVERIFY(!before.value(u"Tarvix.tvd/Tarvix"_s).isEmpty());
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(snapshot(f.work()), before);
        QCOMPARE(snapshot(QDir(f.in(kBackup))), before);
    }

    void fileWhoseRowsCannotComeBackIsPutBack()
    {
        if (testEngineIsServer())
            QSKIP("a trigger of the file engine; on the server a failure rolls the run back (aFailureRollsBackTheWholeRun)");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = snapshot(f.work());
        {
            // the engine refuses every insert into the template's first table, and not by a rule of its values
            Error error;
            auto templ = Database::openPath(f.templates().filePath(u"Tarvix.tvd"_s), error, Database::Access::Private);
            QVERIFY2(templ, qPrintable(error.message));
            const Error e = EngineAccess::connection(*templ).execute(u"CREATE TRIGGER hibas BEFORE INSERT ON Tarvix BEGIN INSERT INTO nincs VALUES (1); END"_s);
            QVERIFY2(!e, qPrintable(e.message));
        }
        const QByteArray original = readBytes(f.in(u"Tarvix.tvd"_s));

        RecordingObserver observer;
        Rebuild run(f.work(), f.templates(), observer);
        QCOMPARE(run.run(), Finished);
        // back as it was, and still in the backup; the other files are rebuilt
        QCOMPARE(readBytes(f.in(u"Tarvix.tvd"_s)), original);
        QCOMPARE(readBytes(f.in(kBackup + u"/Tarvix.tvd"_s)), original);
        QCOMPARE(snapshot(f.work()), before);
        QVERIFY(readBytes(f.in(u"Torzsek.tvd"_s)) != readBytes(f.in(kBackup + u"/Torzsek.tvd"_s)));
        // its other tables were left alone
        QVERIFY(observer.tableLines.contains(u"Tábla :Tarvix"_s));
        QVERIFY(!observer.tableLines.contains(u"Tábla :Mellekletek"_s));
        QVERIFY(observer.tableLines.contains(u"Tábla :BePartner"_s));
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].buttons, tvx::MessageButtons::Ok);
        const QString reportPath = QDir::toNativeSeparators(f.work().absoluteFilePath(kBackup + u"/Tarvfix-jelentes.txt"_s));
        QCOMPARE(platform.lastText(), u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd. A részletek: "_s + reportPath);
        const QString report = readText(reportPath);
        QVERIFY2(report.contains(u"  Tarvix: régi sorok: 2, átmásolva: 0"_s), qPrintable(report));
        QVERIFY2(report.contains(u"  Az eredeti állomány visszakerült a helyére a mentésből; további táblái nem kerültek feldolgozásra."_s),
                 qPrintable(report));

        // a file the engine cannot read is put back before the question, whatever the answer
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        const QByteArray garbage("ez nem adatbázis, de a felhasználóé");
        writeBytes(f.in(u"TarvixArchiv.tvd"_s), garbage);
        platform.answers.enqueue(tvx::Answer::Yes);
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(readBytes(f.in(u"TarvixArchiv.tvd"_s)), garbage);
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.messages[0].title, kPromptTitle);
        QVERIFY2(platform.messages[0].text.contains(u"TarvixArchiv.tvd állomány nem olvasható adatbázis"_s), qPrintable(platform.messages[0].text));
        QVERIFY2(platform.messages[0].text.endsWith(u" Az eredeti állomány visszakerült a helyére.\nFolytatja a futtatást?"_s),
                 qPrintable(platform.messages[0].text));
        QVERIFY(platform.lastText().contains(u"\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd, TarvixArchiv.tvd. A részletek: "_s));
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        QCOMPARE(rebuild(f), Abandoned);  // Nem
        QCOMPARE(readBytes(f.in(u"TarvixArchiv.tvd"_s)), garbage);
        QCOMPARE(readBytes(f.in(u"Tarvix.tvd"_s)), original);
    }

    void templatesAreCheckedBeforeAnythingMoves()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QVERIFY(QFile::remove(f.templates().filePath(u"Torzsek.tvd"_s)));
        writeBytes(f.templates().filePath(u"regiszt.tvd"_s), "sérült minta");
        const auto before = snapshot(f.work());
        const QStringList filesBefore = databasesIn(f.work());
        for (const QString &lock : lockFilesIn(f.templates()))
            QVERIFY(f.templates().remove(lock));
        QString backupName = kBackup;
        QList<QStringList> backedUpAtPrompt;
        platform.onMessage = [&](const ShownMessage &) { backedUpAtPrompt << backedUp(f, backupName); };

        // Enter (Nem) abandons with nothing moved
        QCOMPARE(rebuild(f), Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        const ShownMessage &prompt = platform.messages[0];
        QCOMPARE(prompt.title, kPromptTitle);
        QCOMPARE(prompt.icon, tvx::MessageIcon::Critical);
        QCOMPARE(prompt.buttons, tvx::MessageButtons::YesNoDefaultNo);
        QCOMPARE(prompt.text, u"Tarvfix\nNem található a(z) Torzsek.tvd mintaállomány: %1\nMásolja vissza a mintát a program Data mappájába, "
                              u"vagy telepítse újra a programot! Folytatás esetén a(z) Torzsek.tvd állomány változatlanul a helyén marad.\n"
                              u"Folytatja a futtatást?"_s.arg(QDir::toNativeSeparators(f.templates().filePath(u"Torzsek.tvd"_s))));
        QCOMPARE(backedUpAtPrompt, QList<QStringList>{QStringList()});
        QCOMPARE(databasesIn(f.work()), filesBefore);
        QCOMPARE(backedUp(f, kBackup), QStringList());
        QCOMPARE(snapshot(f.work()), before);

        // Igen: those files stay where they are, untouched; the others are rebuilt
        platform.messages.clear();
        backedUpAtPrompt.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        backupName = u"SAVE-20240307-123509"_s;
        const QByteArray torzsek = readBytes(f.in(u"Torzsek.tvd"_s)), regiszt = readBytes(f.in(u"regiszt.tvd"_s));
        platform.answers << tvx::Answer::Yes << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 3);
        QVERIFY2(platform.messages[1].text.contains(u"regiszt.tvd mintaállomány nem nyitható meg"_s), qPrintable(platform.messages[1].text));
        QCOMPARE(platform.messages[1].buttons, tvx::MessageButtons::YesNoDefaultNo);
        QCOMPARE(backedUpAtPrompt.mid(0, 2), (QList<QStringList>{QStringList(), QStringList()}));
        QCOMPARE(readBytes(f.in(u"Torzsek.tvd"_s)), torzsek);
        QCOMPARE(readBytes(f.in(u"regiszt.tvd"_s)), regiszt);
        QCOMPARE(snapshot(f.work()), before);
        QCOMPARE(backedUp(f, backupName), (QStringList{u"Parameter.tvd"_s, u"Tarvix.tvd"_s, u"TarvixArchiv.tvd"_s}));
        QCOMPARE(lockFilesIn(f.templates()), QStringList());
        const QString report = readText(f.in(backupName + u"/Tarvfix-jelentes.txt"_s));
        QVERIFY2(report.contains(u"Torzsek.tvd\n  A mintája nem használható, ezért az állomány érintetlenül a helyén maradt."_s), qPrintable(report));
        QVERIFY(platform.lastText().startsWith(u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Torzsek.tvd, regiszt.tvd. A részletek: "_s));
    }

    void fileMovesReportCodedErrors()
    {
        if (testEngineIsServer())
            QSKIP("moves files");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QVERIFY(f.work().mkdir(u"SAVE"_s));
        const QString current = f.in(u"Tarvix.tvd"_s), saved = f.in(u"SAVE/Tarvix.tvd"_s);

        Error e = tvx::maintenance::copyTemplate(f.templates().filePath(u"Nincs.tvd"_s), f.in(u"Nincs.tvd"_s));
        QCOMPARE(e.code, ErrorCode::FileMissing);
        QVERIFY(e.message.startsWith(u"Nem található a(z) Nincs.tvd mintaállomány"_s));
        QCOMPARE(tvx::maintenance::copyTemplate(f.templates().filePath(u"Tarvix.tvd"_s), current).code, ErrorCode::Io);

        Error error;
        auto held = Database::open(u"Tarvix.tvd"_s, f.work(), error);
        e = tvx::maintenance::moveDatabase(current, saved);
        QCOMPARE(e.code, ErrorCode::Busy);
        QVERIFY(e.message.contains(u"másik program használja"_s));
        held.reset();
        QVERIFY(!tvx::maintenance::moveDatabase(current, saved));
        QCOMPARE(tvx::maintenance::moveDatabase(f.in(u"TarvixArchiv.tvd"_s), f.in(u"SAVE/Tarvix.tvd"_s)).code, ErrorCode::Io);
        // putting back keeps the saved copy
        QVERIFY(!tvx::maintenance::putBack(saved, current));
        QCOMPARE(readBytes(current), readBytes(saved));
        QCOMPARE(tvx::maintenance::putBack(f.in(u"SAVE/Nincs.tvd"_s), f.in(u"Nincs.tvd"_s)).code, ErrorCode::FileMissing);
        QVERIFY(!QFile::exists(f.in(u"Nincs.tvd"_s)));
    }

    void insertFromTheRootFolderResolves()
    {
        const QString statement = tvx::maintenance::insertStatement(u"T"_s, u"[a],[b]"_s, u"/"_s, kBackup + u'\\', u"Tarvix.tvd"_s);
        QCOMPARE(statement, u"INSERT INTO [T] ([a],[b]) SELECT [a],[b] FROM  [/\\%1\\Tarvix.tvd].[T]"_s.arg(kBackup));
        QCOMPARE(resolveExternalPath(statement.section(u"FROM  ["_s, 1).section(u"]."_s, 0, 0)), u"/%1/Tarvix.tvd"_s.arg(kBackup));
    }

    // On the server each file's old schema is its backup, named from the run's start.
    void backupSchemasAreNamedFromTheStartTime()
    {
        if (!testEngineIsServer())
            QSKIP("server data sets only");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = snapshot(f.work());
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(serverSchemas(f.conninfo(), u"save_"_s),
                 (QStringList{u"save_20240307_123508_parameter"_s, u"save_20240307_123508_regiszt"_s, u"save_20240307_123508_tarvix"_s,
                              u"save_20240307_123508_tarvixarchiv"_s, u"save_20240307_123508_torzsek"_s}));
        QCOMPARE(snapshot(QDir(f.in(kBackup))), before);
        QCOMPARE(snapshot(f.work()), before);
        const QString report = readText(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s));
        QVERIFY2(report.contains(u"Tarvix.tvd\n  A régi séma mentése: save_20240307_123508_tarvix\n"_s), qPrintable(report));
        QVERIFY2(report.contains(u"  Users: régi sorok: 2, átmásolva: 2"_s), qPrintable(report));

        // the rebuilt tables go on numbering their rows; Tarvix opens them as before
        insertRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s, {u"recordID"_s}, {{u"20240308-1"_s}});
        Error error;
        auto db = Database::open(u"Tarvix.tvd"_s, f.work(), error);
        QVERIFY2(db, qPrintable(error.message));
        auto rs = db->openRecordset(u"select * from Tarvix where recordID = '20240307-2'"_s, error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(tableRows(f.in(u"Tarvix.tvd"_s), u"Tarvix"_s).size(), before.value(u"Tarvix.tvd/Tarvix"_s).size() + 1);
        QCOMPARE(tableRows(f.in(kBackup + u"/Tarvix.tvd"_s), u"Tarvix"_s), before.value(u"Tarvix.tvd/Tarvix"_s));
    }

    // A failure in the last file takes back what the run did to the first ones.
    void aFailureRollsBackTheWholeRun()
    {
        if (!testEngineIsServer())
            QSKIP("server data sets only: files are rebuilt one by one");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QVERIFY(QFile::remove(f.templates().filePath(u"regiszt.tvd"_s)));
        createFile(f.templates().filePath(u"regiszt.tvd"_s), {{u"Users"_s, {text("Felhasználó", 3)}}});
        const auto before = snapshot(f.work());

        RecordingObserver observer;
        QCOMPARE(Rebuild(f.work(), f.templates(), observer).run(), Finished);
        QCOMPARE(observer.fileProgress.last(), qMakePair(4, 5));  // four files were done when the fifth failed
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY2(platform.lastText().startsWith(u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd, "
                                                 u"TarvixArchiv.tvd, Torzsek.tvd, Parameter.tvd, regiszt.tvd.\n"_s),
                 qPrintable(platform.lastText()));
        QCOMPARE(snapshot(f.work()), before);
        QCOMPARE(serverSchemas(f.conninfo(), u"save_"_s), QStringList());
        // and Tarvix works on as before
        Error error;
        auto db = Database::open(u"regiszt.tvd"_s, f.work(), error);
        QVERIFY2(db, qPrintable(error.message));
        QVERIFY(db->table(u"Regisztrálás"_s));  // a table the template lacks
    }

    // A window closed before the rebuild leaves its session waiting in the
    // program; the next window on it works on the rebuilt tables, never on
    // the backup the old ones became.
    void aSessionKeptFromBeforeWorksOnTheRebuiltTables()
    {
        if (!testEngineIsServer())
            QSKIP("server data sets only");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        {
            tvx::data::DataSource users(u"regiszt.tvd"_s, u"Users"_s, nullptr, f.work());
            QVERIFY(users.refresh());
            QCOMPARE(users.recordCount(), 2);
        }
        QCOMPARE(rebuild(f), Finished);
        tvx::data::DataSource users(u"regiszt.tvd"_s, u"Users"_s, nullptr, f.work());
        QVERIFY2(users.refresh(), qPrintable(users.lastError().message));
        QCOMPARE(users.recordCount(), 2);
        QVERIFY(users.addNew() && users.setValue(0, u"új"_s) && users.update());
        auto db = serverDatabase(f.conninfo());
        qint64 inRebuilt = -1;
        db->query(u"SELECT count(*) FROM regiszt.\"Users\""_s, {}, [&](const RowReader &r) {
            inRebuilt = r.int64(0);
            return false;
        });
        QCOMPARE(inRebuilt, 3);
    }

    // The searches' indexes: a rebuilt schema gets those of a data set made anew.
    void aRebuiltSchemaHasItsIndexes()
    {
        if (!testEngineIsServer())
            QSKIP("server data sets only");
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        auto indexes = [&](const QString &schema) {
            QStringList found;
            auto db = serverDatabase(f.conninfo());
            db->query(u"SELECT tablename, indexdef FROM pg_catalog.pg_indexes WHERE schemaname = ? AND indexdef NOT LIKE '%UNIQUE%' "
                      u"ORDER BY 1, 2"_s,
                      {schema}, [&](const RowReader &r) {
                          const QString def = r.value(1).toString();
                          found << r.value(0).toString() + u':' + def.mid(def.indexOf(u" USING "_s));  // the name is the server's choice
                          return true;
                      });
            return found;
        };
        const QStringList made = indexes(u"tarvix"_s), madeArchive = indexes(u"tarvixarchiv"_s);
        QVERIFY2(made.size() == 3, qPrintable(made.join(u'\n')));
        QCOMPARE(made.filter(u"Tarvix:"_s).filter(u"lower(((\"Iktatószám\")"_s).size(), 1);
        QCOMPARE(made.filter(u"Tarvix:"_s).filter(u"lower(((\"recordID\")"_s).size(), 1);
        QCOMPARE(made.filter(u"Mellekletek:"_s).filter(u"lower(((\"IktatasrecordID\")"_s).size(), 1);
        QCOMPARE(madeArchive.size(), 2);  // the archive's filing number and entry identifier
        QCOMPARE(madeArchive.filter(u"lower(((\"recordID\")"_s).size(), 1);

        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(indexes(u"tarvix"_s), made);
        QCOMPARE(indexes(u"tarvixarchiv"_s), madeArchive);
        // the equal search of one entry's attachments uses its index
        auto db = serverDatabase(f.conninfo());
        QStringList plan;
        QVERIFY(!db->execute(u"SET enable_seqscan = off"_s));
        db->query(u"EXPLAIN SELECT * FROM tarvix.\"Mellekletek\" WHERE lower(\"IktatasrecordID\" COLLATE \"hu-x-icu\") = "
                  u"lower(?::text COLLATE \"hu-x-icu\")"_s,
                  {u"20240307-1"_s}, [&](const RowReader &r) {
                      plan << r.value(0).toString();
                      return true;
                  });
        QVERIFY2(plan.join(u'\n').contains(u"Index"_s), qPrintable(plan.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestRebuild)
#include "tst_rebuild.moc"
