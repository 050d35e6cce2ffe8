// The statement and criteria parser, and its translation for the engine.
// Input: any text, tried as find criteria, as a statement, as a record
// source and as a sort text.
// Properties:
// - a refusal carries a message for the user;
// - what parses, written out again, parses into the same tree;
// - a condition that translates gives SQL the engine accepts, with one
//   bound value for every placeholder.

#include "data/jetsql.h"
#include "data/sqlbuilder.h"
#include "fuzzcheck.h"

#include <QDate>

#include <sqlite3.h>

#include <cmath>
#include <cstdint>

using namespace tvx::data;
using namespace tvx::data::jet;
using tvx::fuzz::shown;

namespace {

// -- writing a tree out again -------------------------------------------------

QString name(const QString &n)
{
    return u'[' + n + u']';
}

QString names(const QStringList &list)
{
    QStringList out;
    for (const QString &n : list)
        out << name(n);
    return out.join(QStringLiteral(", "));
}

QString literal(const Literal &l)
{
    switch (l.kind) {
    case Literal::Null: return QStringLiteral("null");
    case Literal::Text: return quoted(l.value.toString());
    case Literal::Number: return l.written;
    case Literal::Date: return u'#' + l.value.toDate().toString(Qt::ISODate) + u'#';
    case Literal::Boolean: return l.value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    return {};
}

const char *op(CompareOp o)
{
    switch (o) {
    case CompareOp::Equal: return "=";
    case CompareOp::NotEqual: return "<>";
    case CompareOp::Less: return "<";
    case CompareOp::LessOrEqual: return "<=";
    case CompareOp::Greater: return ">";
    case CompareOp::GreaterOrEqual: return ">=";
    }
    return "?";
}

// Brackets only where the tree needs them, so the text nests no deeper than
// the one it came from.
QString print(const Expr &e)
{
    switch (e.kind) {
    case Expr::Compare: return name(e.field) + u' ' + QLatin1String(op(e.op)) + u' ' + literal(e.value);
    case Expr::Like:
        return name(e.field) + (e.negated ? QStringLiteral(" not like ") : QStringLiteral(" like ")) + literal(e.value);
    case Expr::IsNull: return name(e.field) + (e.negated ? QStringLiteral(" is not null") : QStringLiteral(" is null"));
    case Expr::Not: {
        const Expr &inner = *e.operands.first();
        const bool chain = inner.kind == Expr::And || inner.kind == Expr::Or;
        return QStringLiteral("not ") + (chain ? u'(' + print(inner) + u')' : print(inner));
    }
    case Expr::And:
    case Expr::Or: {
        QStringList parts;
        for (const ExprPtr &operand : e.operands) {
            const bool chain = operand->kind == Expr::And || operand->kind == Expr::Or;
            const bool bracket = chain && (operand->kind == e.kind || e.kind == Expr::And);
            parts << (bracket ? u'(' + print(*operand) + u')' : print(*operand));
        }
        return parts.join(e.kind == Expr::And ? QStringLiteral(" and ") : QStringLiteral(" or "));
    }
    }
    return {};
}

QString where(const ExprPtr &e)
{
    return e ? QStringLiteral(" where ") + print(*e) : QString();
}

QString print(const Statement &statement)
{
    if (const auto *s = std::get_if<Select>(&statement)) {
        QString text = QStringLiteral("select ") + (s->columns.isEmpty() ? QStringLiteral("*") : names(s->columns)) +
                       QStringLiteral(" from ") + name(s->table) + where(s->where);
        if (!s->orderBy.isEmpty()) {
            QStringList items;
            for (const OrderItem &item : s->orderBy)
                items << name(item.field) + (item.descending ? QStringLiteral(" desc") : QString());
            text += QStringLiteral(" order by ") + items.join(QStringLiteral(", "));
        }
        return text;
    }
    if (const auto *d = std::get_if<Delete>(&statement))
        return QStringLiteral("delete from ") + name(d->table) + where(d->where);
    const auto &i = std::get<InsertSelect>(statement);
    return QStringLiteral("insert into ") + name(i.table) +
           (i.columns.isEmpty() ? QString() : QStringLiteral(" (") + names(i.columns) + u')') + QStringLiteral(" select ") +
           (i.sourceColumns.isEmpty() ? QStringLiteral("*") : names(i.sourceColumns)) + QStringLiteral(" from ") +
           (i.sourceFile.isEmpty() ? QString() : name(i.sourceFile) + u'.') + name(i.sourceTable) + where(i.where);
}

// -- comparing trees ------------------------------------------------------------

bool same(const Literal &a, const Literal &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case Literal::Null: return true;
    case Literal::Text: return a.value.toString() == b.value.toString();
    case Literal::Number: return a.value.toDouble() == b.value.toDouble() && a.written == b.written;
    case Literal::Date: return a.value.toDate() == b.value.toDate();
    case Literal::Boolean: return a.value.toBool() == b.value.toBool();
    }
    return false;
}

bool same(const ExprPtr &a, const ExprPtr &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->kind != b->kind || a->field != b->field || a->op != b->op || a->negated != b->negated ||
        a->operands.size() != b->operands.size() || !same(a->value, b->value))
        return false;
    for (qsizetype i = 0; i < a->operands.size(); ++i)
        if (!same(a->operands[i], b->operands[i]))
            return false;
    return true;
}

