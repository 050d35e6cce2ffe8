#pragma once

// The SQL dialect and find syntax that screens write: parsed into a small tree
// that the storage engine layer translates, so no user text ever reaches the
// engine as statement text.

#include "data/error.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <optional>
#include <variant>

namespace tvx::data::jet {

struct Literal {
    enum Kind { Null, Text, Number, Date, Boolean } kind = Null;
    QVariant value;  // QString, double, QDate / QDateTime, bool
    QString written;  // a number as written, sign included (a LIKE pattern uses it)
};

enum class CompareOp { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

struct Expr;
using ExprPtr = std::shared_ptr<const Expr>;

struct Expr {
    enum Kind { Compare, Like, IsNull, And, Or, Not } kind = Compare;
    QString field;         // Compare, Like, IsNull
    CompareOp op = CompareOp::Equal;
    Literal value;         // Compare, Like (the pattern is text)
    bool negated = false;  // NOT LIKE, IS NOT NULL
    // And, Or: every operand of one chain (a and b and c is one node with three,
    // so long chains are neither deep nor recursive); Not: its one operand.
    QVector<ExprPtr> operands;
};

// How deeply brackets and NOT may nest in a criteria text or a WHERE clause,
// and how many comparisons it may hold (the engine's work grows with their square).
inline constexpr int kMaxNesting = 20;
inline constexpr int kMaxComparisons = 5000;

struct OrderItem {
    QString field;
    bool descending = false;
    bool operator==(const OrderItem &) const = default;
};

struct Select {
    QStringList columns;  // empty: every column (*)
    QString table;
    ExprPtr where;
    QVector<OrderItem> orderBy;
};

struct Delete {
    QString table;
    ExprPtr where;
};

struct InsertSelect {
    QString table;
    QStringList columns;  // empty: every column
    QStringList sourceColumns;
    QString sourceFile;  // the external database of [file].[table]; empty for the same file
    QString sourceTable;
    ExprPtr where;
};

using Statement = std::variant<Select, Delete, InsertSelect>;

template <typename T>
struct Parsed {
    std::optional<T> value;
    Error error;  // BadStatement, with a Hungarian message for the user
    explicit operator bool() const { return value.has_value(); }
};

// A record source is a table name or a SELECT statement.
Parsed<Select> parseRecordSource(const QString &text);
Parsed<Statement> parseStatement(const QString &text);
Parsed<ExprPtr> parseCriteria(const QString &text);
// The sort text of a record set: "Field [ASC|DESC], ..."
Parsed<QVector<OrderItem>> parseSortText(const QString &text);
QString sortText(const QVector<OrderItem> &items);

// A value written as a literal between `quote` characters (' in statements,
// " in find criteria), with that quote doubled inside. Wildcards are kept.
QString quoted(const QString &value, QChar quote = u'\'');
// A `like` pattern that matches exactly `value`: its wildcards (* ? # [) are
// written as one-character lists, so they stand for themselves.
QString likeLiteral(const QString &value);

}  // namespace tvx::data::jet
