#include "maintenance/serverdataset.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/engineaccess.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/recordlock.h"
#include "data/schema.h"
#include "maintenance/newdataset.h"

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace tvx::maintenance {

using data::Error;
using data::ErrorCode;

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

#ifdef TVX_HAVE_LIBPQ

// Rows go to the server in statements of this many rows: one round trip each.
constexpr int kRowsPerStatement = 200;

// The text columns the screens search by value: an index on their folded form
// serves the search's "=" (see the server dialect's equalText()).
struct SearchedColumn {
    const char *file;
    const char *table;
    const char16_t *column;
};
constexpr SearchedColumn kSearchedColumns[] = {
    {"Tarvix.tvd", "Tarvix", u"Iktatószám"},
    {"Tarvix.tvd", "Tarvix", u"IktatásRecordID"},
    {"TarvixArchiv.tvd", "Tarvix", u"Iktatószám"},
};

Error copyTable(data::Connection &from, const data::TableInfo &table, data::Connection &to, const QString &schema, qint64 &rows)
{
    QStringList columns;
    for (const data::FieldDef &f : table.fields)
        columns << data::quoteIdentifier(f.name);
    const QString target = data::quoteIdentifier(schema) + u'.' + data::quoteIdentifier(table.name);
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
                               .arg(columns.join(u", "), data::quoteIdentifier(table.name), from.dialect().keyColumn());
    Error e = from.query(select, {}, [&](const data::RowReader &r) {
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
    if ((e = to.query(QStringLiteral("SELECT count(*) FROM %1").arg(target), {}, [&](const data::RowReader &r) {
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

Error copyDataSetToServer(const QDir &source, const QString &conninfo, QVector<CopiedTable> &copied)
{
    copied.clear();
#ifdef TVX_HAVE_LIBPQ
    struct Source {
        const data::DatabaseFileDef *definition;
        std::shared_ptr<data::Database> database;
    };
    QVector<Source> sources;
    for (const data::DatabaseFileDef &file : data::databaseFiles()) {
        const QString found = data::findFileIgnoringCase(source, file.fileName);
        if (found.isEmpty())
            return data::messages::fileMissing(shown(source.filePath(file.fileName)));
        Error error;
        auto db = data::Database::openPath(source.filePath(found), error, data::Database::Access::Private);
        if (!db)
            return error;
        sources.push_back({&file, db});
    }

    Error error;
    auto server = data::openServer(conninfo, QString(), error);
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
        schemas << data::serverSchemaFor(s.definition->fileName);
    QStringList present;
    bool supportPresent = false;
    if ((error = server->query(QStringLiteral("SELECT nspname FROM pg_catalog.pg_namespace ORDER BY nspname"), {},
                               [&](const data::RowReader &r) {
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
        for (const QString &statement : data::serverSupportStatements()) {
            if ((error = server->execute(statement)))
                return fail(error);
        }
    }

    for (const Source &s : sources) {
        const QString schema = data::serverSchemaFor(s.definition->fileName);
        // the file's own tables, as it holds them, in its order
        data::DatabaseFileDef definition{s.definition->fileName, {}};
        for (const data::TableInfo &t : s.database->tables())
            definition.tables.push_back({t.name, t.fields});
        for (const QString &statement : data::serverCreateStatements(definition, schema)) {
            if ((error = server->execute(statement)))
                return fail(error);
        }
        data::Connection &from = data::EngineAccess::connection(*s.database);
        for (const data::TableInfo &t : s.database->tables()) {
            qint64 rows = 0;
            if ((error = copyTable(from, t, *server, schema, rows)))
                return fail(error);
            copied.push_back({s.definition->fileName, t.name, rows});
        }
        for (const SearchedColumn &c : kSearchedColumns) {
            if (s.definition->fileName != QLatin1String(c.file) || !s.database->table(QLatin1String(c.table)))
                continue;
            const QString column = QString::fromUtf16(c.column);
            if (s.database->table(QLatin1String(c.table))->indexOf(column) < 0)
                continue;
            if ((error = server->execute(QStringLiteral("CREATE INDEX ON %1.%2 (lower(%3 COLLATE \"hu-x-icu\"))")
                                             .arg(data::quoteIdentifier(schema), data::quoteIdentifier(QLatin1String(c.table)),
                                                  data::quoteIdentifier(column)))))
                return fail(error);
        }
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

Error createServerDataSet(const QDir &templates, const QString &conninfo, const QDir &folder, QVector<CopiedTable> &copied)
{
    const QString target = folder.absolutePath();
    if (const QStringList present = dataSetFilesIn(folder); !present.isEmpty()) {
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappában már van adatállomány (%2), ezért nem hozok létre újat.")
                                           .arg(shown(target), present.join(QStringLiteral(", ")))};
    }
    if (!data::findFileIgnoringCase(folder, QString::fromLatin1(data::kServerDataSetFileName)).isEmpty())
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappa már egy kiszolgálón lévő adatállományt nevez meg (%2), ezért nem hozok "
                                                   "létre újat.")
                                        .arg(shown(target), QString::fromLatin1(data::kServerDataSetFileName))};
    if (const QList<Error> problems = checkTemplates(templates); !problems.isEmpty())
        return problems.first();
    if (!QDir().mkpath(target))
        return {ErrorCode::Io, QStringLiteral("A(z) %1 mappa nem hozható létre.").arg(shown(target))};
    if (Error e = copyDataSetToServer(templates, conninfo, copied))
        return e;
    return data::writeServerConninfo(QDir(target), conninfo);
}

Error moveDataSetToServer(const QDir &folder, const QString &conninfo, QVector<CopiedTable> &copied, QString &movedTo)
{
    movedTo.clear();
    if (!data::findFileIgnoringCase(folder, QString::fromLatin1(data::kServerDataSetFileName)).isEmpty())
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappa adatállománya már a kiszolgálón van (%2).")
                                        .arg(shown(folder.absolutePath()), QString::fromLatin1(data::kServerDataSetFileName))};
    const QStringList files = dataSetFilesIn(folder);
    for (const QString &name : files) {
        if (data::databaseInUse(folder.filePath(name)))
            return {ErrorCode::Busy, QStringLiteral("A(z) %1 állományt egy másik program használja. Zárja be a Tarvixot minden "
                                                    "munkaállomáson, majd próbálja újra!")
                                         .arg(name)};
    }
    if (Error e = copyDataSetToServer(folder, conninfo, copied))
        return e;

    // the rows are on the server: from now on the folder names the server only
    const QString aside = QStringLiteral("Kiszolgalora_koltoztetve_%1").arg(QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"));
    const QString failed = QStringLiteral("Az adatok a kiszolgálóra kerültek, de a(z) %1 mappa rendezése nem sikerült: %2 "
                                          "Tegye át kézzel az adatbázis-fájlokat egy almappába, és írja a kapcsolódási leírást "
                                          "a(z) %3 állományba!")
                               .arg(shown(folder.absolutePath()), QStringLiteral("%1"), QString::fromLatin1(data::kServerDataSetFileName));
    if (!folder.mkpath(aside))
        return {ErrorCode::Io, failed.arg(QStringLiteral("a(z) %1 almappa nem hozható létre.").arg(aside))};
    const QDir asideDir(folder.filePath(aside));
    for (const QString &name : files) {
        if (!QFile::rename(folder.filePath(name), asideDir.filePath(name)))
            return {ErrorCode::Io, failed.arg(QStringLiteral("a(z) %1 nem helyezhető át.").arg(name))};
        QFile::remove(data::LockFile::lockFilePath(folder.filePath(name)));
    }
    movedTo = asideDir.absolutePath();
    if (Error e = data::writeServerConninfo(folder, conninfo))
        return {e.code, failed.arg(e.message)};
    return {};
}

QString copiedTablesReport(const QVector<CopiedTable> &copied)
{
    QString text;
    qint64 total = 0;
    for (const CopiedTable &t : copied) {
        text += QStringLiteral("%1 / %2: %3 sor\n").arg(t.file, t.table).arg(t.rows);
        total += t.rows;
    }
    text += QStringLiteral("Összesen: %1 tábla, %2 sor\n").arg(copied.size()).arg(total);
    return text;
}

}  // namespace tvx::maintenance
