#pragma once

// The PostgreSQL engine of the data-source layer (built with libpq only). A
// data set is one database; each of its files is a schema of that database
// (docs/server-engine.md). A connection serves one schema: its unqualified
// table names resolve there.

#include "data/connection.h"

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
    virtual QString schema() const = 0;
};

// Connects with a libpq connection string to the schema of `fileName`. Fails
// with FileMissing when the database has no such schema.
std::unique_ptr<ServerConnection> openServer(const QString &conninfo, const QString &fileName, Error &error);

// Statements that make the schema of a database file with its tables: text
// columns under the ICU collation, the key column last.
QStringList serverCreateStatements(const DatabaseFileDef &file);

}  // namespace tvx::data
