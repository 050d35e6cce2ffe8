// The PostgreSQL connection on its own, against the test cluster: what the
// data-source layer asks of an engine (statements with parameters, rows,
// write transactions, the catalog, new rows' keys, errors as the user reads them).

#include "data/dialect.h"
#include "data/jetsql.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/pgconnection.h"
#include "data/schema.h"
#include "data/servercopy.h"
#include "data/sqlbuilder.h"
#include "data/templates.h"
#include "support/pgserver.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tvx::data;

namespace {

// Makes the schemas of the given files in the database.
void createFiles(const QString &conninfo, const QStringList &fileNames)
{
    QStringList statements;
    for (const QString &name : fileNames)
        statements += serverCreateStatements(*databaseFile(name));
    runServerStatements(conninfo, statements);
}

std::unique_ptr<ServerConnection> open(const QString &conninfo, const QString &fileName)
{
    Error error;
    auto conn = openServer(conninfo, fileName, error);
    if (!conn)
        qWarning("%s", qPrintable(error.message));
    return conn;
}

QVariantList row(Connection &conn, const QString &sql, const QVariantList &params = {})
{
    QVariantList values;
    const Error e = conn.query(sql, params, [&](const RowReader &r) {
        for (int c = 0; c < r.columnCount(); ++c)
            values << r.value(c);
        return false;
    });
    if (e)
        qWarning("%s", qPrintable(e.message));
    return values;
}

qint64 count(Connection &conn, const QString &table)
{
    return row(conn, QStringLiteral("SELECT count(*) FROM %1").arg(table)).value(0).toLongLong();
}

}  // namespace

class TestPgConnection : public QObject {
    Q_OBJECT

    std::unique_ptr<PgTestDatabase> db;

private Q_SLOTS:
    void init()
    {
        setBusyTimeout(5000);
        db = std::make_unique<PgTestDatabase>();
        createFiles(db->conninfo(), {QStringLiteral("regiszt.tvd"), QStringLiteral("Tarvix.tvd")});
    }
    void cleanup() { db.reset(); }

