#include "data/servercopy.h"

#include "data/database.h"
#include "data/dialect.h"
#include "data/engineaccess.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/schema.h"

#include <algorithm>

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif

namespace tvx::data {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

#ifdef TVX_HAVE_LIBPQ

// Rows go to the server in statements of this many rows: one round trip each.
constexpr int kRowsPerStatement = 200;

// The text columns the screens look rows up by: the new entry's identifier
// (in the archive too), the filing number, an entry's attachments. An index on
// their folded form serves the search's "=" and a whole value under "like"
// (see the server dialect's equalText() and like()).
struct SearchedColumn {
    const char *file;
    const char *table;
    const char16_t *column;
};
constexpr SearchedColumn kSearchedColumns[] = {
    {"Tarvix.tvd", "Tarvix", u"recordID"},
    {"Tarvix.tvd", "Tarvix", u"Iktatószám"},
    {"Tarvix.tvd", "Mellekletek", u"IktatasrecordID"},
    {"TarvixArchiv.tvd", "Tarvix", u"recordID"},
    {"TarvixArchiv.tvd", "Tarvix", u"Iktatószám"},
};

Error copyTable(Connection &from, const TableInfo &table, Connection &to, const QString &schema, qint64 &rows)
{
    QStringList columns;
    for (const FieldDef &f : table.fields)
        columns << quoteIdentifier(f.name);
    const QString target = quoteIdentifier(schema) + u'.' + quoteIdentifier(table.name);
    const QString oneRow = u'(' + QStringList(columns.size(), QStringLiteral("?")).join(u", ") + u')';
    QVariantList batch;
    int batchRows = 0;
    Error failure;
    auto flush = [&]() {
        if (batchRows == 0)
            return true;
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                .arg(target, columns.join(u", "), QStringList(batchRows, oneRow).join(u", "));
        failure = to.execute(sql, batch);
        batch.clear();
        batchRows = 0;
        return !failure;
    };
    rows = 0;
    const QString select = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                               .arg(columns.join(u", "), quoteIdentifier(table.name), from.dialect().keyColumn());
    Error e = from.query(select, {}, [&](const RowReader &r) {
        for (int c = 0; c < columns.size(); ++c)
            batch << r.value(c);
        ++rows;
        return ++batchRows < kRowsPerStatement || flush();
    });
    if (!e && !failure)
        flush();
    if (e)
        return e;
    if (failure)
        return failure;
    // what the server holds now must be exactly what was read
    qint64 stored = -1;
    if ((e = to.query(QStringLiteral("SELECT count(*) FROM %1").arg(target), {}, [&](const RowReader &r) {
            stored = r.int64(0);
            return false;
        })))
        return e;
    if (stored != rows)
        return {ErrorCode::Io, QStringLiteral("A(z) %1 tábla sorainak száma a kiszolgálón (%2) eltér az állományétól (%3).")
                                   .arg(table.name)
                                   .arg(stored)
                                   .arg(rows)};
    return {};
}

#endif

}  // namespace

#ifdef TVX_HAVE_LIBPQ

QStringList serverIndexStatements(const QString &fileName, const QString &schema, const QVector<TableInfo> &tables)
{
    const DatabaseFileDef *file = databaseFile(fileName);
    QStringList statements;
    for (const SearchedColumn &c : kSearchedColumns) {
        if (!file || file->fileName != QLatin1String(c.file))
            continue;
        // a table or column the file lacks has nothing to index
        const auto table = std::find_if(tables.begin(), tables.end(), [&](const TableInfo &t) { return t.name == QLatin1String(c.table); });
        const QString column = QString::fromUtf16(c.column);
        if (table == tables.end() || table->indexOf(column) < 0)
            continue;
        // named for what it serves, so a plan shows it
        const QString name = table->fields[table->indexOf(column)].name;
        statements << QStringLiteral("CREATE INDEX %4 ON %1.%2 (lower(%3 COLLATE \"hu-x-icu\"))")
                          .arg(quoteIdentifier(schema), quoteIdentifier(table->name), quoteIdentifier(name),
                               quoteIdentifier(QStringLiteral("%1_%2_idx").arg(table->name, name)));
    }
    return statements;
}

Error copyFileToSchema(Database &source, const QString &fileName, Connection &server, const QString &schema, QVector<CopiedTable> &copied)
{
    // the file's own tables, as it holds them, in its order
    DatabaseFileDef definition{fileName, {}};
    for (const TableInfo &t : source.tables())
        definition.tables.push_back({t.name, t.fields});
    for (const QString &statement : serverCreateStatements(definition, schema)) {
        if (Error e = server.execute(statement))
            return e;
    }
    Connection &from = EngineAccess::connection(source);
    for (const TableInfo &t : source.tables()) {
        qint64 rows = 0;
        if (Error e = copyTable(from, t, server, schema, rows))
            return e;
        copied.push_back({fileName, t.name, rows});
    }
    for (const QString &statement : serverIndexStatements(fileName, schema, source.tables())) {
        if (Error e = server.execute(statement))
            return e;
    }
    return {};
}

#endif

Error copyDataSetToServer(const QDir &source, const QString &conninfo, QVector<CopiedTable> &copied)
{
    copied.clear();
#ifdef TVX_HAVE_LIBPQ
    struct Source {
        const DatabaseFileDef *definition;
        std::shared_ptr<Database> database;
    };
    QVector<Source> sources;
    for (const DatabaseFileDef &file : databaseFiles()) {
        const QString found = findFileIgnoringCase(source, file.fileName);
        if (found.isEmpty())
            return messages::fileMissing(shown(source.filePath(file.fileName)));
        Error error;
        auto db = Database::openPath(source.filePath(found), error, Database::Access::Private);
        if (!db)
            return error;
        sources.push_back({&file, db});
    }

    Error error;
    auto server = openServer(conninfo, QString(), error);
    if (!server)
        return error;
    if ((error = server->beginWrite()))
        return error;
    auto fail = [&](Error e) {
        server->rollback();
        return e;
    };

    QStringList schemas;
    for (const Source &s : sources)
        schemas << serverSchemaFor(s.definition->fileName);
    QStringList present;
    bool supportPresent = false;
    if ((error = server->query(QStringLiteral("SELECT nspname FROM pg_catalog.pg_namespace ORDER BY nspname"), {},
                               [&](const RowReader &r) {
                                   const QString name = r.value(0).toString();
                                   if (schemas.contains(name))
                                       present << name;
                                   supportPresent = supportPresent || name == u"tvx";
                                   return true;
                               })))
        return fail(error);
    if (!present.isEmpty())
        return fail({ErrorCode::Refused, QStringLiteral("Az adatbázisban már van Tarvix adatállomány (%1), ezért nem írom felül. "
                                                        "Minden adatállománynak saját adatbázis kell.")
                                             .arg(present.join(QStringLiteral(", ")))});
    if (!supportPresent) {
        for (const QString &statement : serverSupportStatements()) {
            if ((error = server->execute(statement)))
                return fail(error);
        }
    }

    for (const Source &s : sources) {
        if ((error = copyFileToSchema(*s.database, s.definition->fileName, *server, serverSchemaFor(s.definition->fileName), copied)))
            return fail(error);
    }
    if ((error = server->commit())) {
        copied.clear();
        return error;
    }
    return {};
#else
    Q_UNUSED(source)
    Q_UNUSED(conninfo)
    return {ErrorCode::Io, QStringLiteral("Ez a program adatbázis-kiszolgáló nélkül készült (PostgreSQL ügyfélkönyvtár nélkül).")};
#endif
}

}  // namespace tvx::data
