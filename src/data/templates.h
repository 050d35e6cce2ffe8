#pragma once

#include "data/error.h"

#include <QDir>

namespace tvx::data {

// Writes the six empty database files of a data set into `directory`, with
// the rows every data set needs (country codes, the operator record).
// Existing files are left alone and reported as an error.
Error createDataSetFiles(const QDir &directory);

}  // namespace tvx::data
