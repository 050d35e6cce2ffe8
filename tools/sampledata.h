#pragma once

#include "data/error.h"

#include <QDir>

namespace tvx::tools {

// Copies the six template files into `dataSet` (which must hold none of them).
tvx::data::Error copyTemplates(const QDir &templates, const QDir &dataSet);

// A small Hungarian data set a newcomer can click through: a dozen partners,
// filing entries, templates, an invoice debt, attachments and two users.
tvx::data::Error fillSampleData(const QDir &dataSet);

}  // namespace tvx::tools
