// The server's SQL text against the test cluster: on the same rows, every
// condition the builder writes selects what the file engine selects
// (`like` with the Hungarian corpus, `=` and order of text, `like` on
// numbers, yes/no, dates and times).

#include "data/connection.h"
#include "data/jetsql.h"
#include "data/pgconnection.h"
#include "data/sqlbuilder.h"
#include "data/textmatch.h"
#include "data/values.h"
#include "likecorpus.h"
#include "support/pgserver.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace tvx::data;

namespace {

const TableDef kTable{u"Szavak"_s,
                      {{u"Sor"_s, FieldType::Long, 0},
                       {u"Szó"_s, FieldType::Text, 100},
                       {u"Jegyzet"_s, FieldType::Memo, 0},
                       {u"Szám"_s, FieldType::Long, 0},
                       {u"Rövid"_s, FieldType::Short, 0},
                       {u"Igen"_s, FieldType::YesNo, 0},
                       {u"Nap"_s, FieldType::Date, 0},
                       {u"Idő"_s, FieldType::Time, 0},
                       {u"Érték"_s, FieldType::Double, 0}}};
const DatabaseFileDef kFile{u"regiszt.tvd"_s, {kTable}};

QStringList words()
{
    QStringList all = likeCorpusWords();
    all.removeDuplicates();
    return all;
}

// One row per corpus word, in "Szó" and "Jegyzet"; then rows of the other types.
QVector<QVariantList> rows()
{
    QVector<QVariantList> out;
    const QStringList w = words();
    for (int i = 0; i < w.size(); ++i)
        out << QVariantList{i, w[i], w[i], {}, {}, {}, {}, {}, {}};
    const QVariantList others[] = {
        {1, 7, true, QDate(2024, 3, 7), QTime(10, 30, 0), 1.0},
        {-15, -3, false, QDate(1999, 12, 31), QTime(0, 0, 5), 2.5},
        {100, 0, {}, QDate(2024, 11, 1), QTime(23, 59, 59), 1e20},
        {2147483647, 32767, true, {}, {}, 0.1 + 0.2},
        {{}, {}, false, {}, {}, -1234567.125},
        {{}, {}, {}, {}, {}, 1e-5},
        {{}, {}, {}, {}, {}, 123456789012345678.0},
        {{}, {}, {}, {}, {}, 1.0 / 3},
        {{}, {}, {}, {}, {}, 1e15},
        {{}, {}, {}, {}, {}, 100000000000000.0},
        {{}, {}, {}, {}, {}, 0.0},
        {{}, {}, {}, {}, {}, 1.5e-300},
    };
    int n = 1000;
    for (const QVariantList &o : others)
        out << (QVariantList{n++, {}, {}} + o);
    out << QVariantList{n, {}, {}, {}, {}, {}, {}, {}, {}};
    return out;
}

Error fill(Connection &conn)
{
    QStringList columns;
    for (const FieldDef &f : kTable.fields)
        columns << f.name;
    if (Error e = conn.beginWrite())
        return e;
    for (const QVariantList &row : rows()) {
        QVariantList stored;
        for (int i = 0; i < row.size(); ++i)
            stored << toStorage(kTable.fields[i], row[i]).value;
        qint64 key = 0;
        if (Error e = conn.insertRow(kTable.name, columns, stored, key)) {
            conn.rollback();
            return e;
        }
    }
    return conn.commit();
}

// "Sor" of every row the criteria select, in order.
QList<qint64> selected(Connection &conn, const QString &criteria)
{
    const auto parsed = jet::parseCriteria(criteria);
    if (!parsed)
        qFatal("%s: %s", qPrintable(criteria), qPrintable(parsed.error.message));
    const SqlText where = whereClause(*parsed.value, TableInfo(kTable.name, kTable.fields), conn.dialect());
    if (where.error)
        qFatal("%s: %s", qPrintable(criteria), qPrintable(where.error.message));
    QList<qint64> out;
    const Error e = conn.query(u"SELECT \"Sor\" FROM \"Szavak\" WHERE "_s + where.sql, where.params, [&](const RowReader &r) {
        out << r.int64(0);
        return true;
    });
    if (e)
        qFatal("%s: %s", qPrintable(criteria), qPrintable(e.message));
    std::sort(out.begin(), out.end());
    return out;
}

QString names(const QList<qint64> &sor)
{
    const QStringList w = words();
    QStringList out;
    for (const qint64 s : sor)
        out << (s >= 0 && s < w.size() ? u'\'' + w[int(s)] + u'\'' : QString::number(s));
    return out.join(u", ");
}

}  // namespace

class TestPgDialect : public QObject {
    Q_OBJECT

    std::unique_ptr<PgTestDatabase> db;
    QTemporaryDir dir;
    std::unique_ptr<Connection> file, server;

