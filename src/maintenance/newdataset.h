#pragma once

// A new, empty data set made from the templates, and the check of the
// templates an installation carries. Plain C++, no window.

#include "data/error.h"

#include <QDir>
#include <QStringList>

namespace tvx::maintenance {

// The database files of a data set that lie in `folder` (letter case ignored).
QStringList dataSetFilesIn(const QDir &folder);

// Copies the six templates into `folder`, which is made when missing. A
// folder that already holds any database file of a data set is refused and
// left alone; when a copy fails, the copies made before it are taken away
// again, so a folder holds the whole data set or none of it.
data::Error createDataSet(const QDir &templates, const QDir &folder);

// What is wrong with the templates in `templates`: a missing folder, a missing
// file, a file that does not open as a database. Empty when all is well.
QList<data::Error> checkTemplates(const QDir &templates);

}  // namespace tvx::maintenance
