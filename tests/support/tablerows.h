#pragma once

// A table's rows as another screen or program sees them: read through a data
// source of their own, each field in statement order.

#include "data/datasource.h"

#include <QDir>

inline QList<QVariantList> tableRows(const QDir &dir, const QString &file, const QString &statement)
{
    tvx::data::DataSource source(file, statement, nullptr, dir);
    QList<QVariantList> rows;
    if (!source.refresh())
        return rows;
    for (bool ok = source.moveFirst(); ok && !source.eof(); ok = source.moveNext()) {
        QVariantList row;
        for (int i = 0; i < source.recordset()->fieldCount(); ++i)
            row << source.value(i);
        rows << row;
    }
    return rows;
}
