#pragma once

// Working and template folders for the maintenance tests, filled through the
// data-source layer, and ways to read them back.

#include "data/database.h"
#include "data/dataset.h"
#include "data/engineaccess.h"
#include "data/names.h"
#include "maintenance/rebuild.h"
#include "data/templates.h"
#include "support/testdataset.h"

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tvx::data;

// On the server run (TVX_TEST_ENGINE=pg) the working folder names a database
// of its own on the test cluster: its files are schemas there, and a run's
// SAVE folder (which holds only the report) stands for its backup schemas.
// The templates are files on both.

// Where a path of the working folder lives on the server: its database and
// schema; an empty conninfo for a file.
struct ServerPlace {
    QString conninfo;
    QString schema;
};

inline ServerPlace serverPlace(const QString &path)
{
    const QFileInfo info(path);
    QDir dir = info.dir();
    QString prefix;
    if (dir.dirName().startsWith(u"SAVE-"_s)) {
        prefix = u"save_"_s + dir.dirName().mid(5).replace(u'-', u'_') + u'_';
        dir.setPath(QFileInfo(dir.absolutePath()).path());
    }
    QString conninfo;
    if (serverConninfo(dir, conninfo) || conninfo.isEmpty())
        return {};
    return {conninfo, prefix + serverSchemaFor(info.fileName())};
}

#ifdef TVX_HAVE_LIBPQ
// The data set's database itself, for statements on any of its schemas.
inline std::unique_ptr<ServerConnection> serverDatabase(const QString &conninfo)
{
    Error error;
    auto connection = openServer(conninfo, QString(), error);
    if (!connection)
        qWarning("%s", qPrintable(error.message));
    return connection;
}

inline QStringList serverSchemas(const QString &conninfo, const QString &prefix)
{
    QStringList schemas;
    if (auto db = serverDatabase(conninfo)) {
        db->query(u"SELECT nspname FROM pg_catalog.pg_namespace WHERE starts_with(nspname, ?) ORDER BY nspname"_s, {prefix},
                  [&](const RowReader &r) {
                      schemas << r.value(0).toString();
                      return true;
                  });
    }
    return schemas;
}
#endif

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
#ifdef TVX_HAVE_LIBPQ
    std::unique_ptr<PgTestDatabase> server;  // dropped before the folders go
#endif
    explicit Folders(const QString &workFolder = u"work"_s) : workName(workFolder)
    {
        QDir(root.path()).mkpath(workName);
        QDir(root.path()).mkpath(u"Data"_s);
#ifdef TVX_HAVE_LIBPQ
        if (testEngineIsServer()) {
            server = std::make_unique<PgTestDatabase>();
            if (const Error e = writeServerConninfo(work(), server->conninfo()))
                qFatal("%s", qPrintable(e.message));
        }
#endif
    }
    QDir work() const { return QDir(root.path() + u'/' + workName); }
    QDir templates() const { return QDir(root.path() + u"/Data"_s); }
    QString in(const QString &relative) const { return work().filePath(relative); }
    bool onServer() const { return testEngineIsServer(); }
    QString conninfo() const
    {
#ifdef TVX_HAVE_LIBPQ
        return server ? server->conninfo() : QString();
#else
        return {};
#endif
    }
};

inline FieldDef text(const char *name, int size = 50) { return {QString::fromUtf8(name), FieldType::Text, size}; }

inline void createFile(const QString &path, const QVector<TableDef> &tables)
{
    const ServerPlace place = serverPlace(path);
    if (!place.conninfo.isEmpty()) {
#ifdef TVX_HAVE_LIBPQ
        const DatabaseFileDef definition{QFileInfo(path).fileName(), tables};
        runServerStatements(place.conninfo, serverSupportStatements() + QStringList{u"DROP SCHEMA IF EXISTS \"%1\" CASCADE"_s.arg(place.schema)} +
                                                serverCreateStatements(definition, place.schema));
#endif
        return;
    }
    Error error;
    QVERIFY2(Database::create(path, {QFileInfo(path).fileName(), tables}, error), qPrintable(error.message));
}

inline void insertRows(const QString &path, const QString &table, const QStringList &columns, const QList<QVariantList> &rows)
{
    const QString sql = u"INSERT INTO \"%1\" (\"%2\") VALUES (?%3)"_s.arg(table, columns.join(u"\",\""_s), u",?"_s.repeated(columns.size() - 1));
    const ServerPlace place = serverPlace(path);
    if (!place.conninfo.isEmpty()) {
#ifdef TVX_HAVE_LIBPQ
        Error error;
        auto connection = openServer(place.conninfo, QFileInfo(path).fileName(), error);
        QVERIFY2(connection, qPrintable(error.message));
        for (const QVariantList &row : rows) {
            const Error e = connection->execute(sql, row);
            QVERIFY2(!e, qPrintable(e.message));
        }
#endif
        return;
    }
    Error error;
    auto db = Database::openPath(path, error);
    QVERIFY2(db, qPrintable(error.message));
    for (const QVariantList &row : rows) {
        const Error e = EngineAccess::connection(*db).execute(sql, row);
        QVERIFY2(!e, qPrintable(e.message));
    }
}

