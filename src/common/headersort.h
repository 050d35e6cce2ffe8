#pragma once

#include <QString>

namespace tvx::data {
class DataSource;
}

namespace tvx {

// One click on a sortable grid's column header: ascending, then descending,
// then ascending again. Every tenth click of the grid re-opens the record set
// on its statement first, so the clicked column starts ascending. False when
// the click sorted nothing (the grid keeps its order).
bool sortByHeaderClick(data::DataSource &source, const QString &field, int &clickCounter);

}  // namespace tvx
