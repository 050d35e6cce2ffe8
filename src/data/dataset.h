#pragma once

// Where a data set lives: six database files in a folder, or a database on a
// PostgreSQL server, named by a connection string in the folder's
// `Tarvix.conninfo` (or by the --db option, which wins over the file).

#include "data/error.h"

#include <QDir>
#include <QString>

namespace tvx::data {

inline constexpr char kServerDataSetFileName[] = "Tarvix.conninfo";

// --db: the connection string every data set of this process is opened with,
// whatever its folder holds. Empty: none.
void setServerOverride(const QString &conninfo);
QString serverOverride();

// The connection string of the data set in `directory`: the override, or the
// folder's connection file (empty lines and lines starting with '#' left out,
// the rest joined by spaces). Empty for a data set of files.
Error serverConninfo(const QDir &directory, QString &conninfo);

// Writes the connection file of a server data set into `directory`.
Error writeServerConninfo(const QDir &directory, const QString &conninfo);

// Whether this build has the server engine at all.
bool serverEngineBuilt();

}  // namespace tvx::data
