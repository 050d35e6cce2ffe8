// Times the data-source layer on both engines, files and server, side by side
// on one generated data set of 100 000 filing entries (with 20 000 partners
// and 100 000 attachments), and each server operation against the same work
// sent straight through libpq.
//   tvx-serverbench [--server CONNINFO] [FOLDER]
// Without --server a throwaway cluster is started (tests/support/pgcluster.sh)
// and removed afterwards; with it, CONNINFO names a database the bench may
// create its own database from. The bench's database is dropped at the end;
// FOLDER (a temporary folder when none is given) keeps the files.

#include "benchkit.h"
#include "common/hungarian.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/datasource.h"
#include "data/engineaccess.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/servercopy.h"
#include "data/templates.h"
#include "data/textmatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <libpq-fe.h>
#include <unistd.h>

#include <functional>
#include <optional>

using namespace tvx::data;

namespace {

using namespace bench::entries;
constexpr int kRuns = 9;
constexpr double kMaxRatio = 1.5;
constexpr double kMaxMs = 100.0;
constexpr double kMaxIndexedMs = 5.0;

QTextStream &out = bench::out();
using bench::check;

[[noreturn]] void die(const QString &what)
{
    out << "HIBA: " << what << Qt::endl;
    std::exit(1);
}

// The throwaway cluster, or the one named on the command line.
class Cluster {
public:
    explicit Cluster(QString given) : admin_(std::move(given))
    {
        if (!admin_.isEmpty())
            return;
        state_.emplace();
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QStringLiteral("sh"), {QStringLiteral(TVX_PGCLUSTER), QStringLiteral("start"), state_->path()});
        if (!p.waitForFinished(180000) || p.exitCode() != 0)
            die(QStringLiteral("a próbakiszolgáló nem indult el (%1)").arg(QStringLiteral(TVX_PGCLUSTER)));
        QFile conninfo(state_->filePath(QStringLiteral("conninfo")));
        if (!conninfo.open(QIODevice::ReadOnly))
            die(QStringLiteral("nincs PostgreSQL-kiszolgáló ezen a gépen (/usr/lib/postgresql/*/bin)"));
        admin_ = QString::fromUtf8(conninfo.readAll()).trimmed();
    }
    ~Cluster()
    {
        if (!state_)
            return;
        QProcess p;
        p.start(QStringLiteral("sh"), {QStringLiteral(TVX_PGCLUSTER), QStringLiteral("stop"), state_->path()});
        p.waitForFinished(60000);
    }
    QString admin() const { return admin_; }

private:
    std::optional<QTemporaryDir> state_;
    QString admin_;
};

// The direct side: libpq, one session, every value a parameter.
class Raw {
public:
    explicit Raw(const QString &conninfo) { connect(conninfo); }
    ~Raw() { PQfinish(conn_); }
    void connect(const QString &conninfo)
    {
        if (conn_)
            PQfinish(conn_);
        conn_ = PQconnectdb(conninfo.toUtf8().constData());
        if (PQstatus(conn_) != CONNECTION_OK)
            die(QString::fromUtf8(PQerrorMessage(conn_)));
    }
    PGconn *conn() const { return conn_; }

