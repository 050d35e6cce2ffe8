#pragma once

// A data set on the database server: made from the templates, or moved there
// from a folder of database files, every row kept and counted. Plain C++, no
// window.

#include "data/error.h"

#include <QDir>
#include <QString>
#include <QVector>

namespace tvx::maintenance {

struct CopiedTable {
    QString file;   // the database file the rows came from ("Tarvix.tvd")
    QString table;
    qint64 rows = 0;
};

// Makes the data set of `conninfo` from the six database files in `source`:
// a schema per file with the files' tables, and their rows, in one
// transaction. A database that already holds any schema of a data set is
// refused and left alone. `copied` receives the tables and their row counts.
data::Error copyDataSetToServer(const QDir &source, const QString &conninfo, QVector<CopiedTable> &copied);

// A new server data set from the templates; `folder` (made when missing)
// receives the connection file that names it.
data::Error createServerDataSet(const QDir &templates, const QString &conninfo, const QDir &folder, QVector<CopiedTable> &copied);

// Moves the data set of files in `folder` onto the server: copies every row,
// then leaves the connection file in the folder and puts the database files
// aside into a subfolder (`movedTo`), so that the folder names the server only.
// Refused while any program has a file of the data set open.
data::Error moveDataSetToServer(const QDir &folder, const QString &conninfo, QVector<CopiedTable> &copied, QString &movedTo);

// The counts as the commands print them, one line per table and a total.
QString copiedTablesReport(const QVector<CopiedTable> &copied);

}  // namespace tvx::maintenance