bool same(const Statement &a, const Statement &b)
{
    if (a.index() != b.index())
        return false;
    if (const auto *x = std::get_if<Select>(&a)) {
        const auto &y = std::get<Select>(b);
        return x->columns == y.columns && x->table == y.table && x->orderBy == y.orderBy && same(x->where, y.where);
    }
    if (const auto *x = std::get_if<Delete>(&a)) {
        const auto &y = std::get<Delete>(b);
        return x->table == y.table && same(x->where, y.where);
    }
    const auto &x = std::get<InsertSelect>(a);
    const auto &y = std::get<InsertSelect>(b);
    return x.table == y.table && x.columns == y.columns && x.sourceColumns == y.sourceColumns &&
           x.sourceFile == y.sourceFile && x.sourceTable == y.sourceTable && same(x.where, y.where);
}

int comparisons(const ExprPtr &e)
{
    if (!e)
        return 0;
    if (e->kind != Expr::And && e->kind != Expr::Or && e->kind != Expr::Not)
        return 1;
    int n = 0;
    for (const ExprPtr &operand : e->operands)
        n += comparisons(operand);
    return n;
}

// -- the engine's view ----------------------------------------------------------

// One field of every type; the seeds use these names.
const TableInfo &table()
{
    static const TableInfo t(QStringLiteral("t"), {
                                                      {QStringLiteral("a"), FieldType::Text, 50},
                                                      {QStringLiteral("b"), FieldType::Memo, 0},
                                                      {QStringLiteral("c"), FieldType::Date, 0},
                                                      {QStringLiteral("d"), FieldType::Time, 0},
                                                      {QStringLiteral("e"), FieldType::YesNo, 0},
                                                      {QStringLiteral("f"), FieldType::Short, 0},
                                                      {QStringLiteral("g"), FieldType::Long, 0},
                                                      {QStringLiteral("h"), FieldType::Double, 0},
                                                      {QStringLiteral("Iktatószám"), FieldType::Text, 30},
                                                  });
    return t;
}

void noValue(sqlite3_context *context, int, sqlite3_value **)
{
    sqlite3_result_int(context, 0);
}

sqlite3 *engine()
{
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        sqlite3_exec(d, "CREATE TABLE t (a VARCHAR(50), b TEXT, c DATE, d TIME, e INTEGER, f INTEGER, g INTEGER, h REAL, \"Iktatószám\" VARCHAR(30))",
                     nullptr, nullptr, nullptr);
        // the program's own functions, as the data layer registers them; only prepared here
        for (const char *f : {"tvx_eq", "tvx_like", "tvx_cmp"})
            sqlite3_create_function_v2(d, f, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, noValue, nullptr, nullptr, nullptr);
        return d;
    }();
    return db;
}

void translates(const ExprPtr &e, const QString &input)
{
    if (!e)
        return;
    const SqlText where = whereClause(e, table(), fileDialect());
    if (where.error) {
        TVX_FUZZ_CHECK(!where.error.message.isEmpty(), shown(input));
        TVX_FUZZ_CHECK(where.sql.isEmpty() && where.params.isEmpty(), shown(input));
        return;
    }
    const QByteArray sql = "SELECT rowid FROM t WHERE " + where.sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare_v2(engine(), sql.constData(), int(sql.size()), &statement, nullptr);
    const QString why = QString::fromUtf8(sqlite3_errmsg(engine()));
    const int placeholders = statement ? sqlite3_bind_parameter_count(statement) : -1;
    sqlite3_finalize(statement);
    TVX_FUZZ_CHECK(rc == SQLITE_OK, shown(input) + QStringLiteral("\n  ") + why + QStringLiteral("\n  ") + shown(QString::fromUtf8(sql)));
    TVX_FUZZ_CHECK(placeholders == where.params.size(), shown(input));
}

template <typename T>
void refusedWithMessage(const Parsed<T> &parsed, const QString &input)
{
    if (parsed)
        return;
    TVX_FUZZ_CHECK(parsed.error.code == ErrorCode::BadStatement, shown(input));
    TVX_FUZZ_CHECK(!parsed.error.message.isEmpty(), shown(input));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const auto criteria = parseCriteria(input);
    refusedWithMessage(criteria, input);
    if (criteria) {
        const ExprPtr &e = *criteria.value;
        TVX_FUZZ_CHECK(comparisons(e) <= kMaxComparisons, shown(input));
        const QString again = print(*e);
        const auto reparsed = parseCriteria(again);
        TVX_FUZZ_CHECK(reparsed, shown(input) + QStringLiteral("\n  written: ") + shown(again) + QStringLiteral("\n  ") + reparsed.error.message);
        TVX_FUZZ_CHECK(same(e, *reparsed.value), shown(input) + QStringLiteral("\n  written: ") + shown(again));
        translates(e, input);
    }

    const auto statement = parseStatement(input);
    refusedWithMessage(statement, input);
    if (statement) {
        const QString again = print(*statement.value);
        const auto reparsed = parseStatement(again);
        TVX_FUZZ_CHECK(reparsed, shown(input) + QStringLiteral("\n  written: ") + shown(again) + QStringLiteral("\n  ") + reparsed.error.message);
        TVX_FUZZ_CHECK(same(*statement.value, *reparsed.value), shown(input) + QStringLiteral("\n  written: ") + shown(again));
        if (const auto *s = std::get_if<Select>(&*statement.value))
            translates(s->where, input);
    }

    const auto source = parseRecordSource(input);
    refusedWithMessage(source, input);
    if (source)
        TVX_FUZZ_CHECK(!source.value->table.isEmpty(), shown(input));

    const auto sort = parseSortText(input);
    refusedWithMessage(sort, input);
    if (sort) {
        const QString again = sortText(*sort.value);
        const auto reparsed = parseSortText(again);
        TVX_FUZZ_CHECK(reparsed, shown(input) + QStringLiteral("\n  written: ") + shown(again) + QStringLiteral("\n  ") + reparsed.error.message);
        TVX_FUZZ_CHECK(*reparsed.value == *sort.value, shown(input) + QStringLiteral("\n  written: ") + shown(again));
    }
    return 0;
}
