#include "common/commandline.h"
#include "common/paths.h"
#include "data/schema.h"
#include "maintenance/newdataset.h"
#include "shell/startup.h"
#include "support/scriptedplatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using tvx::CommandLine;
using tvx::ProgramKind;

namespace {

QStringList sortedEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// A program folder with copies of the built templates and help documents.
struct ProgramFolder {
    QTemporaryDir dir;
    ProgramFolder()
    {
        const QDir built(QStringLiteral(TVX_PROGRAM_FOLDER));
        QDir(dir.path()).mkpath(u"Data"_s);
        QDir(dir.path()).mkpath(u"Segedlet"_s);
        for (const QString &name : QDir(built.filePath(u"Data"_s)).entryList({u"*.tvd"_s}, QDir::Files))
            QFile::copy(built.filePath(u"Data/"_s + name), dir.filePath(u"Data/"_s + name));
        for (const QString &name : QDir(built.filePath(u"Segedlet"_s)).entryList({u"*.rtf"_s}, QDir::Files))
            QFile::copy(built.filePath(u"Segedlet/"_s + name), dir.filePath(u"Segedlet/"_s + name));
        QFile::copy(built.filePath(u"TarvixFelhKezikonyvEgyseges.rtf"_s), dir.filePath(u"TarvixFelhKezikonyvEgyseges.rtf"_s));
        tvx::paths::setProgramFolder(dir.path());
    }
    ~ProgramFolder() { tvx::paths::setProgramFolder({}); }
    QString path(const QString &relative) const { return dir.filePath(relative); }
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void commandLineOfTarvix()
    {
        auto parse = [](const QStringList &args) { return tvx::parseCommandLine(ProgramKind::Tarvix, args); };

        QCOMPARE(parse({}).action, CommandLine::Action::Run);
        QVERIFY(parse({}).dataSet.isEmpty());
        for (const QString &help : {u"--help"_s, u"-h"_s, u"/?"_s})
            QCOMPARE(parse({help}).action, CommandLine::Action::Help);
        QCOMPARE(parse({u"--version"_s}).action, CommandLine::Action::Version);
        QCOMPARE(parse({u"--version"_s, u"--help"_s}).action, CommandLine::Action::Version);

        // both spellings of a folder option; "~" is the home folder; relative folders become absolute
        const CommandLine spaced = parse({u"--data-set"_s, u"~/Iroda Tarvix"_s});
        QCOMPARE(spaced.action, CommandLine::Action::Run);
        QCOMPARE(spaced.dataSet, QDir::homePath() + u"/Iroda Tarvix"_s);
        QCOMPARE(parse({u"--data-set=~"_s}).dataSet, QDir::cleanPath(QDir::homePath()));
        QCOMPARE(parse({u"--data-set=adat/../ügyek"_s}).dataSet, QDir::current().absoluteFilePath(u"ügyek"_s));
        // a "~" inside a name is a letter
        QCOMPARE(parse({u"--data-set=a~b"_s}).dataSet, QDir::current().absoluteFilePath(u"a~b"_s));

        const CommandLine create = parse({u"--new-data-set"_s, u"/tmp/új"_s});
        QCOMPARE(create.action, CommandLine::Action::NewDataSet);
        QCOMPARE(create.newDataSet, u"/tmp/új"_s);
        const CommandLine check = parse({u"--check"_s, u"--data-set=/srv/x"_s});
        QCOMPARE(check.action, CommandLine::Action::Check);
        QCOMPARE(check.dataSet, u"/srv/x"_s);

        // what Tarvix cannot use is refused with a pointer to the usage, never ignored
        for (const QStringList &wrong : {QStringList{u"--data-set"_s}, QStringList{u"--data-set="_s}, QStringList{u"--new-data-set"_s},
                                         QStringList{u"--nincs-ilyen"_s}, QStringList{u"/s"_s}, QStringList{u"--data-set"_s, u" "_s}}) {
            const CommandLine line = parse(wrong);
            QCOMPARE(line.action, CommandLine::Action::Invalid);
            QVERIFY2(line.error.contains(u"tarvix --help"_s), qPrintable(line.error));
        }
    }

