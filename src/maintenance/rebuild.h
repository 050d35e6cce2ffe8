#pragma once

// The rebuild of the database files from their templates: each file goes into
// a dated backup folder, a fresh copy of its template takes its place, and the
// rows come back through the columns both tables have.

#include "maintenance/messages.h"
#include "data/database.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace tvx::maintenance {

// What the window shows of a run.
class RebuildObserver {
public:
    virtual ~RebuildObserver() = default;
    virtual void setRunning(bool running) = 0;  // busy flag and buttons
    virtual void setFileLine(const QString &text) = 0;
    virtual void setTableLine(const QString &text) = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual void setFileProgress(int value, int maximum) = 0;
    virtual void setTableProgress(int value, int maximum) = 0;
    // Lets the window repaint and take its events.
    virtual void letWindowUpdate() = 0;
};

// For a run without a window: shows nothing.
class SilentRebuildObserver final : public RebuildObserver {
public:
    void setRunning(bool) override {}
    void setFileLine(const QString &) override {}
    void setTableLine(const QString &) override {}
    void setStatusText(const QString &) override {}
    void setFileProgress(int, int) override {}
    void setTableProgress(int, int) override {}
    void letWindowUpdate() override {}
};

// "SAVE-YYYYMMDD-HHMMSS"
QString backupFolderName(const QDateTime &start);
// On the server the old schema itself is the backup: "save_YYYYMMDD_HHMMSS_<schema>".
QString backupSchemaName(const QDateTime &start, const QString &schema);

bool isSkippedTable(const data::TableInfo &table);
bool isAlwaysRefilled(const QString &tableName);

// "[a],[b]": the columns of the old table, in its order, that the new one also has.
QString commonColumnList(const data::TableInfo &oldTable, const data::TableInfo &newTable);

// The text of the statement that copies the rows from the backed-up file, in
// the engine's external-database form; the report quotes it. The copy itself
// runs as a built statement, so that no folder name can break it.
QString insertStatement(const QString &table, const QString &columns, const QString &workingDirectory,
                        const QString &backupPrefix, const QString &bareName);

class Rebuild {
public:
    enum class Outcome { Finished, Abandoned };

    // `workingDirectory` holds the data set; `templateDirectory` the template files.
    Rebuild(const QDir &workingDirectory, const QDir &templateDirectory, RebuildObserver &observer,
            QWidget *dialogParent = nullptr);
    ~Rebuild();

    // The file list, in order; the default is the system's five files.
    void setFiles(const QStringList &entries) { files_ = entries; }

    Outcome run();

    // Of the last run.
    QString backupFolderPath() const;
    QString reportPath() const;
    // Statements the engine rejected, and other copying steps that failed.
    int failedCopies() const { return failedCopies_; }

private:
    class Report;
    enum class Next { Continue, Abandon };

    // Where the rows of a file come back from: the backed-up file, or on the
    // server the backup schema, read in the rebuild's own session.
    struct OldFile {
        QVector<data::TableInfo> tables;
        std::function<data::Error(const QString &table, qint64 &rows)> rowCount;
        QString source;       // the copy's source (jet::InsertSelect::sourceFile)
        QString shownSource;  // the same as the report's statement names it
        const data::TableInfo *table(const QString &name) const;
    };

    Next takeUpUnfinishedRuns();
    Next checkTemplates();
    Next checkNothingInUse();
    data::Error placeTemplate(const QString &templateFile, const QString &currentPath);
    data::Error putInPlace(const QString &buildingPath, const QString &currentPath);
    QString templatePath(const QString &bareName) const;
    Next processFile(const QString &entry);
    data::Error copyTables(const OldFile &old);
    data::Error copyTable(const data::TableInfo &newTable, const OldFile &old);
    void reportTablesOnlyInOldFile(const OldFile &old);
    Outcome runOnServer(const QString &conninfo);
    data::Error putFileBack(const QString &name, const QString &backupPath, const QString &currentPath);
    Next ask(const data::Error &error);
    Next startReport(const QDateTime &start, data::Error &problem);
    void reportLine(const QString &line);
    void fileDone();
    void finish();

    QDir workingDirectory_;
    QDir templateDirectory_;
    RebuildObserver &observer_;
    QWidget *dialogParent_;
    QStringList files_;

    QString backupName_;
    QString backupPrefix_;  // backup folder name and a backslash
    std::shared_ptr<data::Database> oldDatabase_, newDatabase_;
    int fileProgress_ = 0;
    int tableProgress_ = 0;
    int failedCopies_ = 0;
    QStringList unusableTemplates_;
    QStringList inUse_;  // open in another program when the run began: left alone
    bool movedAny_ = false;
    QStringList notRebuilt_;  // left as they were (not moved, or put back), as spelled on disk
    QStringList takenUp_;     // report lines about runs cut short, written once the report exists
    std::unique_ptr<Report> report_;
};

}  // namespace tvx::maintenance