// The names of the tables of a file (or schema), in its order; empty when it is missing.
inline QStringList tableNamesOf(const QString &path)
{
    QStringList names;
    const ServerPlace place = serverPlace(path);
    if (!place.conninfo.isEmpty()) {
#ifdef TVX_HAVE_LIBPQ
        QVector<StoredTable> tables;
        if (auto db = serverDatabase(place.conninfo); db && !db->readCatalog(place.schema, tables)) {
            for (const StoredTable &t : tables)
                names << t.name;
        }
#endif
        return names;
    }
    Error error;
    if (auto db = Database::openPath(path, error, Database::Access::Private))
        names = db->tableNames();
    return names;
}

// Every row of a table as text in stored order, "<null>" for a null.
inline QStringList tableRows(const QString &path, const QString &table)
{
    QStringList rows;
    auto read = [&rows](Connection &connection, const QString &sql) {
        connection.query(sql, {}, [&](const RowReader &r) {
            QStringList values;
            for (int c = 0; c < r.columnCount(); ++c)
                values << (r.isNull(c) ? u"<null>"_s : r.value(c).toString());
            rows << values.join(u'|');
            return true;
        });
    };
    const ServerPlace place = serverPlace(path);
    if (!place.conninfo.isEmpty()) {
#ifdef TVX_HAVE_LIBPQ
        // the columns of the data, without the key column, in the key's order
        QVector<StoredTable> tables;
        auto db = serverDatabase(place.conninfo);
        if (!db || db->readCatalog(place.schema, tables))
            return {u"<missing>"_s};
        const auto found = std::find_if(tables.begin(), tables.end(), [&](const StoredTable &t) { return sameName(t.name, table); });
        if (found == tables.end())
            return {u"<missing>"_s};
        QStringList columns;
        for (const FieldDef &f : found->fields)
            columns << quoteIdentifier(f.name);
        read(*db, u"SELECT %1 FROM %2 ORDER BY \"tvx_id\""_s.arg(columns.join(u", "_s), serverDialect().qualified(place.schema, found->name)));
#endif
        return rows;
    }
    Error error;
    auto db = Database::openPath(path, error, Database::Access::Private);
    if (!db || !db->table(table))
        return {u"<missing>"_s};
    read(EngineAccess::connection(*db), u"SELECT * FROM \"%1\" ORDER BY rowid"_s.arg(db->table(table)->name));
    return rows;
}

// Every table of the five rebuilt files of a folder.
inline QMap<QString, QStringList> snapshot(const QDir &dir)
{
    QMap<QString, QStringList> all;
    for (const QString &file : rebuiltFileNames()) {
        const QString found = findFileIgnoringCase(dir, file);
        const QString path = dir.filePath(found.isEmpty() ? file : found);
        for (const QString &table : tableNamesOf(path))
            all.insert(file + u'/' + table, tableRows(path, table));
    }
    return all;
}

inline QStringList filesIn(const QDir &dir)
{
    return dir.entryList({u"*.tvd"_s, u"*.TVD"_s, u"*.txt"_s}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

// The database files a run's backup holds: the files in its SAVE folder, or
// on the server the files whose backup schemas it made, by their names.
inline QStringList backedUp(const Folders &f, const QString &backupName)
{
#ifdef TVX_HAVE_LIBPQ
    if (f.onServer()) {
        const QString prefix = u"save_"_s + backupName.mid(5).replace(u'-', u'_') + u'_';
        QStringList names;
        for (const QString &schema : serverSchemas(f.conninfo(), prefix))
            names << databaseFile(schema.mid(prefix.size()) + u".tvd"_s)->fileName;
        names.sort(Qt::CaseInsensitive);
        return names;
    }
#endif
    return QDir(f.in(backupName)).entryList({u"*.tvd"_s, u"*.TVD"_s}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

// A file of the data set goes missing.
inline void removeDataSetFile(const Folders &f, const QString &name)
{
    const ServerPlace place = serverPlace(f.in(name));
    if (!place.conninfo.isEmpty()) {
#ifdef TVX_HAVE_LIBPQ
        runServerStatements(place.conninfo, {u"DROP SCHEMA \"%1\" CASCADE"_s.arg(place.schema)});
#endif
        return;
    }
    QVERIFY(QFile::remove(f.in(name)));
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
