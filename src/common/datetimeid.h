#pragma once

#include "common/clock.h"

#include <QLocale>
#include <QString>

namespace tvx {

// The identifier of a new filing entry: year, month and day without leading
// zeros, then the seconds since midnight as a single-precision number in its
// shortest form with the locale's decimal separator: 7 March 2024 at
// 12:35:08.5 gives "202437" + "45308,5". Nothing makes it unique.
QString dateTimeIdentifier(const QDateTime &at, const QLocale &locale = QLocale());
QString dateTimeIdentifier(const Clock &clock, const QLocale &locale = QLocale());

}  // namespace tvx
