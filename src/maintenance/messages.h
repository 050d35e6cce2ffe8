#pragma once

// What Tarvfix shows and writes, in one place: the window's texts, the errors
// of a run (with their codes) and the lines of the report.

#include "data/error.h"

#include <QString>
#include <QStringList>

namespace tvx::maintenance {

inline const QString kProgramName = QStringLiteral("Tarvfix");
inline const QString kWindowTitle = QStringLiteral("TARVFIX - Adatbázis frissítése/javítása- Tarvix");
inline const QString kErrorPromptTitle = QStringLiteral("Hiba! Folytatás esetén adatsérülés lehet!");
inline const QString kContinueQuestion = QStringLiteral("Folytatja a futtatást?");
inline const QString kEndMessage = QStringLiteral("Karbantartás vége!");
inline const QString kReportFileName = QStringLiteral("Tarvfix-jelentes.txt");

inline const QString kFileLine = QStringLiteral("Adatbázis :");
inline const QString kTableLine = QStringLiteral("Tábla :");
inline const QString kCopyingRows = QStringLiteral("Adatok másolása...");
inline const QString kCopyingFile = QStringLiteral("Adatbázis másolása...");
inline const QString kPuttingBackUnfinished = QStringLiteral("Megszakadt karbantartás állományainak visszatétele...");

// Stands in a backup folder while its run goes on: a folder that still holds
// it belongs to a run that was cut short, and the next run takes it up.
inline const QString kUnfinishedMarkerName = QStringLiteral("BEFEJEZETLEN.txt");
// A rebuilt file is made under its name and this ending beside its place.
inline const QString kBuildingSuffix = QStringLiteral(".tarvfix-uj");

namespace messages {

// Errors; `name` is a file's bare name, paths are shown in native form.
data::Error backupFolderExists(const QString &folder);
data::Error backupFolderNotCreated(const QString &folder, const QString &parent);
data::Error backupFolderMissing(const QString &folder, const QString &name);
data::Error alreadyInBackup(const QString &name, const QString &target);
data::Error fileInUse(const QString &name);
data::Error journalNotMoved(const QString &name, const QString &journal);
data::Error fileNotMoved(const QString &name, const QString &target, const QString &reason);
data::Error templateFolderMissing(const QString &folder);
data::Error templateMissing(const QString &name, const QString &templatePath);
data::Error templateUnusable(const QString &name, const data::Error &cause);
// The backed-up file does not open as a database, so it cannot be rebuilt.
data::Error notRebuildable(const QString &name, const data::Error &cause);
data::Error templateWouldOverwrite(const QString &name);
data::Error templateNotCopied(const QString &name, const QString &target, const QString &reason);
data::Error savedFileMissing(const QString &name, const QString &saved);
data::Error notPutBack(const QString &name, const QString &saved, const QString &reason);
data::Error notPutInPlace(const QString &name, const QString &reason);
// Added to an error after which the file went back to its place.
QString putBackNote();
// Why nothing could be written into `folder` (`needed` bytes), as far as can
// be told: a read-only folder or medium, a full disk, or else a general fault;
// with advice, what to do before the next run.
QString writeProblem(const QString &folder, qint64 needed = 0, bool withAdvice = true);

// What the marker of an unfinished run says to a person who finds it.
QString unfinishedMarkerText();

// The end message's added lines.
QString notRebuiltLine(const QStringList &entries);
QString rowsLeftOutLine();
QString detailsLine(const QString &reportPath, bool reportWritten);
// On the server a run is one transaction: after `cause` nothing of it stays.
QString serverRolledBackLine(const QString &cause);
data::Error noServerEngine();

// The report.
namespace report {
QString header(const QString &startTime);
QString workingFolder(const QString &path);
QString templateFolder(const QString &path);
QString errorAbandoned(const QString &description);
QString errorContinued(const QString &description);
QString templateUnusableLeftAlone();
QString missingMadeFromTemplate();
QString putBack();
QString unfinishedRunPutBack(const QString &folder, const QStringList &names);
QString filesInUse(const QStringList &names);
QString onlyInTemplate(const QString &table);
QString rowCounts(const QString &table, qint64 oldRows, int copied);
QString onlyInOldTable(const QStringList &columns);
QString rejected(const QString &statement);
QString engineMessage(const QString &message);
QString templateRowsNotCounted(const QString &message);
QString noCommonColumns();
QString neverRefilled();
QString templateRowsKept(qint64 templateRows);
QString onlyInOldFile(const QString &table, qint64 rows);
QString serverDataSet(const QString &backupSchemas);
QString missingSchemaMadeFromTemplate();
QString backupSchema(const QString &schema);
QString serverRolledBack(const QString &description);
}  // namespace report

}  // namespace messages

}  // namespace tvx::maintenance
