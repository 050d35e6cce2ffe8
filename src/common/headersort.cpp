#include "common/headersort.h"

#include "data/datasource.h"

namespace tvx {

bool sortByHeaderClick(data::DataSource &source, const QString &field, int &clickCounter)
{
    if (!source.recordset())
        return false;
    ++clickCounter;
    if (clickCounter >= 10) {
        clickCounter = 0;
        const QString statement = source.recordset()->source();
        if (!source.closeRecordset()) {
            source.clearError();
            return false;
        }
        data::Error error;
        auto database = source.database();
        auto reopened = database ? database->openRecordset(statement, error) : nullptr;
        if (!reopened || !source.setRecordset(reopened))
            return false;
    }
    // what was typed into the record is saved first, as leaving it would
    if (!source.writePending())
        return false;
    const QString previous = source.sort();
    source.setSort(previous == field ? field + QStringLiteral(" DESC") : field);
    const QString sortText = source.sort();
    data::Error error;
    auto sorted = source.recordset()->openRecordset(error);
    if (!sorted) {
        source.setSort(previous);
        return false;
    }
    if (!source.setRecordset(sorted)) {
        source.setSort(previous);
        return false;
    }
    source.setSort(sortText);
    return true;
}

}  // namespace tvx