    // the same condition on both engines
    void same(const QString &criteria)
    {
        const QList<qint64> expected = selected(*file, criteria), actual = selected(*server, criteria);
        QVERIFY2(actual == expected,
                 qPrintable(u"%1\n  file:   %2\n  server: %3"_s.arg(criteria, names(expected), names(actual))));
    }

private Q_SLOTS:
    void initTestCase()
    {
        db = std::make_unique<PgTestDatabase>();
        runServerStatements(db->conninfo(), serverSupportStatements() + serverCreateStatements(kFile));
        if (QTest::currentTestFailed())
            return;
        Error error;
        server = openServer(db->conninfo(), kFile.fileName, error);
        QVERIFY2(server, qPrintable(error.message));
        file = createSqlite(dir.filePath(kFile.fileName), error);
        QVERIFY2(file, qPrintable(error.message));
        for (const QString &sql : createStatements(kFile))
            QVERIFY(!file->execute(sql));
        for (Connection *c : {file.get(), server.get()}) {
            const Error e = fill(*c);
            QVERIFY2(!e, qPrintable(e.message));
        }
    }
    void cleanupTestCase()
    {
        server.reset();
        db.reset();
    }

    void likeMatchesWhatThePatternMatches_data()
    {
        QTest::addColumn<QString>("pattern");
        for (const QString &p : likeCorpusPatterns())
            QTest::newRow(qPrintable(p)) << p;
    }
    void likeMatchesWhatThePatternMatches()
    {
        QFETCH(QString, pattern);
        // the file engine is the layer's own matcher
        const auto compiled = LikePattern::compile(pattern);
        const QStringList w = words();
        QList<qint64> expected;
        for (int i = 0; i < w.size(); ++i) {
            if (compiled->matches(w[i]))
                expected << i;
        }
        QCOMPARE(selected(*file, u"[Szó] like "_s + jet::quoted(pattern)), expected);
        same(u"[Szó] like "_s + jet::quoted(pattern));
        same(u"[Jegyzet] like "_s + jet::quoted(pattern));
        same(u"[Szó] not like "_s + jet::quoted(pattern));
    }

    void textEqualityIgnoresLetterCaseOnly_data()
    {
        QTest::addColumn<QString>("word");
        for (const QString &w : words())
            QTest::newRow(qPrintable(w)) << w;
        QTest::newRow("upper ő") << u"őRÜLT"_s;
        QTest::newRow("trailing blank") << u"alma "_s;
    }
    void textEqualityIgnoresLetterCaseOnly()
    {
        QFETCH(QString, word);
        same(u"[Szó] = "_s + jet::quoted(word));
        same(u"[Jegyzet] <> "_s + jet::quoted(word));
    }

    void textOrderIsHungarian_data()
    {
        QTest::addColumn<QString>("word");
        for (const QString &w : {u"cs"_s, u"Cukor"_s, u"d"_s, u"ő"_s, u"ÖZ"_s, u"űr"_s, u"árvíz"_s, u"Á"_s, u"zsófia"_s, u"1"_s})
            QTest::newRow(qPrintable(w)) << w;
    }
    void textOrderIsHungarian()
    {
        QFETCH(QString, word);
        for (const char *op : {"<", "<=", ">", ">="})
            same(u"[Szó] %1 %2"_s.arg(QLatin1String(op), jet::quoted(word)));
    }

    void likeOnOtherTypesMatchesTheFileEnginesText_data()
    {
        QTest::addColumn<QString>("criteria");
        for (const char *field : {"Szám", "Rövid", "Igen", "Nap", "Idő", "Érték"}) {
            for (const char *p : {"*", "1", "0", "1*", "-*", "*5", "2024-*", "*-##-0?", "*:30:*", "##:##:##", "*.0", "2.5", "1.0e+20",
                                  "*e-*", "0.3", "0.333333333333333", "1.23456789012346e+17", "1.0e+15", "100000000000000.0",
                                  "0.0", "1.5e-300", "-1234567.125", "true", "[0-9]*"}) {
                const QString criteria = u"[%1] like '%2'"_s.arg(QString::fromUtf8(field), QLatin1String(p));
                QTest::newRow(qPrintable(criteria)) << criteria;
            }
        }
    }
    void likeOnOtherTypesMatchesTheFileEnginesText()
    {
        QFETCH(QString, criteria);
        same(criteria);
    }

    void aDoubleIsWrittenAsTheFileEngineWritesIt()
    {
        for (const double d : {1.0, -2.5, 1e20, 1e15, 1e14, 0.1 + 0.2, 1e-4, 1e-5, 1.0 / 3, 123456789012345678.0, 1e300, -1.5e-7,
                               0.0, 1234567.125, 99999999999999.9, 999999999999999.9, 9.999999999999999e-5, HUGE_VAL, -HUGE_VAL}) {
            QString expected, actual;
            QVERIFY(!file->query(u"SELECT CAST(? AS TEXT)"_s, {d}, [&](const RowReader &r) {
                expected = r.value(0).toString();
                return false;
            }));
            QVERIFY(!server->query(u"SELECT \"tvx\".\"real_text\"(?)"_s, {d}, [&](const RowReader &r) {
                actual = r.value(0).toString();
                return false;
            }));
            QCOMPARE(actual, expected);
        }
    }
};

TVX_SERVER_TEST_MAIN(TestPgDialect)
#include "tst_pgdialect.moc"
