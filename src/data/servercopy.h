#pragma once

// Copying a data set of files onto the database server, every row kept and
// counted: how a server data set is made from the templates, and how a
// folder's data set moves there.

#include "data/error.h"
#include "data/sqlbuilder.h"

#include <QDir>
#include <QString>
#include <QVector>

namespace tvx::data {

struct CopiedTable {
    QString file;   // the database file the rows came from ("Tarvix.tvd")
    QString table;
    qint64 rows = 0;
};

// Makes the data set of `conninfo` from the six database files in `source`:
// a schema per file with the files' tables, and their rows, in one
// transaction. A database that already holds any schema of a data set is
// refused and left alone. `copied` receives the tables and their row counts.
Error copyDataSetToServer(const QDir &source, const QString &conninfo, QVector<CopiedTable> &copied);

class Connection;
class Database;

// The indexes every schema of a server data set gets for the searches of the
// screens, on the tables `tables` of the file `fileName` as schema `schema`.
QStringList serverIndexStatements(const QString &fileName, const QString &schema, const QVector<TableInfo> &tables);

// Makes schema `schema` on `server` with the tables and rows of the database
// file `source` (of the data set's `fileName`) and the indexes above, inside
// the caller's transaction; `copied` receives the tables and their row counts.
// Server builds only.
Error copyFileToSchema(Database &source, const QString &fileName, Connection &server, const QString &schema, QVector<CopiedTable> &copied);

}  // namespace tvx::data
