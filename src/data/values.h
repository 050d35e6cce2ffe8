#pragma once

#include "data/error.h"
#include "data/schema.h"

#include <QVariant>

#include <optional>

namespace tvx::data {

// The value a field shows: QString for text, QDate, QTime, bool, int for the
// integers, double; null as an invalid QVariant.
QVariant fromStorage(const FieldDef &field, const QVariant &stored);

// The value a field stores, or an error when it does not fit the field. Text
// typed into number and date fields is read as Hungarian users write it
// ("12,5", "2024.03.07."); empty text in such a field means null.
struct StoredValue {
    QVariant value;
    Error error;
};
StoredValue toStorage(const FieldDef &field, const QVariant &value);

// Numbers and dates as typed on screen.
std::optional<double> parseNumber(const QString &text);
std::optional<QDate> parseDate(const QString &text);

}  // namespace tvx::data
