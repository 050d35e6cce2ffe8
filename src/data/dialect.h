#pragma once

// The SQL text in which the engines differ. The layer writes its statements
// with `?` parameters and asks the connection's dialect for every piece that
// is an engine's own: the key column, truth values, how text is compared and
// matched, and how a table of another file is named.

#include "data/schema.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace tvx::data {

class LikePattern;

class Dialect {
public:
    virtual ~Dialect() = default;

    // The column that holds each row's key.
    virtual QString keyColumn() const = 0;
    // A condition that holds for every row, and one that holds for none.
    virtual QString alwaysTrue() const = 0;
    virtual QString neverTrue() const = 0;

    // Text against one bound parameter, letter case ignored (accents kept).
    // `column` is a quoted column name.
    virtual QString equalText(const QString &column, bool negated) const = 0;
    // `op` is <, <=, > or >=, in Hungarian alphabetical order.
    virtual QString compareText(const QString &column, const QString &op) const = 0;

    // A `like` condition: the SQL and the values to bind, in order.
    struct Like {
        QString sql;
        QVariantList params;
    };
    // `operand` is a text column, or asText() of another one; `pattern` is
    // the one `text` compiled to.
    virtual Like like(const QString &operand, const LikePattern &pattern, const QString &text, bool negated) const = 0;
    // A column of a non-text field as the text that `like` matches: numbers
    // as written (a whole double with ".0"), yes/no as 1 and 0, dates and
    // times in ISO form.
    virtual QString asText(const QString &column, FieldType type) const = 0;

    // A table of this connection's own file (empty `qualifier`) or of the
    // file opened under `qualifier`.
    virtual QString qualified(const QString &qualifier, const QString &table) const = 0;
    // Whether INSERT … SELECT * copies whole rows between two tables alike;
    // otherwise every copy names its columns.
    virtual bool copiesWholeRows() const = 0;
    // What a copy (INSERT … SELECT) adds so that the rows keep the source's
    // record order; empty where the engine keeps it anyway.
    virtual QString copyOrder() const = 0;
};

const Dialect &fileDialect();
const Dialect &serverDialect();

// What a server data set needs beside its tables, made once per database:
// the case-blind Hungarian collation for text order and the function that
// writes a double as the file engine does.
QStringList serverSupportStatements();

}  // namespace tvx::data
