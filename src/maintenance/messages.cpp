#include "maintenance/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tvx::maintenance::messages {

using data::Error;
using data::ErrorCode;

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

QString count(qint64 rows) { return rows < 0 ? QStringLiteral("ismeretlen") : QString::number(rows); }

}  // namespace

Error backupFolderExists(const QString &folder)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 mentési mappa már létezik.").arg(folder)};
}

QString writeProblem(const QString &folder, qint64 needed, bool withAdvice)
{
    const QString again = withAdvice ? QStringLiteral(", majd futtassa újra a karbantartást!") : QStringLiteral(".");
    const QFileInfo info(folder);
    const QStorageInfo storage(info.absoluteFilePath());
    if ((info.exists() && !info.isWritable()) || (storage.isValid() && storage.isReadOnly()))
        return QStringLiteral("a(z) %1 mappa csak olvasható. Kérjen írási jogot a rendszergazdától%2").arg(shown(info.absoluteFilePath()), again);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() <= qMax<qint64>(needed, 64 * 1024))
        return QStringLiteral("megtelt a lemez. Szabadítson fel helyet%1").arg(again);
    return QStringLiteral("a lemez vagy a mappa írása nem sikerült (lemez- vagy jogosultsági hiba).");
}

Error backupFolderNotCreated(const QString &folder, const QString &parent)
{
    return {ErrorCode::Io,
            QStringLiteral("A(z) %1 mentési mappa nem hozható létre a(z) %2 mappában: %3").arg(folder, shown(parent), writeProblem(parent))};
}

Error backupFolderMissing(const QString &folder, const QString &name)
{
    return {ErrorCode::FileMissing,
            QStringLiteral("A(z) %1 mentési mappa nem létezik, ezért a(z) %2 állomány nem helyezhető át.").arg(shown(folder), name)};
}

Error alreadyInBackup(const QString &name, const QString &target)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány már megvan a mentésben (%2), ezért nem helyezhető át.").arg(name, shown(target))};
}

Error notPutInPlace(const QString &name, const QString &reason)
{
    return {ErrorCode::Io, QStringLiteral("Az újraépített %1 állomány nem tehető a helyére: %2").arg(name, reason)};
}

QString unfinishedMarkerText()
{
    return QStringLiteral("Ebből a mentésből a Tarvfix futása nem fejeződött be.\n"
                          "A Tarvfix következő futása visszateszi az adatmappába azokat az állományokat, amelyek onnan hiányoznak.\n"
                          "Kézzel: másolja vissza az itt lévő .tvd állományokat az adatmappába.\n");
}

Error fileInUse(const QString &name)
{
    return {ErrorCode::Busy, QStringLiteral("A(z) %1 állományt egy másik program használja (nyitva tartja), ezért nem helyezhető át. "
                                            "Zárja be a Tarvix programot, és futtassa újra a karbantartást!")
                                 .arg(name)};
}

Error journalNotMoved(const QString &name, const QString &journal)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány naplója (%2) nem helyezhető át a mentésbe.").arg(name, shown(journal))};
}

Error fileNotMoved(const QString &name, const QString &target, const QString &reason)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem helyezhető át a mentésbe (%2): %3").arg(name, shown(target), reason)};
}

namespace {

QString restoreTemplate(const QString &name)
{
    return QStringLiteral("Másolja vissza a mintát a program Data mappájába, vagy telepítse újra a programot! "
                          "Folytatás esetén a(z) %1 állomány változatlanul a helyén marad.")
        .arg(name);
}

}  // namespace

Error templateFolderMissing(const QString &folder)
{
    return {ErrorCode::FileMissing, QStringLiteral("Nem található a minták mappája: %1\nTelepítse újra a programot! "
                                                   "Folytatás esetén minden állomány változatlanul a helyén marad.")
                                        .arg(shown(folder))};
}

Error templateMissing(const QString &name, const QString &templatePath)
{
    return {ErrorCode::FileMissing,
            QStringLiteral("Nem található a(z) %1 mintaállomány: %2\n%3").arg(name, shown(templatePath), restoreTemplate(name))};
}

Error templateUnusable(const QString &name, const Error &cause)
{
    // what the data layer says of a damaged data set file is no advice for a template
    const QString why = cause.code == ErrorCode::NotADatabase ? QStringLiteral("sérült, vagy nem adatbázis.") : cause.message;
    return {cause.code, QStringLiteral("A(z) %1 mintaállomány nem nyitható meg: %2\n%3").arg(name, why, restoreTemplate(name))};
}

Error notRebuildable(const QString &name, const Error &cause)
{
    if (cause.code != ErrorCode::NotADatabase)
        return cause;
    return {cause.code, QStringLiteral("A(z) %1 állomány nem olvasható adatbázis (sérült, vagy nem adatbázis), ezért nem építhető újra. "
                                       "Ha van róla korábbi mentés (SAVE mappa), onnan állítsa vissza!")
                            .arg(name)};
}

Error templateWouldOverwrite(const QString &name)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nincs a mentésben, ezért a minta nem írhatja felül.").arg(name)};
}

Error templateNotCopied(const QString &name, const QString &target, const QString &reason)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 minta nem másolható a helyére (%2): %3").arg(name, shown(target), reason)};
}

Error savedFileMissing(const QString &name, const QString &saved)
{
    return {ErrorCode::FileMissing, QStringLiteral("A(z) %1 állomány nem található a mentésben: %2").arg(name, shown(saved))};
}

