#pragma once

#include "data/error.h"

#include <QDir>

namespace tvx::data {

// Writes the six empty database files of a data set into `directory`, with
// the rows every data set needs (country codes, the operator record).
// Existing files are left alone and reported as an error. A folder that
// names a server data set (dataset.h) gets the same tables and rows on the
// server; a database that already holds a data set is refused.
Error createDataSetFiles(const QDir &directory);

}  // namespace tvx::data