    // Runs one statement; the rows of its result (text).
    std::vector<std::vector<QByteArray>> exec(const QString &sql, const QVariantList &params = {})
    {
        PGresult *r = run(sql, params);
        std::vector<std::vector<QByteArray>> rows(size_t(PQntuples(r)));
        for (int i = 0; i < PQntuples(r); ++i) {
            for (int c = 0; c < PQnfields(r); ++c)
                rows[size_t(i)].emplace_back(PQgetvalue(r, i, c), PQgetlength(r, i, c));
        }
        PQclear(r);
        return rows;
    }
    // The first column of every row as numbers (keys).
    std::vector<qint64> keys(const QString &sql, const QVariantList &params = {})
    {
        PGresult *r = run(sql, params);
        std::vector<qint64> keys;
        keys.reserve(size_t(PQntuples(r)));
        for (int i = 0; i < PQntuples(r); ++i)
            keys.push_back(std::strtoll(PQgetvalue(r, i, 0), nullptr, 10));
        PQclear(r);
        return keys;
    }
    void command(const QString &sql, const QVariantList &params = {}) { PQclear(run(sql, params)); }

private:
    PGresult *run(const QString &sql, const QVariantList &params)
    {
        std::vector<QByteArray> texts;
        for (const QVariant &v : params)
            texts.push_back(v.toString().toUtf8());
        std::vector<const char *> values;
        for (const QByteArray &t : texts)
            values.push_back(t.constData());
        PGresult *r = PQexecParams(conn_, sql.toUtf8().constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK)
            die(QStringLiteral("%1\n%2").arg(sql, QString::fromUtf8(PQresultErrorMessage(r))));
        return r;
    }
    PGconn *conn_ = nullptr;
};

QString q(const char *name) { return u'"' + QString::fromUtf8(name) + u'"'; }

// What the layer reads for one record of Tarvix: every field, by key.
QString rowStatement()
{
    QStringList columns;
    for (const TableDef &t : databaseFile(QStringLiteral("Tarvix.tvd"))->tables) {
        if (t.name == u"Tarvix") {
            for (const FieldDef &f : t.fields)
                columns << u'"' + f.name + u'"';
        }
    }
    return QStringLiteral("SELECT %1 FROM \"Tarvix\" WHERE \"tvx_id\" = $1").arg(columns.join(u", "));
}

QString regexOf(const QString &pattern) { return LikePattern::compile(pattern)->regex(); }

struct Row {
    QString what;
    double files = 0, server = 0, raw = 0;
    double limitMs = kMaxMs;
    bool ratioGoal = true;
};
std::vector<Row> rows;

// One untimed run first: both sides prepare their statements once per session.
double median(const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    if (prepare)
        prepare();
    work();
    return bench::medianMs(kRuns, work, prepare);
}

void failed(DataSource &ds)
{
    check(ds.lastError());
    die(QStringLiteral("a művelet nem sikerült"));
}

QString fixed(double v, int width) { return QString::number(v, 'f', 2).rightJustified(width); }

void printTable()
{
    out << Qt::endl
        << QStringLiteral("művelet (medián, %1 futás)").arg(kRuns).leftJustified(50) << QStringLiteral("fájlok").rightJustified(10)
        << QStringLiteral("kiszolgáló").rightJustified(12) << QStringLiteral("libpq").rightJustified(10) << QStringLiteral("arány").rightJustified(8)
        << QStringLiteral("  cél") << Qt::endl;
    for (const Row &r : rows) {
        const double ratio = r.raw > 0 ? r.server / r.raw : 0;
        QStringList misses;
        if (r.server >= r.limitMs)
            misses << QStringLiteral("≥ %1 ms").arg(r.limitMs);
        if (r.ratioGoal && ratio > kMaxRatio)
            misses << QStringLiteral("> %1x").arg(kMaxRatio);
        out << r.what.leftJustified(50) << fixed(r.files, 7) << " ms" << fixed(r.server, 9) << " ms" << fixed(r.raw, 7) << " ms"
            << (r.raw > 0 ? fixed(ratio, 7) + u'x' : QStringLiteral("       -")) << "  "
            << (misses.isEmpty() ? QStringLiteral("ok") : QStringLiteral("NEM: ") + misses.join(QStringLiteral(", "))) << Qt::endl;
    }
}

