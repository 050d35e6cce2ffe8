#pragma once

// Working and template folders for the maintenance tests, filled through the
// data-source layer, and ways to read them back.

#include "data/database.h"
#include "data/engineaccess.h"
#include "data/names.h"
#include "maintenance/rebuild.h"
#include "data/templates.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tvx::data;

// Remembers what the rebuild shows.
struct RecordingObserver final : tvx::maintenance::RebuildObserver {
    QStringList fileLines, tableLines, statusTexts;
    QList<QPair<int, int>> fileProgress, tableProgress;
    QList<bool> running;
    void setRunning(bool r) override { running << r; }
    void setFileLine(const QString &t) override { fileLines << t; }
    void setTableLine(const QString &t) override { tableLines << t; }
    void setStatusText(const QString &t) override { statusTexts << t; }
    void setFileProgress(int v, int m) override { fileProgress << qMakePair(v, m); }
    void setTableProgress(int v, int m) override { tableProgress << qMakePair(v, m); }
    void letWindowUpdate() override {}
};

struct Folders {
    QTemporaryDir root;
    QString workName;
    explicit Folders(const QString &workFolder = u"work"_s) : workName(workFolder)
    {
        QDir(root.path()).mkpath(workName);
        QDir(root.path()).mkpath(u"Data"_s);
    }
    QDir work() const { return QDir(root.path() + u'/' + workName); }
    QDir templates() const { return QDir(root.path() + u"/Data"_s); }
    QString in(const QString &relative) const { return work().filePath(relative); }
};

inline FieldDef text(const char *name, int size = 50) { return {QString::fromUtf8(name), FieldType::Text, size}; }

inline void createFile(const QString &path, const QVector<TableDef> &tables)
{
    Error error;
    QVERIFY2(Database::create(path, {QFileInfo(path).fileName(), tables}, error), qPrintable(error.message));
}

inline void insertRows(const QString &path, const QString &table, const QStringList &columns, const QList<QVariantList> &rows)
{
    Error error;
    auto db = Database::openPath(path, error);
    QVERIFY2(db, qPrintable(error.message));
    const QString sql = u"INSERT INTO \"%1\" (\"%2\") VALUES (?%3)"_s.arg(table, columns.join(u"\",\""_s), u",?"_s.repeated(columns.size() - 1));
    for (const QVariantList &row : rows) {
        const Error e = EngineAccess::connection(*db).execute(sql, row);
        QVERIFY2(!e, qPrintable(e.message));
    }
}

// Every row of a table as text in stored order, "<null>" for a null.
inline QStringList tableRows(const QString &path, const QString &table)
{
    Error error;
    auto db = Database::openPath(path, error, Database::Access::Private);
    if (!db || !db->table(table))
        return {u"<missing>"_s};
    QStringList rows;
    EngineAccess::connection(*db).query(u"SELECT * FROM \"%1\" ORDER BY rowid"_s.arg(db->table(table)->name), {}, [&](const RowReader &r) {
        QStringList values;
        for (int c = 0; c < r.columnCount(); ++c)
            values << (r.isNull(c) ? u"<null>"_s : r.value(c).toString());
        rows << values.join(u'|');
        return true;
    });
    return rows;
}

// Every table of the five rebuilt files of a folder.
inline QMap<QString, QStringList> snapshot(const QDir &dir)
{
    QMap<QString, QStringList> all;
    for (const QString &file : rebuiltFileNames()) {
        Error error;
        const QString path = dir.filePath(findFileIgnoringCase(dir, file));
        auto db = Database::openPath(path, error, Database::Access::Private);
        for (const TableInfo &t : db ? db->tables() : QVector<TableInfo>())
            all.insert(file + u'/' + t.name, tableRows(path, t.name));
    }
    return all;
}

inline QStringList filesIn(const QDir &dir)
{
    return dir.entryList({u"*.tvd"_s, u"*.TVD"_s, u"*.txt"_s}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

// A data set and its templates; every rebuilt table of the data set holds rows.
inline void fillDataSet(const Folders &folders)
{
    QVERIFY(!createDataSetFiles(folders.templates()));
    QVERIFY(!createDataSetFiles(folders.work()));
    const QString tarvix = folders.in(u"Tarvix.tvd"_s), regiszt = folders.in(u"regiszt.tvd"_s);
    insertRows(tarvix, u"Tarvix"_s, {u"recordID"_s, u"PartnerNeve"_s, u"Ügyintézö"_s},
               {{u"20240307-1"_s, u"Árvíztűrő Kft."_s, u"Kiss Éva"_s}, {u"20240307-2"_s, u"Tükörfúró Bt."_s, {}}});
    insertRows(tarvix, u"Mellekletek"_s, {u"IktatasrecordID"_s, u"FotóÚtvonalaNeve"_s}, {{u"20240307-1"_s, u"C:\\képek\\a.jpg"_s}});
    insertRows(tarvix, u"SzamlaTartozas"_s, {u"PartnerNeve"_s, u"BruttóÖsszeg"_s}, {{u"Árvíztűrő Kft."_s, 12500.5}});
    insertRows(folders.in(u"TarvixArchiv.tvd"_s), u"Tarvix"_s, {u"recordID"_s}, {{u"20230101-9"_s}});
    insertRows(folders.in(u"Torzsek.tvd"_s), u"BePartner"_s, {u"BerNev"_s, u"recordID"_s}, {{u"Árvíztűrő Kft."_s, 1}, {u"Tükörfúró Bt."_s, 2}});
    insertRows(folders.in(u"Parameter.tvd"_s), u"Iktatoszam"_s, {u"Jelleg"_s, u"PartnerID"_s}, {{u"SZ"_s, 1}});
    insertRows(regiszt, u"Users"_s, {u"Felhasználó"_s, u"Jelszó"_s, u"JogosultságiSzint"_s}, {{u"demo"_s, {}, 1}, {u"Kiss Éva"_s, u"titok"_s, 2}});
    insertRows(regiszt, u"Regisztrálás"_s, {u"AkcióFelhasználó"_s, u"AkcióLeírás"_s}, {{u"demo"_s, u"Felhasználóváltás kérése"_s}});
}
