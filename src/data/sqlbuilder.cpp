#include "data/sqlbuilder.h"

#include "data/messages.h"
#include "data/names.h"
#include "data/textmatch.h"
#include "data/values.h"

#include <QDate>

#include <cmath>

namespace tvx::data {

int TableInfo::indexOf(const QString &fieldName) const
{
    if (folded_.size() != fields.size())
        const_cast<TableInfo *>(this)->index();
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name == fieldName)
            return i;
    }
    const QString wanted = foldCase(fieldName);
    for (int i = 0; i < folded_.size(); ++i) {
        if (folded_[i] == wanted)
            return i;
    }
    return -1;
}

void TableInfo::index()
{
    folded_.clear();
    for (const auto &f : fields)
        folded_ << foldCase(f.name);
}

namespace {

using namespace jet;

Error mismatch(const FieldDef &field, const Literal &literal)
{
    return {ErrorCode::BadStatement, QStringLiteral("Adattípus-eltérés a feltételben: a(z) „%1” mező (%2) nem hasonlítható a(z) „%3” értékhez.")
                                         .arg(field.name, fieldTypeName(field.type), literal.value.toString())};
}

const char *sqlOperator(CompareOp op)
{
    switch (op) {
    case CompareOp::Equal: return "=";
    case CompareOp::NotEqual: return "<>";
    case CompareOp::Less: return "<";
    case CompareOp::LessOrEqual: return "<=";
    case CompareOp::Greater: return ">";
    case CompareOp::GreaterOrEqual: return ">=";
    }
    return "=";
}

QString literalText(const Literal &l)
{
    if (l.kind == Literal::Date)
        return l.value.toDate().toString(Qt::ISODate);
    if (l.kind == Literal::Number) {
        const double d = l.value.toDouble();
        // whole numbers without an exponent, as far as 64 bits hold them exactly
        if (std::abs(d) < 9.0e15 && d == std::trunc(d))
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    if (l.kind == Literal::Boolean)
        return l.value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return l.value.toString();
}

// SQLite's parser gives up after about 30 nested brackets, and its expression
// trees are limited in height; chains are written in groups of this many.
constexpr int kChainGroup = 64;
constexpr int kMaxSqlNesting = 28;

struct Builder {
    const TableInfo &table;
    const Dialect &dialect;
    QString &sql;
    QVariantList &params;
    Error &error;
    int nesting = 0;

    bool open()
    {
        if (++nesting > kMaxSqlNesting) {
            error = messages::tooDeep(jet::kMaxNesting);
            return false;
        }
        sql += u'(';
        return true;
    }
    void close()
    {
        sql += u')';
        --nesting;
    }

    // operands [first, last) of a chain, in groups so the engine's tree stays low
    bool chain(const Expr &e, qsizetype first, qsizetype last)
    {
        const qsizetype count = last - first;
        const QString glue = e.kind == Expr::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        if (!open())
            return false;
        if (count <= kChainGroup) {
            for (qsizetype i = first; i < last; ++i) {
                if (i > first)
                    sql += glue;
                if (!build(e.operands[i]))
                    return false;
            }
        } else {
            qsizetype size = kChainGroup;
            while (size * kChainGroup < count)
                size *= kChainGroup;
            for (qsizetype start = first; start < last; start += size) {
                if (start > first)
                    sql += glue;
                if (!chain(e, start, qMin(last, start + size)))
                    return false;
            }
        }
        close();
        return true;
    }

    bool build(const ExprPtr &node)
    {
        const Expr *e = node.get();
        switch (e->kind) {
        case Expr::And:
        case Expr::Or: return chain(*e, 0, e->operands.size());
        case Expr::Not: {
            // NOT NOT x is x, in three-valued logic too
            bool negate = false;
            while (e->kind == Expr::Not) {
                negate = !negate;
                e = e->operands.first().get();
            }
            if (!negate)
                return build(std::shared_ptr<const Expr>(node, e));
            sql += QStringLiteral("NOT ");
            if (!open() || !build(std::shared_ptr<const Expr>(node, e)))
                return false;
            close();
            return true;
        }
        default: return comparison(*e);
        }
    }

    bool comparison(const Expr &expr);
};

bool Builder::comparison(const Expr &expr)
{
    const Expr *e = &expr;
    const int index = table.indexOf(e->field);
    if (index < 0) {
        error = messages::noSuchField(table.name, e->field);
        return false;
    }
    const FieldDef &field = table.fields[index];
    const QString column = quoteIdentifier(field.name);

    if (e->kind == Expr::IsNull) {
        sql += column + (e->negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        return true;
    }
    if (e->kind == Expr::Like) {
        const bool textual = field.type == FieldType::Text || field.type == FieldType::Memo;
        const QString pattern = literalText(e->value);
        // refused here, whether or not the table has a row to try it on
        const auto compiled = LikePattern::compile(pattern);
        if (!compiled) {
            error = messages::badLikePattern(pattern);
            return false;
        }
        const Dialect::Like like = dialect.like(textual ? column : dialect.asText(column, field.type), *compiled, pattern, e->negated);
        sql += like.sql;
        params += like.params;
        return true;
    }

    // a comparison with a value
    const Literal &l = e->value;
    if (l.kind == Literal::Null) {
        // Comparing with null is never true.
        sql += dialect.neverTrue();
        return true;
    }
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
        switch (e->op) {
        case CompareOp::Equal:
        case CompareOp::NotEqual: sql += dialect.equalText(column, e->op == CompareOp::NotEqual); break;
        default: sql += dialect.compareText(column, QLatin1String(sqlOperator(e->op))); break;
        }
        params << literalText(l);
        return true;
    default: break;
    }

    QVariant value;
    switch (field.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::Double:
        if (l.kind == Literal::Number)
            value = l.value.toDouble();
        else if (l.kind == Literal::Boolean)
            value = l.value.toBool() ? -1 : 0;
        else if (const auto n = l.kind == Literal::Text ? parseNumber(l.value.toString()) : std::nullopt)
            value = *n;
        break;
    case FieldType::YesNo:
        if (l.kind == Literal::Boolean || l.kind == Literal::Number)
            value = l.value.toDouble() != 0 || (l.kind == Literal::Boolean && l.value.toBool()) ? 1 : 0;
        else if (l.kind == Literal::Text)
            value = toStorage(field, l.value).value;
        break;
    case FieldType::Date:
        if (l.kind == Literal::Date)
            value = l.value.toDate().toString(Qt::ISODate);
        else if (const auto d = l.kind == Literal::Text ? parseDate(l.value.toString()) : std::nullopt)
            value = d->toString(Qt::ISODate);
        break;
    default:
        if (l.kind == Literal::Text)
            value = toStorage(field, l.value).value;
        break;
    }
    if (value.isNull()) {
        error = mismatch(field, l);
        return false;
    }
    sql += QStringLiteral("%1 %2 ?").arg(column, QLatin1String(sqlOperator(e->op)));
    params << value;
    return true;
}

}  // namespace

SqlText whereClause(const ExprPtr &expr, const TableInfo &table, const Dialect &dialect)
{
    SqlText out;
    if (!expr)
        return out;
    Builder builder{table, dialect, out.sql, out.params, out.error};
    if (!builder.build(expr)) {
        out.sql.clear();
        out.params.clear();
    }
    return out;
}

QString columnList(const QVector<int> &columns, const TableInfo &table)
{
    QStringList names;
    for (const int c : columns)
        names << quoteIdentifier(table.fields[c].name);
    return names.join(QStringLiteral(", "));
}

}  // namespace tvx::data
