// Times the data-source layer against the same work done directly through
// SQLite's C API, on a generated data set of 100 000 filing entries, 20 000
// partners and 100 000 attachments.
//   tvx-databench [FOLDER]   (a temporary folder when none is given)

#include "benchkit.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "data/datasource.h"
#include "common/hungarian.h"
#include "data/recordset.h"
#include "data/templates.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <functional>

using namespace tvx::data;

namespace {

using namespace bench::entries;
constexpr int kRuns = 7;

QTextStream &out = bench::out();

long rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double medianMs(const std::function<void()> &work) { return bench::medianMs(kRuns, work); }

using bench::check;

// The direct side: plain SQLite calls, no layer.
struct Direct {
    sqlite3 *db = nullptr;
    explicit Direct(const QString &path) { sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr); }
    ~Direct() { sqlite3_close(db); }
    std::vector<sqlite3_int64> keys(const char *sql)
    {
        std::vector<sqlite3_int64> out;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return out;
    }
    void exec(const char *sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

void report(const char *what, double layer, double direct)
{
    out << QString::fromUtf8(what).leftJustified(46) << QString::number(layer, 'f', 2).rightJustified(9) << " ms"
        << QString::number(direct, 'f', 2).rightJustified(9) << " ms" << QString::number(layer / direct, 'f', 2).rightJustified(8) << "x"
        << Qt::endl;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tvx::useHungarianLocale();
    QTemporaryDir tmp;
    const QDir dir(app.arguments().size() > 1 ? app.arguments()[1] : tmp.path());
    dir.mkpath(QStringLiteral("."));
    if (!QFile::exists(dir.filePath(QStringLiteral("Tarvix.tvd")))) {
        QElapsedTimer t;
        t.start();
        bench::entries::write(dir);
        out << "Adatkészlet előállítva: " << t.elapsed() << " ms" << Qt::endl;
    }
    const QString tarvixPath = dir.filePath(QStringLiteral("Tarvix.tvd"));
    const QByteArray tarvixUtf8 = tarvixPath.toUtf8();
    out << QStringLiteral("művelet").leftJustified(46) << "   réteg" << "       közvetlen SQLite" << "  arány" << Qt::endl;

    // 1. open a data source on the whole table and move to the last record
    const double openLayer = medianMs([&] {
        DataSource ds(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dir);
        if (!ds.refresh() || !ds.moveLast() || ds.value(0).toString().isEmpty())
            check(ds.lastError());
    });
    const double openDirect = medianMs([&] {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(tarvixUtf8.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM Tarvix ORDER BY rowid", -1, &st, nullptr);
        std::vector<sqlite3_int64> keys;
        while (sqlite3_step(st) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        sqlite3_prepare_v2(db, "SELECT * FROM Tarvix WHERE rowid = ?", -1, &st, nullptr);
        sqlite3_bind_int64(st, 1, keys.back());
        sqlite3_step(st);
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            sqlite3_column_text(st, i);
        sqlite3_finalize(st);
        sqlite3_close(db);
    });
    report("megnyitás és ugrás az utolsó rekordra", openLayer, openDirect);

    DataSource ds(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dir);
    const long before = rssKb();
    if (!ds.refresh() || !ds.moveLast())
        check(ds.lastError());
    const long after = rssKb();
    Direct direct(tarvixPath);

    // 2. find first near the end
    const double findLayer = medianMs([&] {
        ds.moveFirst();
        if (!ds.findFirst(QStringLiteral("[Iktatószám] like \"ZZ/UTOLSÓ*\"")) || ds.noMatch())
            check(ds.lastError());
    });
    const double findDirect = medianMs([&] {
        const auto k = direct.keys("SELECT rowid FROM Tarvix WHERE \"Iktatószám\" LIKE 'ZZ/UTOLSÓ%' ORDER BY rowid LIMIT 1");
        if (k.empty())
            std::exit(2);
    });
    report("find first [Iktatószám] like \"…*\" a végén", findLayer, findDirect);

    // 3. filter statement and refresh
    DataSource filtered(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dir);
    filtered.refresh();
    const double filterLayer = medianMs([&] {
        filtered.setRecordSource(QStringLiteral("select * from Tarvix where Iktatószám like 'SZ/B12*'"));
        if (!filtered.refresh())
            check(filtered.lastError());
    });
    const double filterDirect = medianMs([&] { direct.keys("SELECT rowid FROM Tarvix WHERE \"Iktatószám\" LIKE 'SZ/B12%' ORDER BY rowid"); });
    report("szűrő utasítás és frissítés", filterLayer, filterDirect);

    // 4. header sort on a text column
    const double sortLayer = medianMs([&] {
        ds.setSort(ds.sort() == u"PartnerNeve" ? QStringLiteral("PartnerNeve DESC") : QStringLiteral("PartnerNeve"));
        Error e;
        auto sorted = ds.recordset()->openRecordset(e);
        check(e);
        ds.setRecordset(sorted);
    });
    const double sortDirect = medianMs([&] { direct.keys("SELECT rowid FROM Tarvix ORDER BY PartnerNeve, rowid"); });
    report("fejléc-rendezés szöveges oszlopra (bájtsorrend)", sortLayer, sortDirect);
    // the same order done directly: SQLite with an ICU collation for Hungarian
    UErrorCode status = U_ZERO_ERROR;
    UCollator *hungarian = ucol_open("hu_HU", &status);
    ucol_setStrength(hungarian, UCOL_SECONDARY);
    sqlite3_create_collation(direct.db, "HU", SQLITE_UTF8, hungarian, [](void *coll, int la, const void *a, int lb, const void *b) {
        UErrorCode st = U_ZERO_ERROR;
        return int(ucol_strcollUTF8(static_cast<UCollator *>(coll), static_cast<const char *>(a), la, static_cast<const char *>(b), lb, &st));
    });
    const double sortDirectHu = medianMs([&] { direct.keys("SELECT rowid FROM Tarvix ORDER BY PartnerNeve COLLATE HU, rowid"); });
    report("fejléc-rendezés szöveges oszlopra (magyar ábécé)", sortLayer, sortDirectHu);
    ucol_close(hungarian);

    // 5. add one record and update it
    const double writeLayer = medianMs([&] {
        if (!ds.addNew() || !ds.setValue(0, QStringLiteral("2026129123,5")) || !ds.setValue(QStringLiteral("PartnerNeve"), QStringLiteral("Új Kft.")) ||
            !ds.update() || !ds.moveLast() || !ds.setValue(QStringLiteral("Iktatószám"), QStringLiteral("SZ/B12-3")) || !ds.update())
            check(ds.lastError());
    });
    const double writeDirect = medianMs([&] {
        direct.exec("BEGIN IMMEDIATE; INSERT INTO Tarvix (recordID, PartnerNeve) VALUES ('2026129123,5', 'Új Kft.'); COMMIT;");
        direct.exec("BEGIN IMMEDIATE; UPDATE Tarvix SET \"Iktatószám\" = 'SZ/B12-3' WHERE rowid = last_insert_rowid(); COMMIT;");
    });
    report("új rekord hozzáadása és módosítása", writeLayer, writeDirect);

    out << "Memória: " << after / 1024 << " MB a 100 000 tételes tábla megnyitása után (a megnyitás "
        << (after - before) / 1024 << " MB)" << Qt::endl;
    return 0;
}