// The index names in the server's plan for `sql`, custom and generic plan alike.
QString plannedIndexes(Raw &raw, const QString &sql, const QVariantList &params, bool generic)
{
    raw.command(generic ? QStringLiteral("SET plan_cache_mode = force_generic_plan") : QStringLiteral("SET plan_cache_mode = force_custom_plan"));
    QStringList names;
    QString plan;
    for (const auto &line : raw.exec(QStringLiteral("EXPLAIN ") + sql, params)) {
        const QString text = QString::fromUtf8(line[0]);
        plan += text + u'\n';
        static const QRegularExpression index(QStringLiteral(R"(Index (?:Only )?Scan (?:Backward )?(?:using|on) (\S+))"));
        const auto m = index.match(text);
        if (m.hasMatch() && !names.contains(m.captured(1)))
            names << m.captured(1);
    }
    raw.command(QStringLiteral("RESET plan_cache_mode"));
    if (names.isEmpty())
        out << plan;
    return names.isEmpty() ? QStringLiteral("NINCS INDEX") : names.join(QStringLiteral(", "));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tvx::useHungarianLocale();
    QStringList args = app.arguments().mid(1);
    QString given;
    if (const qsizetype at = args.indexOf(QStringLiteral("--server")); at >= 0 && at + 1 < args.size()) {
        given = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(u'-'))) {
        out << "Használat: tvx-serverbench [--server LEÍRÁS] [MAPPA]" << Qt::endl;
        return 2;
    }
    QTemporaryDir tmp;
    const QDir base(args.isEmpty() ? tmp.path() : args.first());
    base.mkpath(QStringLiteral("fajlok"));
    base.mkpath(QStringLiteral("kiszolgalo"));
    const QDir filesDir(base.filePath(QStringLiteral("fajlok")));
    const QDir serverDir(base.filePath(QStringLiteral("kiszolgalo")));

    if (!QFile::exists(filesDir.filePath(QStringLiteral("Tarvix.tvd")))) {
        QElapsedTimer t;
        t.start();
        bench::entries::write(filesDir);
        out << "Fájlos adatkészlet előállítva: " << t.elapsed() << " ms" << Qt::endl;
    }

    Cluster cluster(given);
    const QString dbName = QStringLiteral("tvx_bench_%1").arg(::getpid());
    {
        Raw admin(cluster.admin());
        admin.command(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(dbName));
    }
    struct DropAtEnd {
        QString admin, name;
        ~DropAtEnd()
        {
            Raw a(admin);
            a.command(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        }
    } dropAtEnd{cluster.admin(), dbName};
    const QString conninfo = cluster.admin() + QStringLiteral(" dbname=") + dbName;
    {
        QElapsedTimer t;
        t.start();
        QVector<CopiedTable> copied;
        check(copyDataSetToServer(filesDir, conninfo, copied));
        check(writeServerConninfo(serverDir, conninfo));
        out << "Adatkészlet a kiszolgálóra másolva: " << t.elapsed() << " ms" << Qt::endl;
    }

    Raw raw(conninfo);
    out << "Kiszolgáló: " << QString::fromUtf8(raw.exec(QStringLiteral("SELECT version()"))[0][0]).section(u',', 0, 0) << Qt::endl;
    const QString session = QStringLiteral("SET DateStyle = ISO; SET IntervalStyle = iso_8601; SET extra_float_digits = 1; "
                                           "SET lock_timeout = 5000; SET search_path = \"tarvix\"");
    PQclear(PQexec(raw.conn(), session.toUtf8().constData()));
    const QString readRow = rowStatement();
    const QString allKeys = QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" ORDER BY \"tvx_id\"");
    const QString equalSql = QStringLiteral("lower(%1 COLLATE \"hu-x-icu\") = lower($1::text COLLATE \"hu-x-icu\")");
    const QString likeSql = QStringLiteral("%1 COLLATE \"hu-x-icu\" ~* $1");
    const std::vector<qint64> keys = raw.keys(allKeys);
    const qint64 firstKey = keys.front(), lastKey = keys.back();

    const QString tarvix = QStringLiteral("Tarvix.tvd");
    const QString table = QStringLiteral("Tarvix");

    // Each operation: the layer on files, on the server, then libpq.
    auto both = [&](const std::function<double(const QDir &)> &layer) { return std::pair{layer(filesDir), layer(serverDir)}; };
    auto add = [&](const QString &what, std::pair<double, double> layer, double direct, double limit = kMaxMs, bool ratioGoal = true) {
        rows.push_back({what, layer.first, layer.second, direct, limit, ratioGoal});
        out << "." << Qt::flush;
    };

    // 1. the first open: no data source of the process has the file open yet
    add(QStringLiteral("megnyitás (első; kapcsolódás, katalógus, kulcsok)"), both([&](const QDir &dir) {
            return median([&] {
                DataSource ds(tarvix, table, nullptr, dir);
                if (!ds.refresh())
                    failed(ds);
            });
        }),
        median([&] {
            Raw fresh(conninfo);
            PQclear(PQexec(fresh.conn(), session.toUtf8().constData()));
            const auto k = fresh.keys(allKeys);
            fresh.exec(readRow, {k.front()});
        }));

    // kept open from here on, as a screen keeps it
    DataSource keepFiles(tarvix, table, nullptr, filesDir), keepServer(tarvix, table, nullptr, serverDir);
    if (!keepFiles.refresh())
        failed(keepFiles);
    if (!keepServer.refresh())
        failed(keepServer);
    auto held = [&](const QDir &dir) -> DataSource & { return dir == filesDir ? keepFiles : keepServer; };

    // 2. another data source on the open file
    add(QStringLiteral("megnyitás (újra, a fájl már nyitva)"), both([&](const QDir &dir) {
            return median([&] {
                DataSource ds(tarvix, table, nullptr, dir);
                if (!ds.refresh())
                    failed(ds);
            });
        }),
        median([&] {
            const auto k = raw.keys(allKeys);
            raw.exec(readRow, {k.front()});
        }));

    // 3. requery over all rows
    add(QStringLiteral("requery (100 000 sor)"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median([&] {
                if (!ds.requery())
                    failed(ds);
            });
        }),
        median([&] {
            const auto k = raw.keys(allKeys);
            raw.exec(readRow, {k.front()});
        }));

    // 4. header sort: the layer orders in the process (ICU, Hungarian); libpq lets the server order
    add(QStringLiteral("fejléc-rendezés PartnerNeve (magyar ábécé)"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median([&] {
                ds.setSort(QStringLiteral("PartnerNeve"));
                Error e;
                auto sorted = ds.recordset()->openRecordset(e);
                check(e);
                ds.setRecordset(sorted);
            });
        }),
        median([&] {
            const auto k = raw.keys(QStringLiteral("SELECT \"tvx_id\", \"PartnerNeve\" FROM \"Tarvix\" ORDER BY \"PartnerNeve\" COLLATE \"hu-x-icu\", \"tvx_id\""));
            raw.exec(readRow, {k.front()});
        }));
    const double sortFetch = median([&] { raw.keys(QStringLiteral("SELECT \"tvx_id\", \"PartnerNeve\" FROM \"Tarvix\"")); });
    // back to the table's own order
    for (DataSource *ds : {&keepFiles, &keepServer}) {
        ds->setSort(QString());
        if (!ds->refresh())
            failed(*ds);
    }

    // 5. finds from the first record, and on from the found one
    qint64 firstMatch = 0;
    auto findRow = [&](const QString &what, const QString &criteria, const QString &rawSql, const QVariantList &params, bool next) {
        add(what, both([&](const QDir &dir) {
                DataSource &ds = held(dir);
                return median(
                    [&] {
                        if (!(next ? ds.findNext(criteria) : ds.findFirst(criteria)) || ds.noMatch())
                            failed(ds);
                    },
                    [&] {
                        if (!ds.moveFirst() || (next && !ds.findFirst(criteria)))
                            failed(ds);
                    });
            }),
            // the layer's own statement: every match, the first after the
            // current record (in the table's order) is the one found
            median([&] {
                const auto matches = raw.keys(rawSql, params);
                const qint64 after = next ? firstMatch : 0;
                qint64 found = -1;
                for (const qint64 k : matches) {
                    if (k > after && (found < 0 || k < found))
                        found = k;
                }
                if (found < 0)
                    die(QStringLiteral("libpq: nincs találat: ") + rawSql);
                if (!next)
                    firstMatch = found;
                raw.exec(readRow, {found});
            }));
    };
    const QString partner = partnerName(19999);
    findRow(QStringLiteral("find first [PartnerNeve] = \"…\""), QStringLiteral("[PartnerNeve] = \"%1\"").arg(partner),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + equalSql.arg(q("PartnerNeve")), {partner}, false);
    findRow(QStringLiteral("find next [PartnerNeve] = \"…\""), QStringLiteral("[PartnerNeve] = \"%1\"").arg(partner),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + equalSql.arg(q("PartnerNeve")), {partner}, true);
    findRow(QStringLiteral("find first [Iktatószám] like \"ZZ/UTOLSÓ*\" (a végén)"), QStringLiteral("[Iktatószám] like \"ZZ/UTOLSÓ*\""),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + likeSql.arg(q("Iktatószám")), {regexOf(QStringLiteral("ZZ/UTOLSÓ*"))},
            false);
    findRow(QStringLiteral("partnernév-keresés [PartnerNeve] like \"Partner 1999*\""), QStringLiteral("[PartnerNeve] like \"Partner 1999*\""),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + likeSql.arg(q("PartnerNeve")), {regexOf(QStringLiteral("Partner 1999*"))},
            false);
    findRow(QStringLiteral("partnernév-keresés, next"), QStringLiteral("[PartnerNeve] like \"Partner 1999*\""),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + likeSql.arg(q("PartnerNeve")), {regexOf(QStringLiteral("Partner 1999*"))},
            true);

    // 6. the filing-number search of the entry screen: a find with the whole
    // number, then the list narrowed to it (filterStatement); both by index
    const QString number = filingNumber(77777);
    const QString numberLike = jet::likeLiteral(number);
    findRow(QStringLiteral("iktatószám-keresés [Iktatószám] = \"…\""), QStringLiteral("[Iktatószám] = \"%1\"").arg(number),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + equalSql.arg(q("Iktatószám")), {number}, false);
    rows.back().limitMs = kMaxIndexedMs;
    // the server's text of a literal like: the index narrows, the pattern decides
    const QString literalLikeSql =
        QStringLiteral("lower(%1 COLLATE \"hu-x-icu\") = lower($1::text COLLATE \"hu-x-icu\") AND %1 COLLATE \"hu-x-icu\" ~* $2");
    findRow(QStringLiteral("iktatószám-keresés [Iktatószám] like \"…\" (teljes)"), QStringLiteral("[Iktatószám] like \"%1\"").arg(numberLike),
            QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + literalLikeSql.arg(q("Iktatószám")), {number, regexOf(numberLike)}, false);
    rows.back().limitMs = kMaxIndexedMs;
    {
        // the entry screen's list of the found number (filing::filterStatement)
        const QString filter = QStringLiteral("select * from Tarvix where Iktatószám like ") + jet::quoted(numberLike);
        add(QStringLiteral("iktatószám-szűrés (runRecordSource)"), both([&](const QDir &dir) {
                DataSource ds(tarvix, table, nullptr, dir);
                if (!ds.refresh())
                    failed(ds);
                return median([&] {
                    if (!ds.runRecordSource(filter) || ds.recordCount() != 1)
                        failed(ds);
                });
            }),
            median([&] {
                const auto k = raw.keys(QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + literalLikeSql.arg(q("Iktatószám")) +
                                            QStringLiteral(" ORDER BY \"tvx_id\""),
                                        {number, regexOf(numberLike)});
                raw.exec(readRow, {k.front()});
            }),
            kMaxIndexedMs);
    }

    // 7. the new entry's identifier check and an entry's attachments: both by index
    add(QStringLiteral("azonosító foglalt-e [recordID] = \"…\""), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median([&] {
                bool found = false;
                if (!ds.existsInTable(QStringLiteral("[recordID] = \"%1\"").arg(entryId(55555)), found) || !found)
                    failed(ds);
            });
        }),
        median([&] {
            raw.exec(QStringLiteral("SELECT 1 FROM \"Tarvix\" WHERE ") + equalSql.arg(q("recordID")) + QStringLiteral(" LIMIT 1"), {entryId(55555)});
        }),
        kMaxIndexedMs);
    const QString attachmentsOf = QStringLiteral("select * from Mellekletek where IktatasrecordID = '%1' order by Iktatószám, IktatasrecordID")
                                      .arg(entryId(66666));
    add(QStringLiteral("egy tétel mellékletei (IktatasrecordID)"), both([&](const QDir &dir) {
            DataSource ds(tarvix, QStringLiteral("Mellekletek"), nullptr, dir);
            if (!ds.refresh())
                failed(ds);
            return median([&] {
                if (!ds.runRecordSource(attachmentsOf) || ds.recordCount() != 1)
                    failed(ds);
            });
        }),
        median([&] {
            const auto k = raw.keys(QStringLiteral("SELECT \"tvx_id\", \"Iktatószám\", \"IktatasrecordID\" FROM \"Mellekletek\" WHERE ") +
                                        equalSql.arg(q("IktatasrecordID")) +
                                        QStringLiteral(" ORDER BY \"Iktatószám\" COLLATE \"hu-x-icu\", \"IktatasrecordID\" COLLATE \"hu-x-icu\""),
                                    {entryId(66666)});
            raw.exec(QStringLiteral("SELECT * FROM \"Mellekletek\" WHERE \"tvx_id\" = $1"), {k.front()});
        }),
        kMaxIndexedMs);

    // 8. moves
    add(QStringLiteral("move last"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median([&] {
                if (!ds.moveLast())
                    failed(ds);
            },
                          [&] { ds.moveFirst(); });
        }),
        median([&] { raw.exec(readRow, {lastKey}); }));
    add(QStringLiteral("move first"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median([&] {
                if (!ds.moveFirst())
                    failed(ds);
            },
                          [&] { ds.moveLast(); });
        }),
        median([&] { raw.exec(readRow, {firstKey}); }));

    // 9. writes; libpq sends what the layer sends: the record lock, the read
    // under it, the writer lock of the schema, the write, the read after it
    int serial = 0;
    add(QStringLiteral("edit + update egy rekord"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            ds.moveFirst();
            return median([&] {
                if (!ds.setValue(QStringLiteral("Megjegyzés"), QStringLiteral("Módosítva %1").arg(++serial)) || !ds.update())
                    failed(ds);
            });
        }),
        median([&] {
            raw.exec(QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock($1::integer, $2::integer)"), {4242, firstKey});
            raw.exec(readRow, {firstKey});
            raw.command(QStringLiteral("BEGIN"));
            raw.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_xact_lock($1::bigint)"), {4242});
            raw.command(QStringLiteral("UPDATE \"Tarvix\" SET \"Megjegyzés\" = $1 WHERE \"tvx_id\" = $2"),
                        {QStringLiteral("Módosítva %1").arg(++serial), firstKey});
            raw.command(QStringLiteral("COMMIT"));
            raw.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_unlock($1::integer, $2::integer)"), {4242, firstKey});
            raw.exec(readRow, {firstKey});
        }));
    add(QStringLiteral("új rekord (addNew + update)"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            ds.moveFirst();
            return median([&] {
                if (!ds.addNew() || !ds.setValue(QStringLiteral("recordID"), QStringLiteral("2026-%1").arg(++serial)) ||
                    !ds.setValue(QStringLiteral("PartnerNeve"), QStringLiteral("Új Kft.")) || !ds.update())
                    failed(ds);
            });
        }),
        median([&] {
            raw.command(QStringLiteral("BEGIN"));
            raw.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_xact_lock($1::bigint)"), {4242});
            raw.exec(QStringLiteral("INSERT INTO \"Tarvix\" (\"recordID\", \"PartnerNeve\") VALUES ($1, $2) RETURNING \"tvx_id\""),
                     {QStringLiteral("2026-%1").arg(++serial), QStringLiteral("Új Kft.")});
            raw.command(QStringLiteral("COMMIT"));
            raw.exec(readRow, {firstKey});
        }));
    std::vector<qint64> doomed;
    add(QStringLiteral("törlés (deleteCurrent)"), both([&](const QDir &dir) {
            DataSource &ds = held(dir);
            return median(
                [&] {
                    if (!ds.deleteCurrent())
                        failed(ds);
                },
                [&] {
                    if (!ds.addNew() || !ds.setValue(QStringLiteral("recordID"), QStringLiteral("2026-%1").arg(++serial)) || !ds.update() ||
                        !ds.moveLast())
                        failed(ds);
                });
        }),
        median(
            [&] {
                const qint64 key = doomed.back();
                raw.exec(QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock($1::integer, $2::integer)"), {4242, key});
                raw.command(QStringLiteral("BEGIN"));
                raw.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_xact_lock($1::bigint)"), {4242});
                raw.command(QStringLiteral("DELETE FROM \"Tarvix\" WHERE \"tvx_id\" = $1"), {key});
                raw.command(QStringLiteral("COMMIT"));
                raw.exec(QStringLiteral("SELECT pg_catalog.pg_advisory_unlock($1::integer, $2::integer)"), {4242, key});
            },
            [&] {
                doomed = raw.keys(QStringLiteral("INSERT INTO \"Tarvix\" (\"recordID\") VALUES ($1) RETURNING \"tvx_id\""),
                                  {QStringLiteral("2026-%1").arg(++serial)});
                raw.exec(readRow, {doomed.back()});
            }));

    printTable();
    out << Qt::endl
        << "A rendezés libpq-oldala a kiszolgálón rendez; a kulcsok és a rendezett oszlop puszta lekérése (amit a réteg kér): "
        << fixed(sortFetch, 0).trimmed() << " ms" << Qt::endl;

    // the plans of the searches that must be served by an index
    out << Qt::endl << "Indexek a kiszolgáló tervében (egyedi terv / általános terv):" << Qt::endl;
    struct Planned {
        QString what, sql;
        QVariantList params;
    };
    const std::vector<Planned> planned{
        {QStringLiteral("[Iktatószám] = …"), QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + equalSql.arg(q("Iktatószám")), {number}},
        {QStringLiteral("[Iktatószám] like … (teljes szám)"),
         QStringLiteral("SELECT \"tvx_id\" FROM \"Tarvix\" WHERE ") + literalLikeSql.arg(q("Iktatószám")),
         {number, regexOf(numberLike)}},
        {QStringLiteral("[recordID] = …"), QStringLiteral("SELECT 1 FROM \"Tarvix\" WHERE ") + equalSql.arg(q("recordID")) + QStringLiteral(" LIMIT 1"),
         {entryId(55555)}},
        {QStringLiteral("Mellekletek IktatasrecordID = …"),
         QStringLiteral("SELECT \"tvx_id\" FROM \"Mellekletek\" WHERE ") + equalSql.arg(q("IktatasrecordID")), {entryId(66666)}},
    };
    for (const Planned &p : planned) {
        out << "  " << p.what.leftJustified(40) << plannedIndexes(raw, p.sql, p.params, false) << " / "
            << plannedIndexes(raw, p.sql, p.params, true) << Qt::endl;
    }
    return 0;
}
