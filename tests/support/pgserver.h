#pragma once

// The throwaway PostgreSQL cluster of a test run (tests/support/pgcluster.sh,
// the `server` fixture): where it listens, and a private database per test.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

#include <libpq-fe.h>

#include <cstdio>
#include <unistd.h>

class PgTestServer {
public:
    // The fixture's connection string to the maintenance database; empty when
    // the run has no cluster (no server binaries).
    static QString adminConninfo()
    {
        const QString state = qEnvironmentVariable("TVX_PG_STATE");
        if (state.isEmpty())
            return {};
        QFile file(state + QStringLiteral("/conninfo"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).trimmed();
    }

    static bool available() { return !adminConninfo().isEmpty(); }

    // Runs one statement on the maintenance database; the error text, or empty.
    static QString admin(const QString &sql)
    {
        PGconn *conn = PQconnectdb(adminConninfo().toUtf8().constData());
        QString error;
        if (PQstatus(conn) != CONNECTION_OK) {
            error = QString::fromUtf8(PQerrorMessage(conn));
        } else {
            PGresult *r = PQexec(conn, sql.toUtf8().constData());
            if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
                error = QString::fromUtf8(PQresultErrorMessage(r));
            PQclear(r);
        }
        PQfinish(conn);
        return error;
    }
};

// A database of its own, made from template0 and dropped with the object.
class PgTestDatabase {
public:
    PgTestDatabase()
    {
        static int serial = 0;
        name_ = QStringLiteral("tvx_test_%1_%2").arg(::getpid()).arg(++serial);
        const QString error = PgTestServer::admin(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(name_));
        if (!error.isEmpty())
            qFatal("CREATE DATABASE %s: %s", qPrintable(name_), qPrintable(error));
    }
    ~PgTestDatabase() { PgTestServer::admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_)); }
    PgTestDatabase(const PgTestDatabase &) = delete;
    PgTestDatabase &operator=(const PgTestDatabase &) = delete;

    QString name() const { return name_; }
    // the fixture's connection string, aimed at this database (a later keyword wins)
    QString conninfo() const { return PgTestServer::adminConninfo() + QStringLiteral(" dbname=") + name_; }

private:
    QString name_;
};

// A test program's main for a server test: skipped (77) without a cluster.
#define TVX_SERVER_TEST_MAIN(TestObject)                                                       \
    int main(int argc, char *argv[])                                                           \
    {                                                                                          \
        if (!PgTestServer::available()) {                                                      \
            std::fprintf(stderr, "SKIP: no PostgreSQL test cluster (TVX_PG_STATE/conninfo)\n"); \
            return 77;                                                                         \
        }                                                                                      \
        QCoreApplication app(argc, argv);                                                      \
        TestObject tc;                                                                         \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }

// Runs each statement on the database of `conninfo`, in order; the test fails
// at the first one the server refuses.
inline void runServerStatements(const QString &conninfo, const QStringList &statements)
{
    PGconn *conn = PQconnectdb(conninfo.toUtf8().constData());
    QVERIFY2(PQstatus(conn) == CONNECTION_OK, PQerrorMessage(conn));
    for (const QString &sql : statements) {
        PGresult *r = PQexec(conn, sql.toUtf8().constData());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const QByteArray message = PQresultErrorMessage(r);
        PQclear(r);
        if (!ok)
            PQfinish(conn);
        QVERIFY2(ok, message.constData());
    }
    PQfinish(conn);
}
