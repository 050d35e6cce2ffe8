#pragma once

#include "data/dataset.h"
#include "data/templates.h"

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#include "support/pgserver.h"
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <memory>

// Which engine a test run's data sets live on: TVX_TEST_ENGINE=pg puts each
// on a database of its own on the test cluster (TVX_PG_STATE); otherwise
// they are files.
inline bool testEngineIsServer() { return qgetenv("TVX_TEST_ENGINE") == "pg"; }

// A run meant for the server skips as a whole (77) when the run has no
// cluster (no server binaries on this machine); checked before main().
inline const bool testEngineAvailable = [] {
    if (!testEngineIsServer())
        return true;
#ifdef TVX_HAVE_LIBPQ
    if (PgTestServer::available())
        return true;
#endif
    std::fprintf(stderr, "SKIP: no PostgreSQL test cluster (TVX_PG_STATE/conninfo)\n");
    std::_Exit(77);
}();

// Cases about the files themselves (what a SQLite tool sees, lock files, paths
// of other folders) have nothing to check on the server.
#define TVX_FILES_ONLY(why)          \
    do {                             \
        if (testEngineIsServer())    \
            QSKIP(why);              \
    } while (false)

// A fresh data set (the six database files with their default rows, or the
// same on the server) in a temporary folder that is removed with the object.
class TestDataSet {
public:
    TestDataSet()
    {
        QVERIFY2(tmp_.isValid(), "no temporary folder");
        if (testEngineIsServer()) {
#ifdef TVX_HAVE_LIBPQ
            server_ = std::make_unique<PgTestDatabase>();
            if (const auto e = tvx::data::writeServerConninfo(dir(), server_->conninfo()))
                qFatal("%s", qPrintable(e.message));
#else
            qFatal("TVX_TEST_ENGINE=pg in a build without libpq");
#endif
        }
        const auto error = tvx::data::createDataSetFiles(dir());
        if (error)
            qFatal("%s", qPrintable(error.message));
    }
    QDir dir() const { return QDir(tmp_.path()); }
    QString path(const QString &name) const { return dir().filePath(name); }

    // Takes a file of the data set away, as a mistake or a broken share does:
    // the file, or on the server the schema that stands for it.
    bool removeFile(const QString &name)
    {
#ifdef TVX_HAVE_LIBPQ
        if (server_)
            return onServerDatabase(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(schemaOf(name)));
#endif
        return QFile::remove(path(name));
    }
    // Puts a file of the data set under another name (and back).
    bool renameFile(const QString &from, const QString &to)
    {
#ifdef TVX_HAVE_LIBPQ
        if (server_)
            return onServerDatabase(QStringLiteral("ALTER SCHEMA \"%1\" RENAME TO \"%2\"").arg(schemaOf(from), schemaOf(to)));
#endif
        return QFile::rename(path(from), path(to));
    }
#ifdef TVX_HAVE_LIBPQ
    bool onServer() const { return server_ != nullptr; }
    // the data set's database on the test cluster; empty for files
    QString conninfo() const { return server_ ? server_->conninfo() : QString(); }
#else
    bool onServer() const { return false; }
#endif

private:
#ifdef TVX_HAVE_LIBPQ
    // a file of the data set, or any other name as a schema of its own
    static QString schemaOf(const QString &fileName)
    {
        const QString schema = tvx::data::serverSchemaFor(fileName);
        return schema.isEmpty() ? QFileInfo(fileName).completeBaseName().toLower() : schema;
    }
    bool onServerDatabase(const QString &sql) const
    {
        PGconn *conn = PQconnectdb(server_->conninfo().toUtf8().constData());
        PGresult *r = PQexec(conn, sql.toUtf8().constData());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), PQresultErrorMessage(r));
        PQclear(r);
        PQfinish(conn);
        return ok;
    }
#endif
    QTemporaryDir tmp_;
#ifdef TVX_HAVE_LIBPQ
    // dropped after the folder's last database is closed by the test
    std::unique_ptr<PgTestDatabase> server_;
#endif
};