    void commandLineOfTarvfix()
    {
        auto parse = [](const QStringList &args) { return tvx::parseCommandLine(ProgramKind::Tarvfix, args); };
        // the old command line is handed over as it was
        QCOMPARE(parse({u"/s"_s}).programText, u"/s"_s);
        QCOMPARE(parse({u"/S"_s, u"x"_s}).programText, u"/S x"_s);
        QCOMPARE(parse({u"--data-set"_s, u"/srv/x"_s, u"/s"_s}).programText, u"/s"_s);
        QCOMPARE(parse({u"--data-set"_s, u"/srv/x"_s, u"/s"_s}).dataSet, u"/srv/x"_s);
        // Tarvfix makes no data set: that option is unknown to it
        QCOMPARE(parse({u"--new-data-set"_s, u"/tmp/x"_s}).action, CommandLine::Action::Invalid);
        QVERIFY(tvx::usageText(ProgramKind::Tarvfix).contains(u"/s"_s));
        QVERIFY(tvx::versionText(ProgramKind::Tarvfix).startsWith(u"Tarvfix "_s));
    }

    void aNewDataSetHoldsTheTemplatesAndIsWritable()
    {
        ProgramFolder program;
        // templates as an installation leaves them: read-only
        for (const auto &file : tvx::data::databaseFiles())
            QFile::setPermissions(program.path(u"Data/"_s + file.fileName), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QTemporaryDir parent;
        const QString folder = parent.filePath(u"iroda/ügyek"_s);

        QString printed;
        QString errors;
        QTextStream out(&printed);
        QTextStream err(&errors);
        const mode_t previous = ::umask(002);  // an office's group shares the folder
        const int created = tvx::runWithoutWindow(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--new-data-set"_s, folder}), out, err);
        ::umask(previous);
        QCOMPARE(created, 0);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QVERIFY(printed.contains(folder));
        QCOMPARE(tvx::maintenance::dataSetFilesIn(QDir(folder)).size(), tvx::data::databaseFiles().size());
        for (const auto &file : tvx::data::databaseFiles()) {
            const QString copy = QDir(folder).filePath(file.fileName);
            QCOMPARE(QFile::permissions(copy) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                     QFile::WriteOwner | QFile::WriteGroup);
            QFile a(copy), b(program.path(u"Data/"_s + file.fileName));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY(a.readAll() == b.readAll());
        }
        // nothing is written beside the templates
        QCOMPARE(sortedEntries(program.path(u"Data"_s)).size(), tvx::data::databaseFiles().size());

        // a second time into the same folder is refused, and changes nothing
        const QStringList before = sortedEntries(folder);
        QCOMPARE(tvx::runWithoutWindow(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--new-data-set"_s, folder}), out, err), 1);
        QVERIFY(errors.contains(u"már van adatállomány"_s));
        QCOMPARE(sortedEntries(folder), before);
    }

    void anyFileOfADataSetKeepsTheFolderFromBeingFilled()
    {
        ProgramFolder program;
        QTemporaryDir folder;
        QFile stray(folder.filePath(u"REGISZT.TVD"_s));  // the letter case of another system
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("a clerk's own file");
        stray.close();
        const tvx::data::Error error = tvx::maintenance::createDataSet(QDir(program.path(u"Data"_s)), QDir(folder.path()));
        QVERIFY(error);
        QVERIFY(error.message.contains(u"REGISZT.TVD"_s));
        QCOMPARE(sortedEntries(folder.path()), QStringList{u"REGISZT.TVD"_s});
    }

    void brokenTemplatesMakeNoHalfDataSet()
    {
        ProgramFolder program;
        QTemporaryDir folder;
        // the last template in the order missing: nothing is left of the copies before it
        const QString last = tvx::data::databaseFiles().last().fileName;
        QVERIFY(QFile::remove(program.path(u"Data/"_s + last)));
        tvx::data::Error error = tvx::maintenance::createDataSet(QDir(program.path(u"Data"_s)), QDir(folder.path()));
        QVERIFY(error);
        QVERIFY2(error.message.contains(last), qPrintable(error.message));
        QVERIFY(sortedEntries(folder.path()).isEmpty());

        // a template that is no database
        QFile junk(program.path(u"Data/"_s + last));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        error = tvx::maintenance::createDataSet(QDir(program.path(u"Data"_s)), QDir(folder.path()));
        QVERIFY(error);
        QVERIFY2(error.message.contains(u"nem nyitható meg"_s), qPrintable(error.message));
        QVERIFY(sortedEntries(folder.path()).isEmpty());

        // the check names it too, and fails
        QString printed;
        QTextStream out(&printed);
        QCOMPARE(tvx::checkInstallation(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--check"_s}), out), 1);
        QVERIFY2(printed.contains(u"HIBA – Minták"_s) && printed.contains(last), qPrintable(printed));
    }

    void theCheckFindsWhatShipsBesideTheProgram()
    {
        ProgramFolder program;
        QTemporaryDir dataSet;
        QString printed;
        QTextStream out(&printed);
        QCOMPARE(tvx::checkInstallation(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--check"_s, u"--data-set"_s, dataSet.path()}), out), 0);
        QVERIFY2(printed.contains(u"Segédletek: "_s) && printed.contains(u"Kézikönyv: a programba építve – rendben"_s), qPrintable(printed));
        QVERIFY(printed.contains(u"még nincs benne adatállomány"_s));
        QVERIFY(printed.endsWith(u"Rendben.\n"_s));

        // a data set with a file gone is a fault of its own
        QVERIFY(QFile::copy(program.path(u"Data/Torzsek.tvd"_s), dataSet.filePath(u"Torzsek.tvd"_s)));
        printed.clear();
        QCOMPARE(tvx::checkInstallation(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--check"_s, u"--data-set"_s, dataSet.path()}), out), 1);
        QVERIFY2(printed.contains(u"HIBA – Adatállomány: "_s) && printed.contains(u"csak 1 állomány"_s), qPrintable(printed));

        // a help document gone, and the manual beside the program
        QVERIFY(QFile::remove(program.path(u"Segedlet/IktatasFormX.rtf"_s)));
        QVERIFY(QFile::remove(program.path(u"TarvixFelhKezikonyvEgyseges.rtf"_s)));
        printed.clear();
        QCOMPARE(tvx::checkInstallation(tvx::parseCommandLine(ProgramKind::Tarvix, {u"--check"_s}), out), 1);
        QVERIFY2(printed.contains(u"IktatasFormX.rtf"_s) && printed.contains(u"HIBA – Kézikönyv"_s), qPrintable(printed));
    }

    void aChosenFolderWithoutDataSetIsOfferedToBeCreated()
    {
        ProgramFolder program;
        QTemporaryDir parent;
        const QString folder = parent.filePath(u"Tarvix"_s);
        {
            ScriptedPlatform platform;
            platform.answers.enqueue(tvx::Answer::No);
            QVERIFY(!tvx::enterDataSet(folder));
            QCOMPARE(platform.messages.size(), 1);
            QVERIFY(platform.lastText().contains(folder));
            QVERIFY(!QFileInfo::exists(folder));
        }
        {
            ScriptedPlatform platform;
            platform.answers.enqueue(tvx::Answer::Yes);
            QVERIFY(tvx::enterDataSet(folder));
            QCOMPARE(QDir::currentPath(), folder);
            QCOMPARE(tvx::maintenance::dataSetFilesIn(QDir(folder)).size(), tvx::data::databaseFiles().size());
        }
        {
            // a folder with a data set is entered without a question
            QDir::setCurrent(QDir::tempPath());
            ScriptedPlatform platform;
            QVERIFY(tvx::enterDataSet(folder));
            QVERIFY(platform.messages.isEmpty());
            QCOMPARE(QDir::currentPath(), folder);
        }
        {
            // templates missing: the reason is shown and Tarvix does not start
            QVERIFY(QDir(program.path(u"Data"_s)).removeRecursively());
            ScriptedPlatform platform;
            platform.answers.enqueue(tvx::Answer::Yes);
            QVERIFY(!tvx::enterDataSet(parent.filePath(u"másik"_s)));
            QCOMPARE(platform.messages.size(), 2);
            QVERIFY(platform.lastText().contains(u"Nem található a minták mappája"_s));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
