#pragma once

#include "data/error.h"

#include <QDir>

namespace tvx::tools {

// A small Hungarian data set a newcomer can click through: a dozen partners,
// filing entries, templates, an invoice debt, attachments and two users.
tvx::data::Error fillSampleData(const QDir &dataSet);

}  // namespace tvx::tools
