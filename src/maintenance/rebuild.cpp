#include "maintenance/rebuild.h"

#include "maintenance/filemoves.h"
#include "data/names.h"
#include "common/platform.h"

#include <QFile>
#include <QFileInfo>

namespace tvx::maintenance {

using data::Database;
using data::Error;
using data::TableInfo;

QString backupFolderName(const QDateTime &start)
{
    return QStringLiteral("SAVE") + start.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
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

QString insertStatement(const QString &table, const QString &columns, const QString &workingDirectory,
                        const QString &backupPrefix, const QString &bareName)
{
    return QStringLiteral("INSERT INTO [") + table + QStringLiteral("] (") + columns + QStringLiteral(") SELECT ") + columns +
           QStringLiteral(" FROM  [") + workingDirectory + u'\\' + backupPrefix + bareName + QStringLiteral("].[") + table +
           u']';
}

// What a run did to every file and table, written as it goes so that an
// abandoned run leaves it too.
class Rebuild::Report {
public:
    explicit Report(const QString &path) : file_(path)
    {
        written_ = file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }
    void line(const QString &text)
    {
        if (!written_)
            return;
        file_.write(text.toUtf8());
        file_.write("\n");
        written_ = file_.flush();
    }
    bool written() const { return written_; }
    QString path() const { return file_.fileName(); }

private:
    QFile file_;
    bool written_ = false;
};

namespace {

QString count(qint64 rows) { return rows < 0 ? QStringLiteral("ismeretlen") : QString::number(rows); }

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
    platform().setBusyPointer(true);
    observer_.setRunning(true);
    fileProgress_ = 0;
    observer_.setFileProgress(fileProgress_, int(files_.size()));

    const QDateTime start = platform().clock().now();
    backupName_ = backupFolderName(start);
    backupPrefix_ = backupName_ + u'\\';
    QString problem;
    if (workingDirectory_.exists(backupName_))
        problem = QStringLiteral("A(z) %1 mentési mappa már létezik.").arg(backupName_);
    else if (!workingDirectory_.mkdir(backupName_))
        problem = QStringLiteral("A(z) %1 mentési mappa nem hozható létre a(z) %2 mappában.")
                      .arg(backupName_, QDir::toNativeSeparators(workingDirectory_.absolutePath()));
    report_ = std::make_unique<Report>(QDir(backupFolderPath()).filePath(kReportFileName));
    report_->line(QStringLiteral("Tarvfix karbantartás, indítva: %1").arg(start.toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss"))));
    report_->line(QStringLiteral("Munkakönyvtár: %1").arg(QDir::toNativeSeparators(workingDirectory_.absolutePath())));
    report_->line(QStringLiteral("Minták: %1").arg(QDir::toNativeSeparators(templateDirectory_.absolutePath())));
    if (!problem.isEmpty() && ask(problem) == Next::Abandon) {
        finish();
        return Outcome::Abandoned;
    }

    for (const QString &entry : files_) {
        if (processFile(entry) == Next::Abandon) {
            finish();
            return Outcome::Abandoned;
        }
    }

    finish();
    QString text = kEndMessage;
    if (failedCopies_ > 0) {
        text += QStringLiteral("\nNem minden sor került át! A részletek: %1").arg(QDir::toNativeSeparators(report_->path()));
        if (!report_->written())
            text += QStringLiteral(" (a jelentés nem írható)");
    }
    platform().message(dialogParent_, QString(), text, MessageIcon::Information, MessageButtons::Ok);
    return Outcome::Finished;
}

void Rebuild::finish()
{
    oldDatabase_.reset();
    newDatabase_.reset();
    observer_.setRunning(false);
    platform().setBusyPointer(false);
}

Rebuild::Next Rebuild::ask(const QString &description)
{
    platform().setBusyPointer(false);
    platform().beep();
    const Answer answer = platform().message(dialogParent_, kErrorPromptTitle,
                                             QStringLiteral("Tarvfix\n") + description + QStringLiteral("\nFolytatja a futtatást?"),
                                             MessageIcon::Critical, MessageButtons::YesNo);
    if (answer != Answer::Yes) {
        report_->line(QStringLiteral("HIBA: %1 A futás megszakítva.").arg(description));
        return Next::Abandon;
    }
    report_->line(QStringLiteral("HIBA: %1 A futás folytatva.").arg(description));
    platform().setBusyPointer(true);
    return Next::Continue;
}

Rebuild::Next Rebuild::processFile(const QString &entry)
{
    const QString bareName = entry.mid(entry.lastIndexOf(u'\\') + 1);
    QString relative = entry;
    relative.replace(u'\\', u'/');

    observer_.setFileLine(QStringLiteral("Adatbázis :") + entry);
    observer_.letWindowUpdate();
    report_->line(QString());
    report_->line(entry);

    // The file keeps the spelling it has on disk, in the backup and in its new form.
    const QFileInfo entryInfo(workingDirectory_.filePath(relative));
    const QString found = data::findFileIgnoringCase(entryInfo.dir(), entryInfo.fileName());
    const QString currentPath = entryInfo.dir().filePath(found.isEmpty() ? entryInfo.fileName() : found);
    const QString backupPath =
        QDir::cleanPath(backupFolderPath() + u'/' + QFileInfo(relative).path() + u'/' + QFileInfo(currentPath).fileName());

    bool moved = false;
    if (!found.isEmpty()) {
        const QString problem = moveDatabase(currentPath, backupPath);
        moved = problem.isEmpty();
        // A file that could not be saved is left as it is: the template must not overwrite it.
        if (!moved && ask(problem) == Next::Abandon)
            return Next::Abandon;
    } else {
        report_->line(QStringLiteral("  Nem volt a munkakönyvtárban; a mintából készült, sorok nélkül."));
    }

    bool copied = false;
    if (found.isEmpty() || moved) {
        const QString templateName = data::findFileIgnoringCase(templateDirectory_, bareName);
        const QString problem =
            copyTemplate(templateDirectory_.filePath(templateName.isEmpty() ? bareName : templateName), currentPath);
        copied = problem.isEmpty();
        if (!copied && ask(problem) == Next::Abandon)
            return Next::Abandon;
    }

    if (moved && copied) {
        Error error;
        oldDatabase_ = Database::openPath(backupPath, error);
        if (!oldDatabase_ && ask(error.message) == Next::Abandon)
            return Next::Abandon;
        if (oldDatabase_) {
            newDatabase_ = Database::openPath(currentPath, error);
            if (!newDatabase_ && ask(error.message) == Next::Abandon)
                return Next::Abandon;
        }
        if (oldDatabase_ && newDatabase_) {
            observer_.setStatusText(QString());
            tableProgress_ = 0;
            observer_.setTableProgress(tableProgress_, int(newDatabase_->tables().size()));
            Error refreshed = newDatabase_->refreshTables();
            if (!refreshed)
                refreshed = oldDatabase_->refreshTables();
            if (refreshed) {
                if (ask(refreshed.message) == Next::Abandon)
                    return Next::Abandon;
            } else {
                copyTables(bareName);
            }
        }
    }

    ++fileProgress_;
    observer_.setFileProgress(fileProgress_, int(files_.size()));
    observer_.setStatusText(QStringLiteral("Adatbázis másolása..."));
    observer_.letWindowUpdate();
    observer_.setStatusText(QString());
    observer_.letWindowUpdate();
    return Next::Continue;
}

// From here to the next file a failing step is skipped without a prompt; the
// report keeps what was not copied.
void Rebuild::copyTables(const QString &bareName)
{
    const QVector<TableInfo> tables = newDatabase_->tables();
    observer_.setTableProgress(tableProgress_, int(tables.size()));
    for (const TableInfo &table : tables) {
        observer_.setTableLine(QStringLiteral("Tábla :") + table.name);
        observer_.letWindowUpdate();
        if (!isSkippedTable(table)) {
            observer_.setStatusText(QStringLiteral("Adatok másolása..."));
            observer_.letWindowUpdate();
            copyTable(table, bareName);
        }
        ++tableProgress_;
        observer_.setTableProgress(tableProgress_, int(tables.size()));
    }
    reportTablesOnlyInOldFile();
}

void Rebuild::copyTable(const TableInfo &newTable, const QString &bareName)
{
    const TableInfo *oldTable = oldDatabase_->table(newTable.name);
    if (!oldTable) {
        report_->line(QStringLiteral("  %1: csak a mintában van, a minta sorai maradtak.").arg(newTable.name));
        return;
    }
    const QString columns = commonColumnList(*oldTable, newTable);
    QStringList dropped;
    for (const auto &field : oldTable->fields) {
        if (newTable.indexOf(field.name) < 0)
            dropped << u'[' + field.name + u']';
    }

    qint64 oldRows = -1;
    if (oldDatabase_->rowCount(oldTable->name, oldRows))
        oldRows = -1;

    QStringList notes;
    auto rejected = [&notes](const QString &statement, const Error &e) {
        notes << QStringLiteral("    ELUTASÍTOTT UTASÍTÁS: %1").arg(statement)
              << QStringLiteral("    Az adatbázismotor üzenete: %1").arg(e.message);
    };
    int copiedRows = 0;
    bool notCopied = false;
    auto insert = [&] {
        const QString statement = insertStatement(newTable.name, columns, QDir::toNativeSeparators(workingDirectory_.absolutePath()),
                                                  backupPrefix_, bareName);
        if (const Error e = newDatabase_->execute(statement, &copiedRows)) {
            copiedRows = 0;
            notCopied = oldRows != 0;
            rejected(statement, e);
        }
    };

    const QString lower = newTable.name.toLower();
    if (isAlwaysRefilled(newTable.name)) {
        const QString statement = QStringLiteral("DELETE FROM ") + newTable.name;
        if (const Error e = newDatabase_->execute(statement))
            rejected(statement, e);
        insert();
    } else {
        qint64 templateRows = 0;
        if (const Error e = newDatabase_->rowCount(newTable.name, templateRows)) {
            notCopied = oldRows != 0;
            notes << QStringLiteral("    A minta sorai nem számolhatók meg: %1").arg(e.message);
        } else if (templateRows == 0) {
            if (lower != u"betarolaskitarolas")
                insert();
            else if (oldRows != 0)
                notes << QStringLiteral("    Ez a tábla nem töltődik újra.");
        } else if (oldRows != 0) {
            notes << QStringLiteral("    A mintában már van %1 sor; azok maradtak, a régi sorok nem kerültek át.").arg(templateRows);
        }
    }
    if (notCopied)
        ++failedCopies_;

    report_->line(QStringLiteral("  %1: régi sorok: %2, átmásolva: %3").arg(newTable.name, count(oldRows)).arg(copiedRows));
    if (!dropped.isEmpty())
        report_->line(QStringLiteral("    Csak a régi táblában volt, értéke nem került át: %1").arg(dropped.join(QStringLiteral(", "))));
    for (const QString &note : notes)
        report_->line(note);

    observer_.setStatusText(QString());
    observer_.letWindowUpdate();
}

void Rebuild::reportTablesOnlyInOldFile()
{
    for (const TableInfo &table : oldDatabase_->tables()) {
        if (isSkippedTable(table) || newDatabase_->table(table.name))
            continue;
        qint64 rows = -1;
        if (oldDatabase_->rowCount(table.name, rows))
            rows = -1;
        report_->line(QStringLiteral("  %1: régi sorok: %2 – a mintában nincs ilyen tábla, nem került át.").arg(table.name, count(rows)));
    }
}

}  // namespace tvx::maintenance
