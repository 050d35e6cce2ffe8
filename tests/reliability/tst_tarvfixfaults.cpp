// Tarvfix on missing templates, broken data set files, a full disk, a folder
// it cannot write and files of a newer template: it stops or asks in Hungarian,
// nothing it cannot rebuild is moved, and every original stays restorable.

#include "maintenance/form1.h"
#include "maintenance/rebuildfixture.h"
#include "reliability/faultkit.h"
#include "support/faultvfs.h"
#include "support/scriptedplatform.h"

#include <sqlite3.h>

using tvx::maintenance::Form1;
using tvx::maintenance::Rebuild;
using faults::Breakage;

namespace {

const QString kBackup = u"SAVE-20240307-123508"_s;  // the scripted clock's time
const QString kPromptTitle = u"Hiba! Folytatás esetén adatsérülés lehet!"_s;
constexpr auto Finished = Rebuild::Outcome::Finished;
constexpr auto Abandoned = Rebuild::Outcome::Abandoned;

Rebuild::Outcome rebuild(const Folders &folders)
{
    RecordingObserver observer;
    Rebuild run(folders.work(), folders.templates(), observer);
    return run.run();
}

// Every database file of a folder, byte by byte.
QMap<QString, QByteArray> bytesOf(const QDir &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : dir.entryList({u"*.tvd"_s}, QDir::Files))
        files.insert(name, faults::readBytes(dir.filePath(name)));
    return files;
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

QString readText(const QString &path) { return QString::fromUtf8(faults::readBytes(path)); }

void runSql(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    QCOMPARE(rc, SQLITE_OK);
}

QString skipText() { return u"ezen a gépen a teszt nem csatolhat fájlrendszert (root és mount jog kell)"_s; }

}  // namespace

class TestTarvfixFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { faultvfs::install(nullptr); }
    void cleanup() { faultvfs::clear(); }

    // One template missing, all of them, the whole Data folder, or a template
    // that is no database: asked before anything moves; No leaves the data set
    // as it was, Yes rebuilds the others and leaves those files alone.
    void missingTemplatesMoveNothing_data()
    {
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<int>("breakage");  // -1: the templates are gone
        for (const QString &file : rebuiltFileNames())
            QTest::addRow("nincs %s", qPrintable(file)) << QStringList{file} << -1;
        QTest::newRow("egyik sincs") << rebuiltFileNames() << -1;
        QTest::newRow("üres minta") << QStringList{u"Tarvix.tvd"_s} << int(Breakage::Empty);
        QTest::newRow("szöveg a minta helyén") << QStringList{u"regiszt.tvd"_s} << int(Breakage::Text);
        QTest::newRow("csonka minta") << QStringList{u"Torzsek.tvd"_s} << int(Breakage::CutMidPage);
    }
    void missingTemplatesMoveNothing()
    {
        QFETCH(QStringList, missing);
        QFETCH(int, breakage);
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        for (const QString &file : missing) {
            const QString path = f.templates().filePath(findFileIgnoringCase(f.templates(), file));
            QVERIFY(breakage < 0 ? QFile::remove(path) : faults::breakFile(path, Breakage(breakage)));
        }
        const auto before = bytesOf(f.work());
        const auto rows = snapshot(f.work());

        QCOMPARE(rebuild(f), Abandoned);  // Enter: Nem
        QCOMPARE(platform.messages.size(), 1);
        const ShownMessage prompt = platform.messages[0];
        QCOMPARE(prompt.title, kPromptTitle);
        QCOMPARE(prompt.buttons, tvx::MessageButtons::YesNoDefaultNo);
        const QString name = missing[0];  // as the file list spells it
        const QString advice = u"Másolja vissza a mintát a program Data mappájába, vagy telepítse újra a programot! "
                               u"Folytatás esetén a(z) %1 állomány változatlanul a helyén marad."_s.arg(name);
        if (breakage < 0)
            QCOMPARE(prompt.text, u"Tarvfix\nNem található a(z) %1 mintaállomány: %2\n%3\nFolytatja a futtatást?"_s.arg(
                                      name, shown(f.templates().filePath(name)), advice));
        else
            QCOMPARE(prompt.text, u"Tarvfix\nA(z) %1 mintaállomány nem nyitható meg: sérült, vagy nem adatbázis.\n%2\nFolytatja a futtatást?"_s.arg(name, advice));
        QCOMPARE(bytesOf(f.work()), before);
        QCOMPARE(bytesOf(QDir(f.in(kBackup))), (QMap<QString, QByteArray>()));

        // Igen to every question: those files stay as they are, the others are rebuilt
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        for (int i = 0; i < missing.size(); ++i)
            platform.answers << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), missing.size() + 1);
        QCOMPARE(snapshot(f.work()), rows);
        for (const QString &file : missing) {
            const QString onDisk = findFileIgnoringCase(f.work(), file);
            QCOMPARE(faults::readBytes(f.in(onDisk)), before.value(onDisk));
            QVERIFY2(platform.lastText().contains(onDisk), qPrintable(platform.lastText()));
        }
        QVERIFY(platform.lastText().startsWith(u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: "_s));
    }

    void missingTemplateFolderIsOneQuestion()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = bytesOf(f.work());
        QVERIFY(f.templates().removeRecursively());

        // unattended: the question waits for the user, whose Enter stops the run
        Form1 form(f.work(), f.templates());
        QVERIFY(!form.start(u"/s"_s));
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, kPromptTitle);
        QCOMPARE(platform.messages[0].text, u"Tarvfix\nNem található a minták mappája: %1\nTelepítse újra a programot! "
                                            u"Folytatás esetén minden állomány változatlanul a helyén marad.\nFolytatja a futtatást?"_s
                                                .arg(shown(f.templates().absolutePath())));
        QCOMPARE(bytesOf(f.work()), before);

        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        platform.answers << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 2);
        QVERIFY(platform.lastText().startsWith(
            u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd, TarvixArchiv.tvd, Torzsek.tvd, Parameter.tvd, regiszt.tvd."_s));
        QCOMPARE(bytesOf(f.work()), before);
    }

    // A data set file that is no database, empty, cut short or damaged inside:
    // it is not rebuilt, it goes back to its place as it was (and stays in the
    // backup), and the user learns which file and what to do.
    void brokenFileGoesBackUntouched_data()
    {
        QTest::addColumn<Breakage>("breakage");
        for (const Breakage breakage : faults::allBreakages())
            QTest::newRow(qPrintable(faults::breakageName(breakage))) << breakage;
    }
    void brokenFileGoesBackUntouched()
    {
        QFETCH(Breakage, breakage);
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QVERIFY(faults::breakFile(f.in(u"Tarvix.tvd"_s), breakage));
        const QByteArray broken = faults::readBytes(f.in(u"Tarvix.tvd"_s));
        auto rows = snapshot(f.work());

        platform.answers << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(faults::readBytes(f.in(u"Tarvix.tvd"_s)), broken);
        QCOMPARE(faults::readBytes(f.in(kBackup + u"/Tarvix.tvd"_s)), broken);
        QCOMPARE(snapshot(f.work()), rows);  // the other files rebuilt with every row
        const QString end = platform.lastText();
        QVERIFY2(end.startsWith(u"Karbantartás vége!\nNem épült újra, eredeti állapotában maradt: Tarvix.tvd."_s), qPrintable(end));
        for (const ShownMessage &m : std::as_const(platform.messages))
            QVERIFY2(!faults::looksForeign(m.text), qPrintable(m.text));
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.messages[0].title, kPromptTitle);
        QCOMPARE(platform.messages[0].text,
                 u"Tarvfix\nA(z) Tarvix.tvd állomány nem olvasható adatbázis (sérült, vagy nem adatbázis), ezért nem építhető újra. "
                 u"Ha van róla korábbi mentés (SAVE mappa), onnan állítsa vissza! Az eredeti állomány visszakerült a helyére.\n"
                 u"Folytatja a futtatást?"_s);

        // unattended, Enter stops the run: the file is back all the same
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        Form1 form(f.work(), f.templates());
        QVERIFY(!form.start(u"/s"_s));
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(faults::readBytes(f.in(u"Tarvix.tvd"_s)), broken);
    }

    // The disk fills while the rows are copied back: the file returns to its
    // place as it was, and the user is asked whether to go on (the next file
    // would meet the same disk).
    void fullDiskAsksAndPutsBack()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = bytesOf(f.work());
        const QByteArray work = QFile::encodeName(QFileInfo(f.work().absolutePath()).canonicalFilePath()) + '/';
        faultvfs::install([work](faultvfs::Operation op, const char *path, long long, int) {
            return op == faultvfs::Operation::Write && QByteArray(path).startsWith(work) ? SQLITE_FULL : SQLITE_OK;
        });

        QCOMPARE(rebuild(f), Abandoned);  // Enter: Nem
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, kPromptTitle);
        QCOMPARE(platform.messages[0].text,
                 u"Tarvfix\nA(z) Tarvix.tvd állomány nem írható: megtelt a lemez. A módosítás nem került mentésre. "
                 u"Szabadítson fel helyet a lemezen, majd próbálja újra! Az eredeti állomány visszakerült a helyére.\nFolytatja a futtatást?"_s);
        QCOMPARE(bytesOf(f.work()), before);
        QCOMPARE(faults::readBytes(f.in(kBackup + u"/Tarvix.tvd"_s)), before.value(u"Tarvix.tvd"_s));

        // going on: every file meets the same disk and goes back
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        platform.answers << tvx::Answer::Yes << tvx::Answer::Yes << tvx::Answer::Yes << tvx::Answer::Yes << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(bytesOf(f.work()), before);

        // space is back: the run goes through and keeps every row
        faultvfs::clear();
        const auto rows = snapshot(f.work());
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(snapshot(f.work()), rows);
    }

    // A real small disk, full before the run: the template cannot be copied,
    // the file is back in its place, nothing is lost; with room, it works.
    void realFullDisk()
    {
        ScriptedPlatform platform;
        Folders f;
        faults::SmallDisk disk(f.work().absolutePath(), 512 * 1024);
        if (!disk.mounted())
            QSKIP(qPrintable(skipText()));
        fillDataSet(f);
        const auto rows = snapshot(f.work());
        const auto before = bytesOf(f.work());
        QVERIFY(disk.fill());

        QCOMPARE(rebuild(f), Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        const QString text = platform.messages[0].text;
        QVERIFY2(text.startsWith(u"Tarvfix\nA(z) Tarvix.tvd minta nem másolható a helyére ("_s), qPrintable(text));
        QVERIFY2(text.endsWith(u"): megtelt a lemez. Szabadítson fel helyet, majd futtassa újra a karbantartást! "
                               u"Az eredeti állomány visszakerült a helyére.\nFolytatja a futtatást?"_s),
                 qPrintable(text));
        QCOMPARE(bytesOf(f.work()), before);

        disk.release();
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(snapshot(f.work()), rows);
    }

    // A working folder on a read-only medium: the backup folder cannot be
    // made; the question says why and what to do; nothing changes.
    void readOnlyWorkingFolder()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = bytesOf(f.work());
        faults::ReadOnlyMount readOnly(f.work().absolutePath());
        if (!readOnly.mounted())
            QSKIP(qPrintable(skipText()));

        QCOMPARE(rebuild(f), Abandoned);
        QCOMPARE(platform.messages.size(), 1);
        const QString folder = shown(f.work().absolutePath());
        QCOMPARE(platform.messages[0].text, u"Tarvfix\nA(z) %1 mentési mappa nem hozható létre a(z) %2 mappában: a(z) %2 mappa csak olvasható. "
                                            u"Kérjen írási jogot a rendszergazdától, majd futtassa újra a karbantartást!\nFolytatja a futtatást?"_s
                                                .arg(kBackup, folder));
        // going on anyway moves nothing: every file is asked about and stays
        platform.messages.clear();
        platform.fixedClock.set(platform.fixedClock.now().addSecs(1));
        for (int i = 0; i < 6; ++i)
            platform.answers << tvx::Answer::Yes;
        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(platform.messages.size(), 7);
        QVERIFY2(platform.messages[1].text.contains(u"mentési mappa nem létezik, ezért a(z) Tarvix.tvd állomány nem helyezhető át."_s),
                 qPrintable(platform.messages[1].text));
        QCOMPARE(bytesOf(f.work()), before);
    }

    // A data set from a newer template run against the old templates: the
    // shared columns keep every row; what only the newer files have is left
    // out, as the rebuild always does, and reported; the backup keeps it all.
    void newerTemplateFileLosesOnlyWhatTheTemplateLacks()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto rows = snapshot(f.work());
        runSql(f.in(u"Tarvix.tvd"_s), u"ALTER TABLE Tarvix ADD COLUMN \"Újabb mező\" VARCHAR(40);"
                                      u"UPDATE Tarvix SET \"Újabb mező\" = 'csak az újabb mintában';"
                                      u"CREATE TABLE \"ÚjTábla\" (\"Név\" VARCHAR(20));"
                                      u"INSERT INTO \"ÚjTábla\" VALUES ('marad a mentésben');"_s);
        const QByteArray widened = faults::readBytes(f.in(u"Tarvix.tvd"_s));

        QCOMPARE(rebuild(f), Finished);
        QCOMPARE(snapshot(f.work()), rows);
        QCOMPARE(faults::readBytes(f.in(kBackup + u"/Tarvix.tvd"_s)), widened);
        const QString report = readText(f.in(kBackup + u"/Tarvfix-jelentes.txt"_s));
        for (const QString &line : {u"  Tarvix: régi sorok: 2, átmásolva: 2\n    Csak a régi táblában volt, értéke nem került át: [Újabb mező]"_s,
                                    u"  ÚjTábla: régi sorok: 1 – a mintában nincs ilyen tábla, nem került át."_s})
            QVERIFY2(report.contains(line), qPrintable(line + u"\n"_s + report));
    }
};

QTEST_MAIN(TestTarvfixFaults)
#include "tst_tarvfixfaults.moc"
