#pragma once

// Data sets for the maintenance tests: a working folder and a template folder,
// filled through the data-source layer, and ways to read them back.

#include "database.h"
#include "rebuild.h"
#include "templates.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using tvx::data::Database;
using tvx::data::DatabaseFileDef;
using tvx::data::Error;
using tvx::data::FieldDef;
using tvx::data::FieldType;
using tvx::data::TableDef;

// Remembers what the rebuild shows, in order.
struct RecordingObserver final : tvx::maintenance::RebuildObserver {
    QStringList fileLines, tableLines, statusTexts;
    QList<QPair<int, int>> fileProgress, tableProgress;
    QList<bool> running;
    int updates = 0;

    void setRunning(bool r) override { running << r; }
    void setFileLine(const QString &t) override { fileLines << t; }
    void setTableLine(const QString &t) override { tableLines << t; }
    void setStatusText(const QString &t) override { statusTexts << t; }
    void setFileProgress(int v, int m) override { fileProgress << qMakePair(v, m); }
    void setTableProgress(int v, int m) override { tableProgress << qMakePair(v, m); }
    void letWindowUpdate() override { ++updates; }
};

class Folders {
public:
    Folders()
    {
        QVERIFY(root_.isValid());
        QDir(root_.path()).mkpath(QStringLiteral("work"));
        QDir(root_.path()).mkpath(QStringLiteral("Data"));
    }
    QDir work() const { return QDir(root_.path() + QStringLiteral("/work")); }
    QDir templates() const { return QDir(root_.path() + QStringLiteral("/Data")); }

private:
    QTemporaryDir root_;
};

inline FieldDef textField(const char *name, int size = 50) { return {QString::fromUtf8(name), FieldType::Text, size}; }
inline FieldDef longField(const char *name) { return {QString::fromUtf8(name), FieldType::Long, 0}; }

inline void createFile(const QString &path, const QVector<TableDef> &tables)
{
    Error error;
    auto db = Database::create(path, DatabaseFileDef{QFileInfo(path).fileName(), tables}, error);
    QVERIFY2(db, qPrintable(error.message));
}

inline void insertRows(const QString &path, const QString &table, const QStringList &columns, const QList<QVariantList> &rows)
{
    Error error;
    auto db = Database::openPath(path, error);
    QVERIFY2(db, qPrintable(error.message));
    QStringList quoted, marks;
    for (const QString &c : columns) {
        quoted << u'"' + c + u'"';
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table, quoted.join(u','), marks.join(u','));
    QVERIFY(!db->connection().beginWrite());
    for (const QVariantList &row : rows) {
        const Error e = db->connection().execute(sql, row);
        QVERIFY2(!e, qPrintable(e.message));
    }
    QVERIFY(!db->connection().commit());
}

// Every row of a table as text, in stored order; a null reads "<null>".
inline QStringList tableRows(const QString &path, const QString &table)
{
    QStringList rows;
    Error error;
    auto db = Database::openPath(path, error);
    if (!db)
        return {QStringLiteral("<no file: ") + error.message + u'>'};
    if (!db->table(table))
        return {QStringLiteral("<no table>")};
    db->connection().query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(db->table(table)->name), {},
                           [&](const tvx::data::RowReader &r) {
                               QStringList values;
                               for (int c = 0; c < r.columnCount(); ++c)
                                   values << (r.isNull(c) ? QStringLiteral("<null>") : r.value(c).toString());
                               rows << values.join(u'|');
                               return true;
                           });
    return rows;
}

inline QStringList tableNames(const QString &path)
{
    Error error;
    auto db = Database::openPath(path, error);
    QStringList names;
    if (db) {
        for (const auto &t : db->tables())
            names << t.name;
    }
    return names;
}

// The database files of a folder, without the lock files beside them.
inline QStringList databaseFilesIn(const QDir &dir)
{
    QStringList names;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(QStringLiteral("-lock")))
            names << name;
    }
    return names;
}

// A full data set whose every rebuilt table holds rows of its own.
inline void fillDataSet(const QDir &dir)
{
    const Error e = tvx::data::createDataSetFiles(dir);
    QVERIFY2(!e, qPrintable(e.message));
    const QString tarvix = dir.filePath(QStringLiteral("Tarvix.tvd"));
    insertRows(tarvix, QStringLiteral("Tarvix"), {QStringLiteral("recordID"), QStringLiteral("PartnerNeve"), QStringLiteral("Ügyintézö")},
               {{QStringLiteral("20240307-1"), QStringLiteral("Árvíztűrő Kft."), QStringLiteral("Kiss Éva")},
                {QStringLiteral("20240307-2"), QStringLiteral("Tükörfúró Bt."), QVariant()}});
    insertRows(tarvix, QStringLiteral("Mellekletek"), {QStringLiteral("IktatasrecordID"), QStringLiteral("FotóÚtvonalaNeve")},
               {{QStringLiteral("20240307-1"), QStringLiteral("C:\\képek\\szerződés.jpg")}});
    insertRows(tarvix, QStringLiteral("SzamlaTartozas"), {QStringLiteral("PartnerNeve"), QStringLiteral("BruttóÖsszeg")},
               {{QStringLiteral("Árvíztűrő Kft."), 12500.5}});
    insertRows(dir.filePath(QStringLiteral("TarvixArchiv.tvd")), QStringLiteral("Tarvix"), {QStringLiteral("recordID")},
               {{QStringLiteral("20230101-9")}});
    insertRows(dir.filePath(QStringLiteral("Torzsek.tvd")), QStringLiteral("BePartner"), {QStringLiteral("BerNev"), QStringLiteral("recordID")},
               {{QStringLiteral("Árvíztűrő Kft."), 1}, {QStringLiteral("Tükörfúró Bt."), 2}});
    insertRows(dir.filePath(QStringLiteral("Parameter.tvd")), QStringLiteral("Iktatoszam"), {QStringLiteral("Jelleg"), QStringLiteral("PartnerID")},
               {{QStringLiteral("SZ"), 1}});
    const QString regiszt = dir.filePath(QStringLiteral("regiszt.tvd"));
    insertRows(regiszt, QStringLiteral("Users"), {QStringLiteral("Felhasználó"), QStringLiteral("Jelszó"), QStringLiteral("JogosultságiSzint")},
               {{QStringLiteral("demo"), QVariant(), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
    insertRows(regiszt, QStringLiteral("Regisztrálás"), {QStringLiteral("AkcióFelhasználó"), QStringLiteral("AkcióLeírás")},
               {{QStringLiteral("demo"), QStringLiteral("Felhasználóváltás kérése")}});
}
