// The rebuild of a data set on the database server. The same steps as for
// files, in one transaction: each file's schema is renamed to its backup
// schema, made anew from its template (tables, template rows, indexes), and
// the rows come back from the backup through the columns both tables have.
// A failure anywhere rolls the whole run back.

#include "maintenance/rebuild.h"

#include "maintenance/messages.h"
#include "maintenance/rebuildreport.h"
#include "common/platform.h"
#include "data/engineaccess.h"
#include "data/names.h"
#include "data/schema.h"
#include "data/servercopy.h"

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif

namespace tvx::maintenance {

using data::Database;
using data::Error;
using data::ErrorCode;
namespace report = messages::report;

#ifdef TVX_HAVE_LIBPQ

Rebuild::Outcome Rebuild::runOnServer(const QString &conninfo)
{
    // nothing of a run that cannot begin is left to decide: said, and ended
    auto stop = [&](const Error &e) {
        if (report_)
            report_->line(report::errorAbandoned(e.message));
        platform().setBusyPointer(false);
        platform().beep();
        platform().message(dialogParent_, QString(), e.message, MessageIcon::Critical, MessageButtons::Ok);
        finish();
        return Outcome::Abandoned;
    };

    const QDateTime start = platform().clock().now();
    Error problem;
    if (startReport(start, problem) == Next::Abandon) {
        finish();
        return Outcome::Abandoned;
    }
    report_->line(report::serverDataSet(backupSchemaName(start, QStringLiteral("<séma>"))));
    if (checkTemplates() == Next::Abandon) {
        finish();
        return Outcome::Abandoned;
    }

    struct File {
        QString entry;
        QString name;    // the file as users know it
        QString schema;  // empty: no file of a data set
        QString backup;
        bool exists = false;
        bool leftAlone = false;
    };
    QVector<File> files;
    for (const QString &entry : std::as_const(files_)) {
        const QString bareName = entry.mid(entry.lastIndexOf(u'\\') + 1);
        const data::DatabaseFileDef *definition = data::databaseFile(bareName);
        const QString schema = data::serverSchemaFor(bareName);
        files.push_back({entry, definition ? definition->fileName : bareName, schema, backupSchemaName(start, schema)});
    }

    Error error;
    auto session = Database::openServer(conninfo, QString(), error, Database::Access::Private);
    if (!session)
        return stop(error);
    data::Connection &connection = data::EngineAccess::connection(*session);

    // Every file this run rebuilds is its own while it runs: no Tarvix has it
    // open (each holds its files' in-use marker shared), and none opens it
    // meanwhile without being told. The sessions that hold them end with the run.
    std::vector<std::unique_ptr<data::ServerConnection>> holders;
    QStringList inUse;
    for (File &file : files) {
        if (file.schema.isEmpty() || unusableTemplates_.contains(file.entry))
            continue;
        auto holder = data::openServer(conninfo, file.name, error);
        if (!holder) {
            if (error.code != ErrorCode::FileMissing)
                return stop(error);
            continue;  // made from its template
        }
        file.exists = true;
        bool acquired = false;
        if ((error = holder->tryExclusiveUse(acquired)))
            return stop(error);
        if (!acquired) {
            inUse << file.name;
            inUse_ << file.entry;
            continue;
        }
        holders.push_back(std::move(holder));
    }
    if (!inUse.isEmpty()) {
        report_->line(report::filesInUse(inUse));
        if (ask(messages::fileInUse(inUse.join(QStringLiteral(", ")))) == Next::Abandon) {
            finish();
            return Outcome::Abandoned;
        }
    }
    // an earlier run's backup is never overwritten
    for (File &file : files) {
        if (!file.exists || inUse_.contains(file.entry))
            continue;
        bool taken = false;
        if ((error = data::serverSchemaExists(connection, file.backup, taken)))
            return stop(error);
        if (!taken)
            continue;
        file.leftAlone = true;
        if (ask(messages::alreadyInBackup(file.name, file.backup)) == Next::Abandon) {
            finish();
            return Outcome::Abandoned;
        }
    }

    newDatabase_ = session;
    Error failure = connection.beginWrite();
    for (const File &file : files) {
        if (failure)
            break;
        observer_.setFileLine(kFileLine + file.entry);
        observer_.letWindowUpdate();
        report_->line(QString());
        report_->line(file.entry);
        if (inUse_.contains(file.entry)) {
            report_->line(messages::fileInUse(file.name).message);
            notRebuilt_ << file.name;
            fileDone();
            continue;
        }
        if (unusableTemplates_.contains(file.entry) || file.schema.isEmpty()) {
            report_->line(report::templateUnusableLeftAlone());
            notRebuilt_ << file.name;
            fileDone();
            continue;
        }
        if (file.leftAlone) {
            report_->line(messages::alreadyInBackup(file.name, file.backup).message);
            notRebuilt_ << file.name;
            fileDone();
            continue;
        }

        // turning to the schema inside the transaction makes the run its writer: a
        // Tarvix in the middle of a save is waited for, and none writes meanwhile
        if (file.exists) {
            if ((failure = session->useServerFile(file.name)))
                break;
            if ((failure = connection.execute(QStringLiteral("ALTER SCHEMA %1 RENAME TO %2")
                                                  .arg(data::quoteIdentifier(file.schema), data::quoteIdentifier(file.backup)))))
                break;
            report_->line(report::backupSchema(file.backup));
        }
        const QString bareName = file.entry.mid(file.entry.lastIndexOf(u'\\') + 1);
        auto templ = Database::openPath(templatePath(bareName), error, Database::Access::Private);
        if (!templ) {
            failure = messages::templateUnusable(file.name, error);
            break;
        }
        QVector<data::CopiedTable> templateRows;
        if ((failure = data::copyFileToSchema(*templ, file.name, connection, file.schema, templateRows)))
            break;
        templ.reset();
        if ((failure = session->useServerFile(file.name)))
            break;
        if (!file.exists) {
            report_->line(report::missingSchemaMadeFromTemplate());
            fileDone();
            continue;
        }

        observer_.setStatusText(QString());
        tableProgress_ = 0;
        observer_.setTableProgress(tableProgress_, int(session->tables().size()));
        OldFile old;
        QVector<data::StoredTable> stored;
        if ((failure = connection.readCatalog(file.backup, stored)))
            break;
        for (const data::StoredTable &t : std::as_const(stored)) {
            data::TableInfo table{t.name, t.fields, t.sourceTable};
            table.index();
            old.tables << table;
        }
        old.rowCount = [&connection, backup = file.backup](const QString &table, qint64 &rows) {
            return connection.query(QStringLiteral("SELECT count(*) FROM %1").arg(data::serverDialect().qualified(backup, table)), {},
                                    [&](const data::RowReader &r) {
                                        rows = r.int64(0);
                                        return false;
                                    });
        };
        old.source = file.backup;
        old.shownSource = file.backup;
        if ((failure = copyTables(old)))
            break;
        fileDone();
    }
    if (!failure)
        failure = connection.commit();
    else
        connection.rollback();
    newDatabase_.reset();
    session.reset();
    holders.clear();

    finish();
    QString text = kEndMessage;
    MessageIcon icon = MessageIcon::Information;
    if (failure) {
        report_->line(report::serverRolledBack(failure.message));
        notRebuilt_.clear();
        for (const File &file : std::as_const(files))
            notRebuilt_ << file.name;
        text += u'\n' + messages::notRebuiltLine(notRebuilt_) + u'\n' + messages::serverRolledBackLine(failure.message) + u' ' +
                messages::detailsLine(report_->path(), report_->written());
        icon = MessageIcon::Exclamation;
    } else {
        if (!notRebuilt_.isEmpty())
            text += u'\n' + messages::notRebuiltLine(notRebuilt_);
        if (failedCopies_ > 0)
            text += u'\n' + messages::rowsLeftOutLine();
        if (!notRebuilt_.isEmpty() || failedCopies_ > 0)
            text += u' ' + messages::detailsLine(report_->path(), report_->written());
    }
    platform().message(dialogParent_, QString(), text, icon, MessageButtons::Ok);
    return Outcome::Finished;
}

#else

Rebuild::Outcome Rebuild::runOnServer(const QString &)
{
    platform().setBusyPointer(false);
    platform().beep();
    platform().message(dialogParent_, QString(), messages::noServerEngine().message, MessageIcon::Critical, MessageButtons::Ok);
    finish();
    return Outcome::Abandoned;
}

#endif

}  // namespace tvx::maintenance
