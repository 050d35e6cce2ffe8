#pragma once

// The PostgreSQL engine of the data-source layer (built with libpq only). A
// data set is one database; each of its files is a schema of that database
// (docs/server-engine.md). A connection serves one schema: its unqualified
// table names resolve there.

#include "data/connection.h"
#include "data/recordlock.h"

namespace tvx::data {

// The key column every server table has last, which the catalog never shows.
inline constexpr char kServerKeyColumn[] = "tvx_id";

// The schema that stands for a database file of the data set ("regiszt.tvd",
// any letter case: "regiszt"); empty for a name that is none of them.
QString serverSchemaFor(const QString &fileName);

class ServerConnection : public Connection {
public:
    // Advances each time the session to the server is made anew after it was
    // lost: whatever the server held for the former session (its locks) is gone.
    virtual quint64 sessionGeneration() const = 0;
    virtual bool isConnected() const = 0;
    // Connected, outside any transaction, reading nothing: fit to serve a later open.
    virtual bool isIdle() const = 0;
    virtual QString schema() const = 0;
    // Turns this session to the schema of another file of the data set, made
    // or not: the maintenance program rebuilds every file in one transaction,
    // which is one session.
    virtual Error useSchemaOf(const QString &fileName) = 0;

    // The in-use marker: held shared by every program that has the file open
    // (taken again whenever the session is made anew), exclusively by the
    // maintenance program, which must have the file to itself.
    virtual Error holdInUse() = 0;
    virtual void releaseInUse() = 0;
    virtual Error tryExclusiveUse(bool &acquired) = 0;
    virtual void releaseExclusiveUse() = 0;
    // Record locks on this schema's rows; the server drops them with the
    // session, so a lock that was lost fails the write it guarded.
    virtual std::unique_ptr<RecordLocker> recordLocker() = 0;
};

// Connects with a libpq connection string to the schema of `fileName`. Fails
// with FileMissing when the database has no such schema. An empty `fileName`
// connects to the database itself, for the statements that make schemas.
std::unique_ptr<ServerConnection> openServer(const QString &conninfo, const QString &fileName, Error &error);

// Statements that make the schema of a database file with its tables: text
// columns under the ICU collation, the key column last.
QStringList serverCreateStatements(const DatabaseFileDef &file);
// The same under another schema name (a rebuild's new schema).
QStringList serverCreateStatements(const DatabaseFileDef &file, const QString &schema);

// Whether the database of `connection` holds schema `schema`.
Error serverSchemaExists(Connection &connection, const QString &schema, bool &exists);

// Whether another program has the file of `fileName` open on the server.
Error serverFileInUse(const QString &conninfo, const QString &fileName, bool &inUse);

}  // namespace tvx::data
