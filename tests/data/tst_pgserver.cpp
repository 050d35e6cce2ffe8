// The test cluster itself: reachable through libpq on its private socket, set
// up so that leaning on the database's default collation shows, and with the
// ICU collation the server engine's text columns use.

#include "support/pgserver.h"

#include <QObject>
#include <QTest>

namespace {

// One row, one column of a query on `conninfo`; `ok` false on any failure.
QString scalar(const QString &conninfo, const char *sql, bool &ok)
{
    ok = false;
    PGconn *conn = PQconnectdb(conninfo.toUtf8().constData());
    QString value;
    if (PQstatus(conn) == CONNECTION_OK) {
        PGresult *r = PQexec(conn, sql);
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
            value = QString::fromUtf8(PQgetvalue(r, 0, 0));
            ok = true;
        } else {
            qWarning("%s", PQresultErrorMessage(r));
        }
        PQclear(r);
    } else {
        qWarning("%s", PQerrorMessage(conn));
    }
    PQfinish(conn);
    return value;
}

}  // namespace

class TestPgServer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listensOnItsPrivateSocketOnly()
    {
        bool ok = false;
        QCOMPARE(scalar(PgTestServer::adminConninfo(), "SHOW listen_addresses", ok), QString());
        QVERIFY(ok);
        const QString socketFolder = scalar(PgTestServer::adminConninfo(), "SHOW unix_socket_directories", ok);
        QVERIFY(ok);
        QVERIFY2(PgTestServer::adminConninfo().contains(QStringLiteral("host=") + socketFolder), qPrintable(socketFolder));
    }

    void defaultCollationIsPlainC()
    {
        PgTestDatabase db;
        bool ok = false;
        QCOMPARE(scalar(db.conninfo(), "SELECT datcollate FROM pg_database WHERE datname = current_database()", ok), QStringLiteral("C"));
        QVERIFY(ok);
        QCOMPARE(scalar(db.conninfo(), "SHOW server_encoding", ok), QStringLiteral("UTF8"));
        // under C only ASCII letters change case: what a column without its own collation would do
        QCOMPARE(scalar(db.conninfo(), "SELECT lower('ÁRVÍZTŰRŐ')", ok), QStringLiteral("ÁrvÍztŰrŐ"));
    }

    void hungarianIcuCollationIsThere()
    {
        PgTestDatabase db;
        bool ok = false;
        QCOMPARE(scalar(db.conninfo(), "SELECT lower('ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP' COLLATE \"hu-x-icu\")", ok),
                 QStringLiteral("árvíztűrő tükörfúrógép"));
        QVERIFY(ok);
        // deterministic: letters equal but for accents stay different
        QCOMPARE(scalar(db.conninfo(), "SELECT ('a' COLLATE \"hu-x-icu\") = 'á'", ok), QStringLiteral("f"));
        QCOMPARE(scalar(db.conninfo(), "SELECT collisdeterministic FROM pg_collation WHERE collname = 'hu-x-icu'", ok), QStringLiteral("t"));
    }

    void eachTestDatabaseIsItsOwn()
    {
        QString name;
        {
            PgTestDatabase db;
            name = db.name();
            bool ok = false;
            QCOMPARE(scalar(db.conninfo(), "SELECT current_database()", ok), name);
            QVERIFY(ok);
        }
        bool ok = false;
        QCOMPARE(scalar(PgTestServer::adminConninfo(),
                        qPrintable(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = '%1'").arg(name)), ok),
                 QStringLiteral("0"));
        QVERIFY(ok);
    }
};

TVX_SERVER_TEST_MAIN(TestPgServer)

#include "tst_pgserver.moc"
