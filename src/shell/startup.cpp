#include "shell/startup.h"

#include "common/paths.h"
#include "common/platform.h"
#include "help/helptable.h"
#include "help/rtfreader.h"
#include "maintenance/installcheck.h"
#include "maintenance/newdataset.h"
#include "maintenance/serverdataset.h"
#include "data/dataset.h"
#include "data/names.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>
#include <QTextStream>

namespace tvx {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

int createServerDataSet(const QString &folder, const QString &conninfo, QTextStream &out, QTextStream &err)
{
    QVector<data::CopiedTable> copied;
    if (const data::Error error = maintenance::createServerDataSet(QDir(paths::templatesFolder()), conninfo, QDir(folder), copied)) {
        err << error.message << Qt::endl;
        return 1;
    }
    out << QStringLiteral("Az új adatállomány elkészült az adatbázis-kiszolgálón; a(z) %1 mappa %2 állománya nevezi meg.")
               .arg(shown(folder), QString::fromLatin1(data::kServerDataSetFileName))
        << Qt::endl
        << maintenance::copiedTablesReport(copied)
        << QStringLiteral("Indítás: tarvix --data-set \"%1\" (első belépés: \"demo\", üres jelszóval)").arg(shown(folder)) << Qt::endl;
    return 0;
}

int moveToServer(const QString &folder, const QString &conninfo, QTextStream &out, QTextStream &err)
{
    QVector<data::CopiedTable> copied;
    QString movedTo;
    if (const data::Error error = maintenance::moveDataSetToServer(QDir(folder), conninfo, copied, movedTo)) {
        err << error.message << Qt::endl;
        return 1;
    }
    out << QStringLiteral("A(z) %1 adatállománya a kiszolgálóra költözött. Átmásolt sorok:").arg(shown(folder)) << Qt::endl
        << maintenance::copiedTablesReport(copied)
        << QStringLiteral("A régi állományok helye: %1").arg(shown(movedTo)) << Qt::endl;
    return 0;
}

int createDataSet(const QString &folder, QTextStream &out, QTextStream &err)
{
    if (const data::Error error = maintenance::createDataSet(QDir(paths::templatesFolder()), QDir(folder))) {
        err << error.message << Qt::endl;
        return 1;
    }
    out << QStringLiteral("Az új adatállomány elkészült: %1").arg(shown(folder)) << Qt::endl
        << QStringLiteral("Indítás: tarvix --data-set \"%1\" (első belépés: \"demo\", üres jelszóval)").arg(shown(folder)) << Qt::endl;
    return 0;
}

// The manual as the manual window reads it: built into the program; and its copy beside the program.
void checkManual(maintenance::InstallationReport &report)
{
    QFile builtIn(QStringLiteral(":/help/TarvixFelhKezikonyvEgyseges.rtf"));
    QTextDocument document;
    if (!builtIn.open(QIODevice::ReadOnly) || !help::readRtf(builtIn.readAll(), document) || document.isEmpty())
        report.bad(QStringLiteral("Kézikönyv"), QStringLiteral("a programba épített kézikönyv nem olvasható"));
    else
        report.good(QStringLiteral("Kézikönyv"), QStringLiteral("a programba építve – rendben (%1 karakter)").arg(document.characterCount()));

    QFile beside(paths::manualFile());
    if (!beside.open(QIODevice::ReadOnly) || beside.read(5) != "{\\rtf")
        report.bad(QStringLiteral("Kézikönyv"), QStringLiteral("%1 – hiányzik vagy nem RTF").arg(shown(paths::manualFile())));
    else
        report.good(QStringLiteral("Kézikönyv"), QStringLiteral("%1 – rendben").arg(shown(paths::manualFile())));
}

}  // namespace

int runWithoutWindow(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    switch (line.action) {
    case CommandLine::Action::Version:
        out << versionText(ProgramKind::Tarvix) << Qt::endl;
        return 0;
    case CommandLine::Action::Help:
        out << usageText(ProgramKind::Tarvix) << Qt::flush;
        return 0;
    case CommandLine::Action::Invalid:
        err << line.error << Qt::endl;
        return 2;
    case CommandLine::Action::NewDataSet:
        if (!line.db.isEmpty())
            return createServerDataSet(line.newDataSet, line.db, out, err);
        return createDataSet(line.newDataSet, out, err);
    case CommandLine::Action::MoveToServer:
        return moveToServer(line.moveToServer, line.db, out, err);
    case CommandLine::Action::Check:
    case CommandLine::Action::Run:
        break;
    }
    return -1;
}

int checkInstallation(const CommandLine &line, QTextStream &out)
{
    maintenance::InstallationReport report;
    report.lines << versionText(ProgramKind::Tarvix);
    maintenance::checkProgramFiles(report, help::helpScreens());
    checkManual(report);
    maintenance::checkDataSetFolder(report, QDir(line.dataSet.isEmpty() ? QDir::currentPath() : line.dataSet));
    return report.print(out);
}

bool enterDataSet(const QString &folder)
{
    const QDir dataSet(folder);
    QString conninfo;
    data::serverConninfo(dataSet, conninfo);  // an unreadable connection file is reported when a file opens
    const bool onServer = !conninfo.isEmpty() ||
                          !data::findFileIgnoringCase(dataSet, QString::fromLatin1(data::kServerDataSetFileName)).isEmpty();
    if (!onServer && maintenance::dataSetFilesIn(dataSet).isEmpty()) {
        const QString question = QStringLiteral("A(z) %1 mappában még nincs Tarvix adatállomány.\n"
                                                "Létrehozzam most üresen, a mintákból?")
                                     .arg(shown(folder));
        if (platform().message(nullptr, QStringLiteral("Tarvix"), question, MessageIcon::Question, MessageButtons::YesNo) != Answer::Yes)
            return false;
        if (const data::Error error = maintenance::createDataSet(QDir(paths::templatesFolder()), dataSet)) {
            platform().message(nullptr, QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical);
            return false;
        }
    }
    if (!QDir::setCurrent(folder)) {
        platform().message(nullptr, QStringLiteral("FIGYELEM!"),
                           QStringLiteral("A(z) %1 mappa nem nyitható meg adatállományként.").arg(shown(folder)), MessageIcon::Critical);
        return false;
    }
    return true;
}

}  // namespace tvx