    void eachFileIsASchemaFoundByAnySpelling()
    {
        QCOMPARE(serverSchemaFor(QStringLiteral("Regiszt.tvd")), QStringLiteral("regiszt"));
        QCOMPARE(serverSchemaFor(QStringLiteral("TARVIXARCHIV.TVD")), QStringLiteral("tarvixarchiv"));
        QCOMPARE(serverSchemaFor(QStringLiteral("Parameter.tvd")), QStringLiteral("parameter"));
        QCOMPARE(serverSchemaFor(QStringLiteral("other.tvd")), QString());

        auto conn = open(db->conninfo(), QStringLiteral("REGISZT.tvd"));
        QVERIFY(conn);
        QCOMPARE(conn->schema(), QStringLiteral("regiszt"));
        QCOMPARE(conn->filePath(), QStringLiteral("regiszt.tvd"));
        // unqualified names are the schema's own
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(0));
    }

    void aMissingSchemaOrServerFailsToOpen()
    {
        Error error;
        QVERIFY(!openServer(db->conninfo(), QStringLiteral("Torzsek.tvd"), error));
        QCOMPARE(error.code, ErrorCode::FileMissing);
        QVERIFY2(error.message.contains(QStringLiteral("TORZSEK.TVD")), qPrintable(error.message));

        QVERIFY(!openServer(db->conninfo(), QStringLiteral("semmi.tvd"), error));
        QCOMPARE(error.code, ErrorCode::FileMissing);

        QVERIFY(!openServer(db->conninfo() + QStringLiteral(" dbname=tvx_no_such_database"), QStringLiteral("regiszt.tvd"), error));
        QCOMPARE(error.code, ErrorCode::Io);
        QCOMPARE(error.message, messages::serverUnreachable(QStringLiteral("regiszt.tvd")).message);
    }

    void catalogGivesTablesAndFieldsInOrderWithoutTheKey()
    {
        auto conn = open(db->conninfo(), QStringLiteral("Tarvix.tvd"));
        QVERIFY(conn);
        QVector<StoredTable> tables;
        QVERIFY(!conn->readCatalog(tables));
        const DatabaseFileDef &def = *databaseFile(QStringLiteral("Tarvix.tvd"));
        QCOMPARE(tables.size(), def.tables.size());
        for (int t = 0; t < tables.size(); ++t) {
            QCOMPARE(tables[t].name, def.tables[t].name);
            QCOMPARE(tables[t].fields.size(), def.tables[t].fields.size());
            for (int f = 0; f < tables[t].fields.size(); ++f) {
                const FieldDef &got = tables[t].fields[f], &want = def.tables[t].fields[f];
                QCOMPARE(got.name, want.name);
                QCOMPARE(int(got.type), int(want.type));
                QCOMPARE(got.size, want.size);
            }
        }
        // another schema of the same database by its name; the layer's own tables stay out
        QVERIFY(!conn->execute(QStringLiteral("CREATE TABLE regiszt.tvx_notes (a integer)")));
        QVERIFY(!conn->readCatalog(QStringLiteral("regiszt"), tables));
        QCOMPARE(tables.size(), 2);
        QCOMPARE(tables[0].name, QStringLiteral("Users"));
        QCOMPARE(tables[1].name, QStringLiteral("Regisztrálás"));
        QCOMPARE(int(tables[1].fields[3].type), int(FieldType::Time));
        // every table made here has its key; one made by another tool without it is refused
        QVERIFY(!conn->ensureStableKeys({QStringLiteral("Tarvix"), QStringLiteral("Mellekletek"), QStringLiteral("SzamlaTartozas")}));
        QVERIFY(!conn->execute(QStringLiteral("CREATE TABLE \"Jegyzet\" (\"Szoveg\" varchar(20))")));
        QVERIFY(!conn->readCatalog(tables));
        QCOMPARE(tables.size(), 4);
        QCOMPARE(conn->ensureStableKeys({QStringLiteral("Tarvix"), QStringLiteral("Jegyzet")}).code, ErrorCode::BadStatement);
    }

    void textColumnsCarryTheirOwnCollation()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        const QVariantList collations = row(*conn, QStringLiteral("SELECT count(*) FILTER (WHERE c.collname = 'hu-x-icu'), count(*) "
                                                                  "FROM information_schema.columns i "
                                                                  "JOIN pg_collation c ON c.collname = i.collation_name "
                                                                  "WHERE i.table_schema = 'regiszt'"));
        QCOMPARE(collations.value(0).toLongLong(), collations.value(1).toLongLong());
        // every text column of both tables: 3 of Users, 6 of the activity log
        QCOMPARE(collations.value(1).toLongLong(), qint64(9));
    }

    void newRowsGetKeysNeverHandedOutTwice()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        qint64 first = 0, second = 0, third = 0;
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("demo")}, first));
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {}, {}, second));
        QCOMPARE(conn->lastInsertKey(), second);
        QVERIFY(second > first);
        QVERIFY(!conn->execute(QStringLiteral("DELETE FROM \"Users\" WHERE \"tvx_id\" = ?"), {second}));
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("Kiss Éva")}, third));
        QVERIFY(third > second);
        // the key column is the engine's: nobody writes it
        QVERIFY(conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"tvx_id\") VALUES (?)"), {third + 1}));
    }

    void valuesComeBackAsTheLayerReadsThem()
    {
        auto conn = open(db->conninfo(), QStringLiteral("Tarvix.tvd"));
        QVERIFY(conn);
        qint64 key = 0;
        // what toStorage() hands the engine: text, ISO dates, 0/1, whole numbers as qint64, doubles
        QVERIFY(!conn->insertRow(QStringLiteral("SzamlaTartozas"),
                                 {QStringLiteral("IktatásRecordID"), QStringLiteral("PartnerID"), QStringLiteral("OkmányKelte"),
                                  QStringLiteral("BruttóÖsszeg"), QStringLiteral("OkmánySzám")},
                                 {QStringLiteral("ő'ű\"?$1"), qint64(42), QStringLiteral("2024-03-07"), 12345.5, QVariant()}, key));
        const QVariantList values = row(*conn,
                                        QStringLiteral("SELECT \"IktatásRecordID\", \"PartnerID\", \"OkmányKelte\", \"BruttóÖsszeg\", "
                                                       "\"OkmánySzám\", '?' FROM \"SzamlaTartozas\" WHERE \"tvx_id\" = ?"),
                                        {key});
        QCOMPARE(values.size(), 6);
        QCOMPARE(values[0], QVariant(QStringLiteral("ő'ű\"?$1")));
        QCOMPARE(values[1], QVariant::fromValue<qint64>(42));
        QCOMPARE(values[2], QVariant(QStringLiteral("2024-03-07")));
        QCOMPARE(values[3], QVariant(12345.5));
        QVERIFY(values[4].isNull());
        // a ? inside quotes is text, not a parameter
        QCOMPARE(values[5], QVariant(QStringLiteral("?")));

        QVERIFY(!conn->insertRow(QStringLiteral("Tarvix"), {QStringLiteral("recordID"), QStringLiteral("SzámlaTartozás")},
                                 {QStringLiteral("20240307-1"), 1}, key));
        QVERIFY(!conn->execute(QStringLiteral("UPDATE \"Tarvix\" SET \"Foto\" = ? WHERE \"tvx_id\" = ?"), {0, key}));
        const QVariantList flags = row(*conn, QStringLiteral("SELECT \"SzámlaTartozás\", \"Foto\", \"Email\" FROM \"Tarvix\""));
        QCOMPARE(flags, (QVariantList{QVariant::fromValue<qint64>(1), QVariant::fromValue<qint64>(0), QVariant()}));
        // a number compares as a number, whatever the column's width, and one
        // statement text takes whole and fractional numbers in turn
        QCOMPARE(row(*conn, QStringLiteral("SELECT count(*) FROM \"Tarvix\" WHERE \"SzámlaTartozás\" = ?"), {1}).value(0).toLongLong(), qint64(1));
        const QString below = QStringLiteral("SELECT count(*) FROM \"SzamlaTartozas\" WHERE \"PartnerID\" < ?");
        QCOMPARE(row(*conn, below, {qint64(43)}), (QVariantList{QVariant::fromValue<qint64>(1)}));
        QCOMPARE(row(*conn, below, {42.5}), (QVariantList{QVariant::fromValue<qint64>(1)}));
        QCOMPARE(row(*conn, below, {41.5}), (QVariantList{QVariant::fromValue<qint64>(0)}));
        QCOMPARE(row(*conn, QStringLiteral("SELECT count(*) FROM \"SzamlaTartozas\" WHERE \"PartnerID\" = ?"), {42.0}).value(0).toLongLong(), qint64(1));
    }

    void rowsStreamAndAnEarlyStopLeavesTheConnectionUsable()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        int changes = 0;
        QVERIFY(!conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"Felhasználó\", \"JogosultságiSzint\") "
                                              "SELECT 'u' || g, g % 3 FROM generate_series(1, 5000) g"),
                               {}, &changes));
        QCOMPARE(changes, 5000);
        int seen = 0;
        QVERIFY(!conn->query(QStringLiteral("SELECT \"Felhasználó\" FROM \"Users\" ORDER BY \"tvx_id\""), {}, [&](const RowReader &r) {
            ++seen;
            return r.value(0).toString() != QLatin1String("u3");
        }));
        QCOMPARE(seen, 3);
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(5000));
        QVERIFY(!conn->execute(QStringLiteral("DELETE FROM \"Users\" WHERE \"JogosultságiSzint\" = ?"), {0}, &changes));
        QCOMPARE(changes, 1666);
    }

    void aQueryInsideAnotherOnesRowsIsRefused()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        qint64 key = 0;
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("demo")}, key));
        Error inner;
        QVERIFY(!conn->query(QStringLiteral("SELECT 1 FROM \"Users\""), {}, [&](const RowReader &) {
            inner = conn->execute(QStringLiteral("DELETE FROM \"Users\""));
            return true;
        }));
        QCOMPARE(inner.code, ErrorCode::BadStatement);
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(1));
    }

    void failuresReadAsTheUserIsTold()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        Error e = conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"Jelszó\") VALUES (?)"), {QString(11, u'x')});
        QCOMPARE(e.code, ErrorCode::ValueDoesNotFit);
        QVERIFY2(e.message.contains(QStringLiteral("„Jelszó”")) || e.message.contains(QStringLiteral("regiszt.tvd")), qPrintable(e.message));
        e = conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"JogosultságiSzint\") VALUES (?)"), {QStringLiteral("sok")});
        QCOMPARE(e.code, ErrorCode::ValueDoesNotFit);
        e = conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"JogosultságiSzint\") VALUES (?)"), {qint64(70000)});
        QCOMPARE(e.code, ErrorCode::ValueDoesNotFit);
        e = conn->query(QStringLiteral("SELECT * FROM \"Nincs\""), {}, [](const RowReader &) { return true; });
        QCOMPARE(e.code, ErrorCode::NoSuchTable);
        QVERIFY2(e.message.contains(QStringLiteral("„Nincs”")), qPrintable(e.message));
        e = conn->query(QStringLiteral("SELECT \"Nincs\" FROM \"Users\""), {}, [](const RowReader &) { return true; });
        QCOMPARE(e.code, ErrorCode::NoSuchField);
        e = conn->execute(QStringLiteral("SELEKT 1"));
        QCOMPARE(e.code, ErrorCode::BadStatement);
        e = conn->query(QStringLiteral("SELECT 'a' ~* ?"), {QStringLiteral("(")}, [](const RowReader &) { return true; });
        QCOMPARE(e.code, ErrorCode::BadStatement);
        // and the connection goes on
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(0));
    }

    void writesCommitOrLeaveNothing()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        qint64 key = 0;
        QVERIFY(!conn->beginWrite());
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("eldobva")}, key));
        conn->rollback();
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(0));

        QVERIFY(!conn->beginWrite());
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("megmarad")}, key));
        QVERIFY(!conn->commit());
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(1));

        // a failed statement spoils its transaction: the commit says so and nothing is written
        QVERIFY(!conn->beginWrite());
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("félkész")}, key));
        QVERIFY(conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"Jelszó\") VALUES (?)"), {QString(11, u'x')}));
        QVERIFY(conn->commit());
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(1));
    }

    void oneWriterPerFileAndAWaitEndsBusy()
    {
        setBusyTimeout(100);
        auto a = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        auto b = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        auto other = open(db->conninfo(), QStringLiteral("Tarvix.tvd"));
        QVERIFY(a && b && other);
        QVERIFY(!a->beginWrite());
        const Error e = b->beginWrite();
        QCOMPARE(e.code, ErrorCode::Busy);
        QCOMPARE(e.message, messages::busy(QStringLiteral("regiszt.tvd")).message);
        // another file of the data set writes on
        QVERIFY(!other->beginWrite());
        QVERIFY(!other->commit());
        a->rollback();
        QVERIFY(!b->beginWrite());
        QVERIFY(!b->commit());
    }

    void copyingRowsIsOneTransaction()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        int copied = 0;
        QVERIFY(!conn->execute(QStringLiteral("INSERT INTO \"Users\" (\"Felhasználó\") VALUES ('a'), ('b')")));
        QVERIFY(!conn->insertSelect(QStringLiteral("Users"),
                                    QStringLiteral("INSERT INTO \"Users\" (\"Felhasználó\") SELECT \"Felhasználó\" || ? FROM \"Users\" "
                                                   "ORDER BY \"tvx_id\""),
                                    {QStringLiteral("2")}, &copied));
        QCOMPARE(copied, 2);
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(4));
        // a copy that fails halfway leaves nothing behind
        QVERIFY(conn->insertSelect(QStringLiteral("Users"),
                                   QStringLiteral("INSERT INTO \"Users\" (\"Jelszó\") SELECT repeat(\"Felhasználó\", 6) FROM \"Users\""), {},
                                   &copied));
        QCOMPARE(count(*conn, QStringLiteral("\"Users\"")), qint64(4));
    }

    // The columns the screens look rows up by (the new entry's identifier, in
    // the archive too, the filing number, an entry's attachments) are indexed
    // in a data set put on the server, and the conditions the layer writes for
    // them, "=" and a whole value under like, can use that index.
    void lookupsByIdentifierAndFilingNumberCanUseAnIndex()
    {
        QTemporaryDir files;
        QVERIFY(!createDataSetFiles(QDir(files.path())));
        PgTestDatabase target;
        QVector<CopiedTable> copied;
        const Error copyError = copyDataSetToServer(QDir(files.path()), target.conninfo(), copied);
        QVERIFY2(!copyError, qPrintable(copyError.message));
        struct Lookup {
            const char *file, *table, *criteria, *index;
        };
        const Lookup lookups[] = {
            {"Tarvix.tvd", "Tarvix", "[recordID] = '2024051312000001'", "Tarvix_recordID_idx"},
            {"Tarvix.tvd", "Tarvix", "[Iktatószám] = 'SZ/B1-1'", "Tarvix_Iktatószám_idx"},
            {"Tarvix.tvd", "Tarvix", "[Iktatószám] like 'sz/b1-1'", "Tarvix_Iktatószám_idx"},
            {"Tarvix.tvd", "Mellekletek", "[IktatasrecordID] = '2024051312000001'", "Mellekletek_IktatasrecordID_idx"},
            {"TarvixArchiv.tvd", "Tarvix", "[recordID] = '2024051312000001'", "Tarvix_recordID_idx"},
            {"TarvixArchiv.tvd", "Tarvix", "[Iktatószám] like 'SZ[*]1'", "Tarvix_Iktatószám_idx"},
        };
        for (const Lookup &l : lookups) {
            const QString what = QStringLiteral("%1 %2: %3").arg(QLatin1String(l.file), QLatin1String(l.table), QString::fromUtf8(l.criteria));
            auto conn = open(target.conninfo(), QLatin1String(l.file));
            QVERIFY(conn);
            // an empty table is read whole anyway; only whether the index fits is asked
            QVERIFY(!conn->execute(QStringLiteral("SET enable_seqscan = off")));
            const TableDef *def = nullptr;
            for (const TableDef &t : databaseFile(QLatin1String(l.file))->tables) {
                if (t.name == QLatin1String(l.table))
                    def = &t;
            }
            QVERIFY(def);
            const TableInfo table(def->name, def->fields);
            const auto parsed = jet::parseCriteria(QString::fromUtf8(l.criteria));
            QVERIFY(parsed);
            const SqlText where = whereClause(*parsed.value, table, serverDialect());
            QVERIFY(!where.error);
            QString plan;
            const Error e = conn->query(QStringLiteral("EXPLAIN SELECT \"tvx_id\" FROM %1 WHERE %2").arg(quoteIdentifier(table.name), where.sql),
                                        where.params, [&](const RowReader &r) {
                                            plan += r.value(0).toString() + u'\n';
                                            return true;
                                        });
            QVERIFY2(!e, qPrintable(what + u' ' + e.message));
            QVERIFY2(plan.contains(QStringLiteral("\"%1\"").arg(QString::fromUtf8(l.index))), qPrintable(what + u'\n' + plan));
        }
    }

    void aLostSessionFailsThePendingWriteAndIsMadeAnew()
    {
        auto conn = open(db->conninfo(), QStringLiteral("regiszt.tvd"));
        QVERIFY(conn);
        qint64 key = 0;
        QVERIFY(!conn->insertRow(QStringLiteral("Users"), {QStringLiteral("Felhasználó")}, {QStringLiteral("demo")}, key));
        const qint64 pid = row(*conn, QStringLiteral("SELECT pg_backend_pid()")).value(0).toLongLong();
        const quint64 generation = conn->sessionGeneration();

        QVERIFY(!conn->beginWrite());
        QCOMPARE(PgTestServer::admin(QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid)), QString());
        Error e = conn->execute(QStringLiteral("UPDATE \"Users\" SET \"Jelszó\" = ? WHERE \"tvx_id\" = ?"), {QStringLiteral("titok"), key});
        QCOMPARE(e.code, ErrorCode::Io);
        QCOMPARE(e.message, messages::serverConnectionLost(QStringLiteral("regiszt.tvd")).message);
        QVERIFY(!conn->isConnected());
        // still inside the lost transaction: nothing runs on its own in a new session
        e = conn->execute(QStringLiteral("UPDATE \"Users\" SET \"Jelszó\" = ? WHERE \"tvx_id\" = ?"), {QStringLiteral("titok"), key});
        QCOMPARE(e.code, ErrorCode::Io);
        QVERIFY(conn->commit());
        conn->rollback();

        // the next statement runs in a new session, which the generation tells
        QCOMPARE(row(*conn, QStringLiteral("SELECT \"Jelszó\" FROM \"Users\" WHERE \"tvx_id\" = ?"), {key}), (QVariantList{QVariant()}));
        QVERIFY(conn->isConnected());
        QVERIFY(conn->sessionGeneration() > generation);
        QVERIFY(!conn->beginWrite());
        QVERIFY(!conn->execute(QStringLiteral("UPDATE \"Users\" SET \"Jelszó\" = ? WHERE \"tvx_id\" = ?"), {QStringLiteral("új"), key}));
        QVERIFY(!conn->commit());
        QCOMPARE(row(*conn, QStringLiteral("SELECT \"Jelszó\" FROM \"Users\"")), (QVariantList{QStringLiteral("új")}));
    }
};

TVX_SERVER_TEST_MAIN(TestPgConnection)

#include "tst_pgconnection.moc"
