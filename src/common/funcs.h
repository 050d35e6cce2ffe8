#pragma once

#include <QVariant>

// Null-safe conversions used by every screen that reads fields.
namespace Funcs {

// null → 0; a number or numeric text → that number (a double); any other
// value → the empty result (an invalid QVariant), which reads as 0 in numeric
// use and as empty text in text use.
QVariant NullToZero(const QVariant &value);

// null → empty text; any other value → the value as text.
QString NullToEmpty(const QVariant &value);

}  // namespace Funcs
