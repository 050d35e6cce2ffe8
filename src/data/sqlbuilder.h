#pragma once

// Translates parsed statements and criteria into the storage engine's SQL.
// Every value travels as a bound parameter; names are resolved without regard
// to letter case against the table's real columns first.

#include "data/dialect.h"
#include "data/error.h"
#include "data/jetsql.h"
#include "data/schema.h"

#include <QVariantList>

namespace tvx::data {

struct TableInfo {
    TableInfo() = default;
    TableInfo(QString tableName, QVector<FieldDef> tableFields, QString linkedFrom = {})
        : name(std::move(tableName)), fields(std::move(tableFields)), sourceTable(std::move(linkedFrom))
    {
        index();
    }

    QString name;
    QVector<FieldDef> fields;
    QString sourceTable;  // linked tables only

    int indexOf(const QString &fieldName) const;  // -1 when missing
    void index();                                 // call after changing `fields`

private:
    QVector<QString> folded_;
};

struct SqlText {
    QString sql;
    QVariantList params;
    Error error;
};

SqlText whereClause(const jet::ExprPtr &expr, const TableInfo &table, const Dialect &dialect);
QString columnList(const QVector<int> &columns, const TableInfo &table);

}  // namespace tvx::data
