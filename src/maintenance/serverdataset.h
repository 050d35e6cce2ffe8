#pragma once

// A data set on the database server: made from the templates, or moved there
// from a folder of database files, every row kept and counted. Plain C++, no
// window.

#include "data/error.h"
#include "data/servercopy.h"

#include <QDir>
#include <QString>
#include <QVector>

namespace tvx::maintenance {

// A new server data set from the templates; `folder` (made when missing)
// receives the connection file that names it.
data::Error createServerDataSet(const QDir &templates, const QString &conninfo, const QDir &folder, QVector<data::CopiedTable> &copied);

// Moves the data set of files in `folder` onto the server: copies every row,
// then leaves the connection file in the folder and puts the database files
// aside into a subfolder (`movedTo`), so that the folder names the server only.
// Refused while any program has a file of the data set open.
data::Error moveDataSetToServer(const QDir &folder, const QString &conninfo, QVector<data::CopiedTable> &copied, QString &movedTo);

// The counts as the commands print them, one line per table and a total.
QString copiedTablesReport(const QVector<data::CopiedTable> &copied);

}  // namespace tvx::maintenance
