#include "maintenance/rebuild.h"

#include "maintenance/filemoves.h"
#include "maintenance/rebuildreport.h"
#include "maintenance/messages.h"
#include "data/dataset.h"
#include "data/names.h"
#include "data/recordlock.h"
#include "common/platform.h"

#include <QFile>
#include <QFileInfo>

namespace tvx::maintenance {

using data::Database;
using data::Error;
using data::ErrorCode;
using data::TableInfo;
namespace report = messages::report;

QString backupFolderName(const QDateTime &start)
{
    return QStringLiteral("SAVE") + start.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
}

QString backupSchemaName(const QDateTime &start, const QString &schema)
{
    return QStringLiteral("save") + start.toString(QStringLiteral("_yyyyMMdd_HHmmss_")) + schema;
}

bool isSkippedTable(const TableInfo &table)
{
    static const QStringList systemTables{
        QStringLiteral("msysaces"),          QStringLiteral("msysmodules"),       QStringLiteral("msysmodules2"),
        QStringLiteral("msysobjects"),       QStringLiteral("msysqueries"),       QStringLiteral("msysrelationships"),
        QStringLiteral("msysaccessobjects"), QStringLiteral("msysimexcolumns"),   QStringLiteral("msysimexspecs"),
    };
    const QString name = table.name.toLower();
    return systemTables.contains(name) || name.startsWith(QStringLiteral("sqlite_")) || !table.sourceTable.isEmpty();
}

bool isAlwaysRefilled(const QString &tableName)
{
    static const QStringList refilled{
        QStringLiteral("users"), QStringLiteral("felhasználóreg"), QStringLiteral("bettorzs"),
        QStringLiteral("paraméter"), QStringLiteral("bevet"), QStringLiteral("kivet"),
    };
    return refilled.contains(tableName.toLower());
}

QString commonColumnList(const TableInfo &oldTable, const TableInfo &newTable)
{
    QString list;
    for (const auto &field : oldTable.fields) {
        if (newTable.indexOf(field.name) >= 0)
            list += u'[' + field.name + QStringLiteral("],");
    }
    list.chop(1);
    return list;
}

namespace {

QString insertText(const QString &table, const QString &columns, const QString &source)
{
    return QStringLiteral("INSERT INTO [") + table + QStringLiteral("] (") + columns + QStringLiteral(") SELECT ") + columns +
           QStringLiteral(" FROM  [") + source + QStringLiteral("].[") + table + u']';
}

}  // namespace

QString insertStatement(const QString &table, const QString &columns, const QString &workingDirectory,
                        const QString &backupPrefix, const QString &bareName)
{
    return insertText(table, columns, workingDirectory + u'\\' + backupPrefix + bareName);
}

namespace {

QString bareNameOf(const QString &entry) { return entry.mid(entry.lastIndexOf(u'\\') + 1); }

}  // namespace

Rebuild::Rebuild(const QDir &workingDirectory, const QDir &templateDirectory, RebuildObserver &observer, QWidget *dialogParent)
    : workingDirectory_(workingDirectory),
      templateDirectory_(templateDirectory),
      observer_(observer),
      dialogParent_(dialogParent),
      files_(data::rebuiltFileNames())
{
}

Rebuild::~Rebuild() = default;

QString Rebuild::backupFolderPath() const
{
    return backupName_.isEmpty() ? QString() : workingDirectory_.absoluteFilePath(backupName_);
}

QString Rebuild::reportPath() const { return report_ ? report_->path() : QString(); }

Rebuild::Outcome Rebuild::run()
{
    failedCopies_ = 0;
    unusableTemplates_.clear();
    inUse_.clear();
    movedAny_ = false;
    notRebuilt_.clear();
    platform().setBusyPointer(true);
    observer_.setRunning(true);
    fileProgress_ = 0;
    observer_.setFileProgress(fileProgress_, int(files_.size()));

    takenUp_.clear();
    report_.reset();  // the report of this run only, made once its folder is

    // A data set on the server is rebuilt there; the folder then only holds the report.
    QString conninfo;
    if (const Error e = data::serverConninfo(workingDirectory_, conninfo)) {
        // the folder does not tell which data set to rebuild: nothing can go on
        platform().beep();
        platform().message(dialogParent_, QString(), e.message, MessageIcon::Critical, MessageButtons::Ok);
        finish();
        return Outcome::Abandoned;
    }
    if (!conninfo.isEmpty())
        return runOnServer(conninfo);

    if (takeUpUnfinishedRuns() == Next::Abandon) {
        finish();
        return Outcome::Abandoned;
    }

    const QDateTime start = platform().clock().now();
    Error problem;
    if (startReport(start, problem) == Next::Abandon) {
        finish();
        return Outcome::Abandoned;
    }
    // Removed only when the run ends as it should: a run cut short (or one
    // abandoned with a file still away) is taken up by the next run.
    QFile marker(QDir(backupFolderPath()).filePath(kUnfinishedMarkerName));
    if (!problem && marker.open(QIODevice::WriteOnly | QIODevice::Text)) {
        marker.write(messages::unfinishedMarkerText().toUtf8());
        marker.close();
    }
    // abandoned before a file was moved: there is nothing to take up
    auto abandon = [&] {
        finish();
        if (!movedAny_)
            QFile::remove(marker.fileName());
        return Outcome::Abandoned;
    };
    if (checkTemplates() == Next::Abandon || checkNothingInUse() == Next::Abandon)
        return abandon();

    for (const QString &entry : files_) {
        if (processFile(entry) == Next::Abandon)
            return abandon();
    }

    finish();
    QFile::remove(marker.fileName());
    QString text = kEndMessage;
    if (!notRebuilt_.isEmpty())
        text += u'\n' + messages::notRebuiltLine(notRebuilt_);
    if (failedCopies_ > 0)
        text += u'\n' + messages::rowsLeftOutLine();
    if (!notRebuilt_.isEmpty() || failedCopies_ > 0)
        text += u' ' + messages::detailsLine(report_->path(), report_->written());
    platform().message(dialogParent_, QString(), text, MessageIcon::Information, MessageButtons::Ok);
    return Outcome::Finished;
}

// The run's backup folder with its report; `problem` receives why the folder
// could not be made, once the user chose to go on.
Rebuild::Next Rebuild::startReport(const QDateTime &start, Error &problem)
{
    backupName_ = backupFolderName(start);
    backupPrefix_ = backupName_ + u'\\';
    problem = {};
    if (workingDirectory_.exists(backupName_))
        problem = messages::backupFolderExists(backupName_);
    else if (!workingDirectory_.mkdir(backupName_))
        problem = messages::backupFolderNotCreated(backupName_, workingDirectory_.absolutePath());
    report_ = std::make_unique<Report>(QDir(backupFolderPath()).filePath(kReportFileName));
    report_->line(report::header(start.toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss"))));
    report_->line(report::workingFolder(workingDirectory_.absolutePath()));
    report_->line(report::templateFolder(templateDirectory_.absolutePath()));
    for (const QString &line : std::as_const(takenUp_))
        report_->line(line);
    if (problem && ask(problem) == Next::Abandon)
        return Next::Abandon;
    return Next::Continue;
}

void Rebuild::finish()
{
    oldDatabase_.reset();
    newDatabase_.reset();
    observer_.setRunning(false);
    platform().setBusyPointer(false);
}

// Every question of a run is whether to go on after an error; Enter must not
// be the answer that goes on.
Rebuild::Next Rebuild::ask(const Error &error)
{
    platform().setBusyPointer(false);
    platform().beep();
    const Answer answer = platform().message(dialogParent_, kErrorPromptTitle,
                                             kProgramName + u'\n' + error.message + u'\n' + kContinueQuestion,
                                             MessageIcon::Critical, MessageButtons::YesNoDefaultNo);
    if (answer != Answer::Yes) {
        reportLine(report::errorAbandoned(error.message));
        return Next::Abandon;
    }
    reportLine(report::errorContinued(error.message));
    platform().setBusyPointer(true);
    return Next::Continue;
}

// Before the backup folder is made (taking up a run cut short) the lines wait
// for the report.
void Rebuild::reportLine(const QString &line)
{
    if (report_)
        report_->line(line);
    else
        takenUp_ << line;
}

QString Rebuild::templatePath(const QString &bareName) const
{
    const QString found = data::findFileIgnoringCase(templateDirectory_, bareName);
    return templateDirectory_.filePath(found.isEmpty() ? bareName : found);
}

// A file is moved only when its template can take its place: every template
// must be there and open before the first file goes into the backup.
Rebuild::Next Rebuild::checkTemplates()
{
    // one question for them all, not one per file
    if (!templateDirectory_.exists()) {
        if (ask(messages::templateFolderMissing(templateDirectory_.absolutePath())) == Next::Abandon)
            return Next::Abandon;
        unusableTemplates_ = files_;
        return Next::Continue;
    }
    for (const QString &entry : files_) {
        const QString bareName = bareNameOf(entry);
        const QString path = templatePath(bareName);
        Error problem;
        if (!QFileInfo(path).isFile()) {
            problem = messages::templateMissing(bareName, path);
        } else {
            Error error;
            if (!Database::openPath(path, error, Database::Access::Private))
                problem = messages::templateUnusable(bareName, error);
        }
        if (!problem)
            continue;
        if (ask(problem) == Next::Abandon)
            return Next::Abandon;
        unusableTemplates_ << entry;
    }
    return Next::Continue;
}

// A run cut short left its backup folder marked, and perhaps a file of the
// data set in it and not yet back in its place: that file goes back before
// anything else happens, so the data set is whole again (and this run then
// rebuilds it). Files in their place are not touched: they are either not
// reached by that run or already rebuilt, and may hold new data since.
Rebuild::Next Rebuild::takeUpUnfinishedRuns()
{
    const QStringList folders = workingDirectory_.entryList({QStringLiteral("SAVE-*")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &folder : folders) {
        QDir saved(workingDirectory_.filePath(folder));
        if (!saved.exists(kUnfinishedMarkerName))
            continue;
        observer_.setStatusText(kPuttingBackUnfinished);
        observer_.letWindowUpdate();
        QStringList putBackNames;
        for (const QString &entry : std::as_const(files_)) {
            QString relative = entry;
            relative.replace(u'\\', u'/');
            const QFileInfo entryInfo(workingDirectory_.filePath(relative));
            if (!data::findFileIgnoringCase(entryInfo.dir(), entryInfo.fileName()).isEmpty())
                continue;
            const QFileInfo savedInfo(saved.filePath(relative));
            const QString savedName = data::findFileIgnoringCase(savedInfo.dir(), savedInfo.fileName());
            if (savedName.isEmpty())
                continue;
            if (const Error e = putBack(savedInfo.dir().filePath(savedName), entryInfo.dir().filePath(savedName))) {
                if (ask(e) == Next::Abandon)
                    return Next::Abandon;
                continue;
            }
            putBackNames << savedName;
        }
        // what that run was building is of no use now
        for (const QString &stale : workingDirectory_.entryList({u'*' + kBuildingSuffix + u'*'}, QDir::Files))
            workingDirectory_.remove(stale);
        saved.remove(kUnfinishedMarkerName);
        takenUp_ << report::unfinishedRunPutBack(folder, putBackNames);
        observer_.setStatusText(QString());
        observer_.letWindowUpdate();
    }
    return Next::Continue;
}

// Asked once, before anything is moved: a file another program has open
// cannot be rebuilt, and finding that out file by file would leave the data
// set half done. Going on rebuilds the other files and leaves those alone.
Rebuild::Next Rebuild::checkNothingInUse()
{
    QStringList inUse;
    for (const QString &entry : std::as_const(files_)) {
        QString relative = entry;
        relative.replace(u'\\', u'/');
        const QFileInfo entryInfo(workingDirectory_.filePath(relative));
        const QString found = data::findFileIgnoringCase(entryInfo.dir(), entryInfo.fileName());
        if (!found.isEmpty() && data::databaseInUse(entryInfo.dir().filePath(found))) {
            inUse << found;
            inUse_ << entry;
        }
    }
    if (inUse.isEmpty())
        return Next::Continue;
    report_->line(report::filesInUse(inUse));
    return ask(messages::fileInUse(inUse.join(QStringLiteral(", "))));
}

// The template is copied beside the file's place and renamed into it, so the
// place never holds half a copy.
Error Rebuild::placeTemplate(const QString &templateFile, const QString &currentPath)
{
    const QString building = currentPath + kBuildingSuffix;
    QFile::remove(building);
    if (const Error e = copyTemplate(templateFile, building))
        return e;
    return putInPlace(building, currentPath);
}

Error Rebuild::putInPlace(const QString &buildingPath, const QString &currentPath)
{
    QFile building(buildingPath);
    if (!building.rename(currentPath)) {
        qWarning("tvx: %s: %s", qPrintable(buildingPath), qPrintable(building.errorString()));
        QFile::remove(buildingPath);
        return messages::notPutInPlace(QFileInfo(currentPath).fileName(), messages::writeProblem(QFileInfo(currentPath).path()));
    }
    QFile::remove(data::LockFile::lockFilePath(buildingPath));
    return {};
}

Rebuild::Next Rebuild::processFile(const QString &entry)
{
    const QString bareName = bareNameOf(entry);
    QString relative = entry;
    relative.replace(u'\\', u'/');

    observer_.setFileLine(kFileLine + entry);
    observer_.letWindowUpdate();
    report_->line(QString());
    report_->line(entry);

    // A file keeps the spelling it has on disk, in the backup and in its new
    // form; one made anew takes the spelling of its template.
    const QFileInfo entryInfo(workingDirectory_.filePath(relative));
    const QString found = data::findFileIgnoringCase(entryInfo.dir(), entryInfo.fileName());
    const QString shownName = found.isEmpty() ? bareName : found;

    if (inUse_.contains(entry)) {
        report_->line(messages::fileInUse(shownName).message);
        notRebuilt_ << shownName;
        fileDone();
        return Next::Continue;
    }
    if (unusableTemplates_.contains(entry)) {
        report_->line(report::templateUnusableLeftAlone());
        notRebuilt_ << shownName;
        fileDone();
        return Next::Continue;
    }

    const QString templateFile = templatePath(bareName);
    const QString currentPath = entryInfo.dir().filePath(found.isEmpty() ? QFileInfo(templateFile).fileName() : found);
    const QString backupPath =
        QDir::cleanPath(backupFolderPath() + u'/' + QFileInfo(relative).path() + u'/' + QFileInfo(currentPath).fileName());

    if (found.isEmpty()) {
        report_->line(report::missingMadeFromTemplate());
        if (const Error e = placeTemplate(templateFile, currentPath); e && ask(e) == Next::Abandon)
            return Next::Abandon;
        fileDone();
        return Next::Continue;
    }

    // A file that could not be saved is left as it is: the template must not overwrite it.
    if (const Error e = moveDatabase(currentPath, backupPath)) {
        notRebuilt_ << shownName;
        if (ask(e) == Next::Abandon)
            return Next::Abandon;
        fileDone();
        return Next::Continue;
    }
    movedAny_ = true;

    // From the move on, a file whose rows cannot all come back returns to its
    // place from the backup, whatever the answer to the question after it.
    auto putBackAndAsk = [&](Error cause) {
        const Error back = putFileBack(shownName, backupPath, currentPath);
        cause.message += u' ' + (back ? back.message : messages::putBackNote());
        return ask(cause);
    };

    // The new file is made and filled beside the place and takes it only when
    // every table is in: a run cut short leaves the place empty (the file is
    // in the backup folder), never half filled.
    const QString buildingPath = currentPath + kBuildingSuffix;
    QFile::remove(buildingPath);
    if (const Error e = copyTemplate(templateFile, buildingPath, backupPath)) {
        if (putBackAndAsk(e) == Next::Abandon)
            return Next::Abandon;
        fileDone();
        return Next::Continue;
    }

    Error opened;
    oldDatabase_ = Database::openPath(backupPath, opened, Database::Access::Private);
    if (!oldDatabase_)
        opened = messages::notRebuildable(shownName, opened);
    else
        newDatabase_ = Database::openPath(buildingPath, opened);
    if (oldDatabase_ && newDatabase_) {
        observer_.setStatusText(QString());
        tableProgress_ = 0;
        observer_.setTableProgress(tableProgress_, int(newDatabase_->tables().size()));
        opened = newDatabase_->refreshTables();
        if (!opened)
            opened = oldDatabase_->refreshTables();
    }
    if (opened) {
        if (putBackAndAsk(opened) == Next::Abandon)
            return Next::Abandon;
        fileDone();
        return Next::Continue;
    }

    OldFile old;
    old.tables = oldDatabase_->tables();
    old.rowCount = [db = oldDatabase_](const QString &table, qint64 &rows) { return db->rowCount(table, rows); };
    old.source = QDir::toNativeSeparators(QFileInfo(backupPath).absoluteFilePath());
    old.shownSource = QDir::toNativeSeparators(workingDirectory_.absolutePath()) + u'\\' + backupPrefix_ + bareName;
    if (Error stop = copyTables(old)) {
        const Error back = putFileBack(shownName, backupPath, currentPath);
        if (back && ask(back) == Next::Abandon)
            return Next::Abandon;
        // a full disk or a folder that cannot be written stops the next file as well: the user decides
        if (!back && stop.code == ErrorCode::Io) {
            // the file being built is the user's file by its own name
            stop.message.replace(QFileInfo(buildingPath).fileName(), shownName);
            stop.message += u' ' + messages::putBackNote();
            if (ask(stop) == Next::Abandon)
                return Next::Abandon;
        }
    } else {
        oldDatabase_.reset();
        newDatabase_.reset();
        if (const Error e = putInPlace(buildingPath, currentPath)) {
            if (putBackAndAsk(e) == Next::Abandon)
                return Next::Abandon;
        }
    }
    fileDone();
    return Next::Continue;
}

Error Rebuild::putFileBack(const QString &name, const QString &backupPath, const QString &currentPath)
{
    // the engine lets go of both files first
    oldDatabase_.reset();
    newDatabase_.reset();
    const QString building = currentPath + kBuildingSuffix;
    QFile::remove(building);
    QFile::remove(data::LockFile::lockFilePath(building));
    const Error back = putBack(backupPath, currentPath);
    if (!back) {
        notRebuilt_ << name;
        report_->line(report::putBack());
    }
    return back;
}

void Rebuild::fileDone()
{
    ++fileProgress_;
    observer_.setFileProgress(fileProgress_, int(files_.size()));
    observer_.setStatusText(kCopyingFile);
    observer_.letWindowUpdate();
    observer_.setStatusText(QString());
    observer_.letWindowUpdate();
}

// From here to the next file a failing step is skipped without a prompt; the
// report keeps what was not copied. Only a table whose rows could not come
// back at all, for a reason other than a rule of the template, stops the file:
// its error is returned and the file goes back to its place.
const TableInfo *Rebuild::OldFile::table(const QString &name) const
{
    for (const auto &t : tables) {
        if (t.name == name)
            return &t;
    }
    for (const auto &t : tables) {
        if (data::sameName(t.name, name))
            return &t;
    }
    return nullptr;
}

Error Rebuild::copyTables(const OldFile &old)
{
    const QVector<TableInfo> tables = newDatabase_->tables();
    observer_.setTableProgress(tableProgress_, int(tables.size()));
    for (const TableInfo &table : tables) {
        observer_.setTableLine(kTableLine + table.name);
        observer_.letWindowUpdate();
        if (!isSkippedTable(table)) {
            observer_.setStatusText(kCopyingRows);
            observer_.letWindowUpdate();
            if (const Error stop = copyTable(table, old))
                return stop;
        }
        ++tableProgress_;
        observer_.setTableProgress(tableProgress_, int(tables.size()));
    }
    reportTablesOnlyInOldFile(old);
    return {};
}

Error Rebuild::copyTable(const TableInfo &newTable, const OldFile &old)
{
    const TableInfo *oldTable = old.table(newTable.name);
    if (!oldTable) {
        report_->line(report::onlyInTemplate(newTable.name));
        return {};
    }
    QStringList common, dropped;
    for (const auto &field : oldTable->fields) {
        if (newTable.indexOf(field.name) >= 0)
            common << field.name;
        else
            dropped << u'[' + field.name + u']';
    }

    // on the server a failed statement ends the transaction: nothing after it could run
    const bool allOrNothing = newDatabase_->server() != nullptr;
    qint64 oldRows = -1;
    if (const Error e = old.rowCount(oldTable->name, oldRows)) {
        if (allOrNothing)
            return e;
        oldRows = -1;
    }

    QStringList notes;
    auto rejected = [&notes](const QString &statement, const Error &e) {
        notes << report::rejected(statement) << report::engineMessage(e.message);
    };
    // A rule of the template refusing a value only costs those rows, as the
    // report shows; any other failure would lose the whole table. On the
    // server any failure ends the run's one transaction: nothing is kept.
    Error stop;
    auto stops = [&](const Error &e) { return allOrNothing || (oldRows != 0 && e.code != ErrorCode::ValueDoesNotFit); };
    int copiedRows = 0;
    bool notCopied = false;
    auto insert = [&] {
        if (common.isEmpty()) {
            notCopied = oldRows != 0;
            notes << report::noCommonColumns();
            return;
        }
        data::jet::InsertSelect copy;
        copy.table = newTable.name;
        copy.columns = common;
        copy.sourceColumns = common;
        copy.sourceFile = old.source;
        copy.sourceTable = oldTable->name;
        if (const Error e = newDatabase_->execute(data::jet::Statement(copy), &copiedRows)) {
            copiedRows = 0;
            rejected(insertText(newTable.name, commonColumnList(*oldTable, newTable), old.shownSource), e);
            if (stops(e))
                stop = e;
            else
                notCopied = oldRows != 0;
        }
    };

    if (isAlwaysRefilled(newTable.name)) {
        if (const Error e = newDatabase_->execute(data::jet::Statement(data::jet::Delete{newTable.name, {}}))) {
            rejected(QStringLiteral("DELETE FROM ") + newTable.name, e);
            if (stops(e))
                stop = e;
        }
        if (!stop)
            insert();
    } else {
        qint64 templateRows = 0;
        if (const Error e = newDatabase_->rowCount(newTable.name, templateRows)) {
            notes << report::templateRowsNotCounted(e.message);
            if (stops(e))
                stop = e;
        } else if (templateRows == 0) {
            if (newTable.name.toLower() != u"betarolaskitarolas")
                insert();
            else if (oldRows != 0)
                notes << report::neverRefilled();
        } else if (oldRows != 0) {
            notes << report::templateRowsKept(templateRows);
        }
    }
    if (notCopied)
        ++failedCopies_;

    report_->line(report::rowCounts(newTable.name, oldRows, copiedRows));
    if (!dropped.isEmpty())
        report_->line(report::onlyInOldTable(dropped));
    for (const QString &note : notes)
        report_->line(note);

    observer_.setStatusText(QString());
    observer_.letWindowUpdate();
    return stop;
}

void Rebuild::reportTablesOnlyInOldFile(const OldFile &old)
{
    for (const TableInfo &table : old.tables) {
        if (isSkippedTable(table) || newDatabase_->table(table.name))
            continue;
        qint64 rows = -1;
        if (old.rowCount(table.name, rows))
            rows = -1;
        report_->line(report::onlyInOldFile(table.name, rows));
    }
}

}  // namespace tvx::maintenance
