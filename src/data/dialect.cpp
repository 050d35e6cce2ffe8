#include "data/dialect.h"

#include "data/names.h"
#include "data/textmatch.h"

namespace tvx::data {

namespace {

class FileDialect final : public Dialect {
public:
    QString keyColumn() const override { return QStringLiteral("rowid"); }
    QString alwaysTrue() const override { return QStringLiteral("1"); }
    QString neverTrue() const override { return QStringLiteral("(0)"); }
    QString equalText(const QString &column, bool negated) const override
    {
        return QStringLiteral("tvx_eq(%1, ?)").arg(column) + (negated ? QStringLiteral(" = 0") : QString());
    }
    QString compareText(const QString &column, const QString &op) const override
    {
        return QStringLiteral("tvx_cmp(%1, ?) %2 0").arg(column, op);
    }
    Like like(const QString &operand, const LikePattern &, const QString &text, bool negated) const override
    {
        return {QStringLiteral("tvx_like(%1, ?)").arg(operand) + (negated ? QStringLiteral(" = 0") : QString()), {text}};
    }
    QString asText(const QString &column, FieldType) const override { return QStringLiteral("CAST(%1 AS TEXT)").arg(column); }
    QString qualified(const QString &qualifier, const QString &table) const override
    {
        return (qualifier.isEmpty() ? QStringLiteral("main.") : quoteIdentifier(qualifier) + u'.') + quoteIdentifier(table);
    }
    bool copiesWholeRows() const override { return true; }
    QString copyOrder() const override { return {}; }
};

// Text columns are made under the ICU collation "hu-x-icu" (lower() and ~*
// treat every letter's case, not only ASCII); the engine's own objects live
// in a schema of their own, which no rebuild of a file's schema touches.
const QString kTextCollation = QStringLiteral("\"hu-x-icu\"");
const QString kOrderCollation = QStringLiteral("\"tvx\".\"hu_ci\"");
const QString kDoubleText = QStringLiteral("\"tvx\".\"real_text\"");

class ServerDialect final : public Dialect {
    // a quoted column name, not the text form of another type (asText())
    static bool isColumn(const QString &operand)
    {
        return operand.size() > 1 && operand.startsWith(u'"') && operand.endsWith(u'"');
    }

public:
    QString keyColumn() const override { return QStringLiteral("\"tvx_id\""); }
    QString alwaysTrue() const override { return QStringLiteral("TRUE"); }
    QString neverTrue() const override { return QStringLiteral("FALSE"); }
    QString equalText(const QString &column, bool negated) const override
    {
        return QStringLiteral("lower(%1 COLLATE %2) %3 lower(?::text COLLATE %2)")
            .arg(column, kTextCollation, negated ? QStringLiteral("<>") : QStringLiteral("="));
    }
    QString compareText(const QString &column, const QString &op) const override
    {
        return QStringLiteral("%1 COLLATE %2 %3 ?::text").arg(column, kOrderCollation, op);
    }
    Like like(const QString &operand, const LikePattern &pattern, const QString &, bool negated) const override
    {
        QString match = QStringLiteral("%1 COLLATE %2 ~* ?").arg(operand, kTextCollation);
        QVariantList params{pattern.regex()};
        // A whole value without wildcards on a column (a filing number, an
        // identifier): the folded comparison lets the column's index find the
        // candidates (servercopy.cpp), the pattern still decides.
        const std::optional<QString> literal = pattern.literal();
        if (literal && isColumn(operand)) {
            match = QStringLiteral("%1 AND %2").arg(equalText(operand, false), match);
            params.prepend(*literal);
            if (!negated)
                return {QStringLiteral("(%1)").arg(match), params};
        }
        return {negated ? QStringLiteral("NOT (%1)").arg(match) : match, params};
    }
    QString asText(const QString &column, FieldType type) const override
    {
        switch (type) {
        case FieldType::YesNo: return QStringLiteral("CASE WHEN %1 THEN '1' WHEN NOT %1 THEN '0' END").arg(column);
        case FieldType::Double: return QStringLiteral("%1(%2)").arg(kDoubleText, column);
        default: return QStringLiteral("CAST(%1 AS text)").arg(column);
        }
    }
    QString qualified(const QString &qualifier, const QString &table) const override
    {
        return (qualifier.isEmpty() ? QString() : quoteIdentifier(qualifier) + u'.') + quoteIdentifier(table);
    }
    bool copiesWholeRows() const override { return false; }  // the key column is no data
    QString copyOrder() const override { return QStringLiteral(" ORDER BY ") + keyColumn(); }
};

}  // namespace

const Dialect &fileDialect()
{
    static const FileDialect dialect;
    return dialect;
}

const Dialect &serverDialect()
{
    static const ServerDialect dialect;
    return dialect;
}

QStringList serverSupportStatements()
{
    return {
        QStringLiteral("CREATE SCHEMA IF NOT EXISTS \"tvx\""),
        QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = 'hu-u-ks-level2', deterministic = false)")
            .arg(kOrderCollation),
        // The file engine writes a double with 15 significant digits, in
        // exponent form below 1e-4 and from 1e15, with at least one digit
        // after the point: 1.0, 2.5, 1.0e+20. Casting to numeric rounds to
        // the same 15 digits, and numeric text is never in exponent form.
        QStringLiteral(R"(CREATE OR REPLACE FUNCTION %1(x double precision) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $f$
SELECT CASE
  WHEN x = 'Infinity' THEN 'Inf'
  WHEN x = '-Infinity' THEN '-Inf'
  WHEN x = 'NaN' THEN NULL
  WHEN x = 0 THEN '0.0'
  WHEN e < -4 OR e >= 15 THEN
    regexp_replace(trim_scale(CASE WHEN e < 0 THEN n * power(10::numeric, -e) ELSE n / power(10::numeric, e) END)::text,
                   '^(-?\d+)$', '\1.0')
    || CASE WHEN e < 0 THEN 'e-' ELSE 'e+' END || CASE WHEN abs(e) < 10 THEN '0' ELSE '' END || abs(e)
  ELSE regexp_replace(trim_scale(n)::text, '^(-?\d+)$', '\1.0')
END
FROM (SELECT x::numeric AS n, abs(x::numeric)::text AS a) d,
     LATERAL (SELECT CASE WHEN abs(n) >= 1 THEN length(split_part(a, '.', 1)) - 1
                          ELSE -1 - length(substring(a FROM '^0\.(0*)')) END AS e) v
$f$)")
            .arg(kDoubleText),
    };
}

}  // namespace tvx::data
