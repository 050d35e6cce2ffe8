#pragma once

#include "data/connection.h"
#include "data/error.h"
#include "data/jetsql.h"
#include "data/sqlbuilder.h"

#include <QDir>
#include <QString>

#include <memory>

namespace tvx::data {

class Recordset;
class LockFile;
class RecordLocker;
class ServerConnection;

// One open database file. Every data source of a process that names the same
// file shares one Database; it stays open while any of them uses it.
class Database : public std::enable_shared_from_this<Database> {
public:
    // `fileName` is a bare name looked up in `directory` without regard to
    // letter case. A missing file is an error: data sources never create files.
    // A folder of a server data set (dataset.h) opens the file's schema on the server.
    static std::shared_ptr<Database> open(const QString &fileName, const QDir &directory, Error &error);
    // Shared: the way every data source opens a file, beside other programs.
    // Private: for a file no other program uses (a backup, a template): no
    // record-lock file is made beside it and nothing is added to it.
    enum class Access { Shared, Private };
    static std::shared_ptr<Database> openPath(const QString &filePath, Error &error, Access access = Access::Shared);
    // The schema that stands for `fileName` in the server data set of `conninfo`.
    // Private with an empty `fileName`: the data set's database itself, no file
    // of it yet (useServerFile()).
    static std::shared_ptr<Database> openServer(const QString &conninfo, const QString &fileName, Error &error,
                                                Access access = Access::Shared);
    // A new database file with the given tables (and no rows), opened as
    // Access::Private: no lock file is made beside it.
    static std::shared_ptr<Database> create(const QString &filePath, const DatabaseFileDef &definition, Error &error);

    ~Database();

    QString filePath() const;
    QString fileName() const;
    // The server's connection below a database of a server data set; null for a file.
    ServerConnection *server() const { return server_; }

    // A Private database of a server data set turns to another file of it,
    // in the same session (and transaction): its schema, made or not yet.
    Error useServerFile(const QString &fileName);

    // The record locks of one record set on this database.
    std::unique_ptr<RecordLocker> recordLocker();

    // Tables, in the order of the file.
    const QVector<TableInfo> &tables() const { return tables_; }
    const TableInfo *table(const QString &name) const;  // letter case ignored
    Error refreshTables();
    QStringList tableNames() const;
    Error rowCount(const QString &table, qint64 &count);

    // A dynaset on a table name or a SELECT statement.
    std::shared_ptr<Recordset> openRecordset(const QString &source, Error &error);

    // DELETE FROM …, INSERT INTO … SELECT … FROM [file].[table] (the external
    // file resolved as a path, backslashes included), or a SELECT that returns nothing.
    Error execute(const QString &statement, int *rowsAffected = nullptr);
    // The same for a statement built by the program (any file path works as
    // the external file, whatever characters its folders hold).
    Error execute(const jet::Statement &statement, int *rowsAffected = nullptr);

private:
    friend class Recordset;
    friend class WriteCheck;
    friend struct EngineAccess;
    Connection &connection() { return *connection_; }

    Database() = default;
    Error executeInsert(const struct jet::InsertSelect &insert, int *rowsAffected);

    std::unique_ptr<Connection> connection_;
    ServerConnection *server_ = nullptr;
    std::unique_ptr<LockFile> presence_;
    QVector<TableInfo> tables_;
    QString key_;
};

// Resolves a path written by the maintenance program or typed by a user: either
// separator, doubled separators, and the file name matched without regard to case.
QString resolveExternalPath(const QString &path);

}  // namespace tvx::data
