#pragma once

// The storage engine as the data-source layer sees it: the SQLite engine, and
// with libpq the PostgreSQL one (pgconnection.h), which is not wired into the
// layer yet (docs/server-engine.md).

#include "data/dialect.h"
#include "data/error.h"
#include "data/schema.h"

#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

namespace tvx::data {

class RowReader {
public:
    virtual ~RowReader() = default;
    virtual int columnCount() const = 0;
    virtual bool isNull(int column) const = 0;
    virtual qint64 int64(int column) const = 0;
    virtual QVariant value(int column) const = 0;  // QString, qint64, double or null
};

struct StoredTable {
    QString name;
    QVector<FieldDef> fields;
    QString sourceTable;  // non-empty for a table linked from elsewhere
};

class Connection {
public:
    virtual ~Connection() = default;

    virtual QString filePath() const = 0;
    // The engine's own SQL text, for the statements the layer writes.
    virtual const Dialect &dialect() const = 0;
    // One statement; `changes` receives the number of rows written.
    virtual Error execute(const QString &sql, const QVariantList &params = {}, int *changes = nullptr) = 0;
    // Calls `row` for each result row until it returns false.
    virtual Error query(const QString &sql, const QVariantList &params, const std::function<bool(const RowReader &)> &row) = 0;
    virtual Error beginWrite() = 0;  // waits for other writers for a short while
    virtual Error commit() = 0;
    virtual void rollback() = 0;
    virtual qint64 lastInsertKey() const = 0;
    virtual Error readCatalog(QVector<StoredTable> &tables) = 0;
    // Another database for the statements of this connection: a file (any
    // path, resolveExternalPath()) attached on SQLite; on the server a file of
    // the data set or a schema by its name (a rebuild's backup). `source`
    // receives the qualifier its tables are named with (dialect().qualified())
    // and the name messages give it; closeSource() lets go of it.
    struct Source {
        QString qualifier;
        QString name;
    };
    virtual Error openSource(const QString &fileOrPath, Source &source) = 0;
    virtual void closeSource(const Source &source) = 0;
    virtual Error readCatalog(const QString &qualifier, QVector<StoredTable> &tables) = 0;

    // Row keys that are never handed out twice in a table, not even after its
    // last row was deleted, whoever writes the file (another program or a plain
    // SQLite tool): a record set never meets another row under a deleted row's
    // key. Sets up what the file needs when it lacks it; the tables themselves
    // stay exactly as they are. Fails on a file that cannot be written.
    virtual Error ensureStableKeys(const QStringList &tables) = 0;
    // Inside a write: one new row; `key` receives its key.
    virtual Error insertRow(const QString &table, const QStringList &columns, const QVariantList &values, qint64 &key) = 0;
    // INSERT … SELECT into `table` of this file, as one transaction, in the
    // engine's fastest way, with the copied rows' keys beyond any key used before.
    virtual Error insertSelect(const QString &table, const QString &sql, const QVariantList &params, int *changes) = 0;

protected:
    // The end of a write that began with beginWrite(): committed when `e` is
    // no failure, rolled back otherwise (also when the commit fails).
    Error commitOrRollback(Error e)
    {
        if (!e)
            e = commit();
        if (e)
            rollback();
        return e;
    }
};

// Tables of the engine's own and of the layer's (never a table of the data set).
bool isInternalTable(const QString &name);

// How long an engine call waits for another program that is writing the same
// file before it fails with ErrorCode::Busy; for connections opened afterwards.
void setBusyTimeout(int milliseconds);
int busyTimeout();

// Opens an existing database file for reading and writing; never creates one.
std::unique_ptr<Connection> openSqlite(const QString &filePath, Error &error);
// Creates a new, empty database file (fails when the file exists).
std::unique_ptr<Connection> createSqlite(const QString &filePath, Error &error);

}  // namespace tvx::data