Error notPutBack(const QString &name, const QString &saved, const QString &reason)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány eredeti példánya nem tehető vissza a helyére a mentésből: %2 "
                                          "Az eredeti példány megvan a mentésben (%3): ha már van hely, másolja vissza kézzel, "
                                          "mielőtt a Tarvixot elindítja!")
                               .arg(name, reason, shown(saved))};
}

QString putBackNote() { return QStringLiteral("Az eredeti állomány visszakerült a helyére."); }

QString notRebuiltLine(const QStringList &entries)
{
    return QStringLiteral("Nem épült újra, eredeti állapotában maradt: %1.").arg(entries.join(QStringLiteral(", ")));
}

QString rowsLeftOutLine() { return QStringLiteral("Nem minden sor került át!"); }

QString detailsLine(const QString &reportPath, bool reportWritten)
{
    QString line = QStringLiteral("A részletek: %1").arg(shown(reportPath));
    if (!reportWritten)
        line += QStringLiteral(" (a jelentés nem írható)");
    return line;
}

QString serverRolledBackLine(const QString &cause)
{
    return QStringLiteral("%1 A kiszolgálón a karbantartás csak egészében mehet végbe, ezért minden változtatása visszavonva: "
                          "az adatok az eredeti állapotukban maradtak.")
        .arg(cause);
}

Error noServerEngine()
{
    return {ErrorCode::Io, QStringLiteral("Az adatállomány adatbázis-kiszolgálón van, de ez a program kiszolgáló nélkül készült "
                                          "(PostgreSQL ügyfélkönyvtár nélkül).")};
}

namespace report {

QString header(const QString &startTime) { return QStringLiteral("Tarvfix karbantartás, indítva: %1").arg(startTime); }
QString workingFolder(const QString &path) { return QStringLiteral("Munkakönyvtár: %1").arg(shown(path)); }
QString templateFolder(const QString &path) { return QStringLiteral("Minták: %1").arg(shown(path)); }
QString errorAbandoned(const QString &description) { return QStringLiteral("HIBA: %1 A futás megszakítva.").arg(description); }
QString errorContinued(const QString &description) { return QStringLiteral("HIBA: %1 A futás folytatva.").arg(description); }

QString templateUnusableLeftAlone()
{
    return QStringLiteral("  A mintája nem használható, ezért az állomány érintetlenül a helyén maradt.");
}

QString missingMadeFromTemplate() { return QStringLiteral("  Nem volt a munkakönyvtárban; a mintából készült, sorok nélkül."); }

QString unfinishedRunPutBack(const QString &folder, const QStringList &names)
{
    return names.isEmpty() ? QStringLiteral("A(z) %1 mentés futása megszakadt; minden állománya a helyén volt.").arg(folder)
                           : QStringLiteral("A(z) %1 mentés futása megszakadt; visszatéve onnan: %2").arg(folder, names.join(QStringLiteral(", ")));
}

QString filesInUse(const QStringList &names)
{
    return QStringLiteral("Más program által használt állományok: %1").arg(names.join(QStringLiteral(", ")));
}

QString putBack()
{
    return QStringLiteral("  Az eredeti állomány visszakerült a helyére a mentésből; további táblái nem kerültek feldolgozásra.");
}

QString onlyInTemplate(const QString &table) { return QStringLiteral("  %1: csak a mintában van, a minta sorai maradtak.").arg(table); }

QString rowCounts(const QString &table, qint64 oldRows, int copied)
{
    return QStringLiteral("  %1: régi sorok: %2, átmásolva: %3").arg(table, count(oldRows)).arg(copied);
}

QString onlyInOldTable(const QStringList &columns)
{
    return QStringLiteral("    Csak a régi táblában volt, értéke nem került át: %1").arg(columns.join(QStringLiteral(", ")));
}

QString rejected(const QString &statement) { return QStringLiteral("    ELUTASÍTOTT UTASÍTÁS: %1").arg(statement); }
QString engineMessage(const QString &message) { return QStringLiteral("    Az adatbázismotor üzenete: %1").arg(message); }
QString templateRowsNotCounted(const QString &message) { return QStringLiteral("    A minta sorai nem számolhatók meg: %1").arg(message); }
QString noCommonColumns() { return QStringLiteral("    A mintában nincs egyetlen közös oszlopa sem, ezért sorai nem kerültek át."); }
QString neverRefilled() { return QStringLiteral("    Ez a tábla nem töltődik újra."); }

QString templateRowsKept(qint64 templateRows)
{
    return QStringLiteral("    A mintában már van %1 sor; azok maradtak, a régi sorok nem kerültek át.").arg(templateRows);
}

QString onlyInOldFile(const QString &table, qint64 rows)
{
    return QStringLiteral("  %1: régi sorok: %2 – a mintában nincs ilyen tábla, nem került át.").arg(table, count(rows));
}

QString serverDataSet(const QString &backupSchemas)
{
    return QStringLiteral("Az adatállomány adatbázis-kiszolgálón van; a régi sémák mentése: %1. "
                          "A futás egyetlen tranzakció: egy hiba minden változtatását visszavonja.")
        .arg(backupSchemas);
}

QString missingSchemaMadeFromTemplate() { return QStringLiteral("  Nem volt a kiszolgálón; a mintából készült."); }
QString backupSchema(const QString &schema) { return QStringLiteral("  A régi séma mentése: %1").arg(schema); }

QString serverRolledBack(const QString &description)
{
    return QStringLiteral("HIBA: %1 A kiszolgálón a futás minden változtatása visszavonva, minden séma az eredeti állapotában maradt.")
        .arg(description);
}

}  // namespace report

}  // namespace tvx::maintenance::messages
