#include "data/jetsql.h"
#include "data/sqlbuilder.h"
#include "data/textmatch.h"
#include "likecorpus.h"

#include <QRegularExpression>
#include <QTest>

using namespace tvx::data;

namespace {

TableInfo sampleTable()
{
    return {QStringLiteral("Iratok"),
            {{QStringLiteral("Iktatószám"), FieldType::Text, 30},
             {QStringLiteral("Megjegyzés"), FieldType::Memo, 0},
             {QStringLiteral("Dátum"), FieldType::Date, 0},
             {QStringLiteral("Idő"), FieldType::Time, 0},
             {QStringLiteral("Lezárt"), FieldType::YesNo, 0},
             {QStringLiteral("Példány"), FieldType::Short, 0},
             {QStringLiteral("PartnerID"), FieldType::Long, 0},
             {QStringLiteral("Összeg"), FieldType::Double, 0}}};
}

}  // namespace

class TestDialect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The file engine's statements, character for character as they were
    // before the engines shared the builder.
    void fileEngineWhereClauses_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("params");
        QTest::newRow("text =") << "[iktatószám] = 'SZ-1'" << "tvx_eq(\"Iktatószám\", ?)" << 1;
        QTest::newRow("text <>") << "[Iktatószám] <> 'SZ-1'" << "tvx_eq(\"Iktatószám\", ?) = 0" << 1;
        QTest::newRow("text <") << "[Megjegyzés] < 'cs'" << "tvx_cmp(\"Megjegyzés\", ?) < 0" << 1;
        QTest::newRow("text >=") << "[Megjegyzés] >= 'cs'" << "tvx_cmp(\"Megjegyzés\", ?) >= 0" << 1;
        QTest::newRow("like text") << "[Iktatószám] like 'SZ*'" << "tvx_like(\"Iktatószám\", ?)" << 1;
        QTest::newRow("not like") << "not [Iktatószám] like 'SZ*'" << "NOT (tvx_like(\"Iktatószám\", ?))" << 1;
        QTest::newRow("not like, negated") << "[Iktatószám] not like 'SZ*'" << "tvx_like(\"Iktatószám\", ?) = 0" << 1;
        QTest::newRow("like long") << "[PartnerID] like '1*'" << "tvx_like(CAST(\"PartnerID\" AS TEXT), ?)" << 1;
        QTest::newRow("like yes/no") << "[Lezárt] like '1'" << "tvx_like(CAST(\"Lezárt\" AS TEXT), ?)" << 1;
        QTest::newRow("like date") << "[Dátum] like '2024*'" << "tvx_like(CAST(\"Dátum\" AS TEXT), ?)" << 1;
        QTest::newRow("like double") << "[Összeg] like '2.5'" << "tvx_like(CAST(\"Összeg\" AS TEXT), ?)" << 1;
        QTest::newRow("is null") << "[Dátum] is null" << "\"Dátum\" IS NULL" << 0;
        QTest::newRow("is not null") << "[Dátum] is not null" << "\"Dátum\" IS NOT NULL" << 0;
        QTest::newRow("= null") << "[PartnerID] = null" << "(0)" << 0;
        QTest::newRow("number") << "[PartnerID] > 5" << "\"PartnerID\" > ?" << 1;
        QTest::newRow("date") << "[Dátum] <= #2024-03-07#" << "\"Dátum\" <= ?" << 1;
        QTest::newRow("yes/no") << "[Lezárt] = true" << "\"Lezárt\" = ?" << 1;
        QTest::newRow("and, or, not")
            << "([PartnerID] = 1 or [Példány] <> 2) and not ([Iktatószám] = 'a' and not not [Lezárt] = 0)"
            << "((\"PartnerID\" = ? OR \"Példány\" <> ?) AND NOT ((tvx_eq(\"Iktatószám\", ?) AND \"Lezárt\" = ?)))" << 4;
    }
    void fileEngineWhereClauses()
    {
        QFETCH(QString, criteria);
        QFETCH(QString, sql);
        QFETCH(int, params);
        const auto parsed = jet::parseCriteria(criteria);
        QVERIFY2(parsed, qPrintable(parsed.error.message));
        const SqlText where = whereClause(*parsed.value, sampleTable(), fileDialect());
        QVERIFY2(!where.error, qPrintable(where.error.message));
        QCOMPARE(where.sql, sql);
        QCOMPARE(where.params.size(), params);
    }

    // The server's statements for the same criteria: every value bound, the
    // pattern translated.
    void serverWhereClauses_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        QTest::newRow("text =") << "[iktatószám] = 'SZ-1'"
                                << "lower(\"Iktatószám\" COLLATE \"hu-x-icu\") = lower(?::text COLLATE \"hu-x-icu\")"
                                << QVariantList{QStringLiteral("SZ-1")};
        QTest::newRow("text <>") << "[Iktatószám] <> 'SZ-1'"
                                 << "lower(\"Iktatószám\" COLLATE \"hu-x-icu\") <> lower(?::text COLLATE \"hu-x-icu\")"
                                 << QVariantList{QStringLiteral("SZ-1")};
        QTest::newRow("text <") << "[Megjegyzés] < 'cs'" << "\"Megjegyzés\" COLLATE \"tvx\".\"hu_ci\" < ?::text"
                                << QVariantList{QStringLiteral("cs")};
        QTest::newRow("like text") << "[Iktatószám] like 'SZ-*'" << "\"Iktatószám\" COLLATE \"hu-x-icu\" ~* ?"
                                   << QVariantList{QStringLiteral("^sz\\-.*$")};
        QTest::newRow("not like") << "[Iktatószám] not like 'a?#'" << "NOT (\"Iktatószám\" COLLATE \"hu-x-icu\" ~* ?)"
                                  << QVariantList{QStringLiteral("^a.[0-9]$")};
        // a whole value: the column's index finds the candidates, the pattern decides
        const QString wholeValue = QStringLiteral("lower(\"Iktatószám\" COLLATE \"hu-x-icu\") = lower(?::text COLLATE \"hu-x-icu\") "
                                                  "AND \"Iktatószám\" COLLATE \"hu-x-icu\" ~* ?");
        QTest::newRow("like whole value") << "[Iktatószám] like 'SZ-1'" << u'(' + wholeValue + u')'
                                          << QVariantList{QStringLiteral("SZ-1"), QStringLiteral("^sz\\-1$")};
        QTest::newRow("like whole value, listed") << "[Iktatószám] like 'SZ[*]1[]'" << u'(' + wholeValue + u')'
                                                  << QVariantList{QStringLiteral("SZ*1"), QStringLiteral("^sz[\\*]1$")};
        QTest::newRow("not like whole value") << "[Iktatószám] not like 'Ő'" << QStringLiteral("NOT (%1)").arg(wholeValue)
                                              << QVariantList{QStringLiteral("Ő"), QStringLiteral("^ő$")};
        QTest::newRow("like long") << "[PartnerID] like '1*'" << "CAST(\"PartnerID\" AS text) COLLATE \"hu-x-icu\" ~* ?"
                                   << QVariantList{QStringLiteral("^1.*$")};
        QTest::newRow("like yes/no") << "[Lezárt] like '1'"
                                     << "CASE WHEN \"Lezárt\" THEN '1' WHEN NOT \"Lezárt\" THEN '0' END COLLATE \"hu-x-icu\" ~* ?"
                                     << QVariantList{QStringLiteral("^1$")};
        QTest::newRow("like double") << "[Összeg] like '2.5'" << "\"tvx\".\"real_text\"(\"Összeg\") COLLATE \"hu-x-icu\" ~* ?"
                                     << QVariantList{QStringLiteral("^2\\.5$")};
        QTest::newRow("= null") << "[PartnerID] = null" << "FALSE" << QVariantList{};
        QTest::newRow("number") << "[PartnerID] > 5" << "\"PartnerID\" > ?" << QVariantList{5.0};
    }
    void serverWhereClauses()
    {
        QFETCH(QString, criteria);
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        const auto parsed = jet::parseCriteria(criteria);
        QVERIFY2(parsed, qPrintable(parsed.error.message));
        const SqlText where = whereClause(*parsed.value, sampleTable(), serverDialect());
        QVERIFY2(!where.error, qPrintable(where.error.message));
        QCOMPARE(where.sql, sql);
        QCOMPARE(where.params, params);
    }

    void aMalformedPatternIsRefusedOnBothEngines()
    {
        const auto parsed = jet::parseCriteria(QStringLiteral("[Iktatószám] like 'a[bc'"));
        QVERIFY(parsed);
        for (const Dialect *dialect : {&fileDialect(), &serverDialect()}) {
            const SqlText where = whereClause(*parsed.value, sampleTable(), *dialect);
            QCOMPARE(where.error.code, ErrorCode::BadStatement);
            QVERIFY(where.sql.isEmpty() && where.params.isEmpty());
        }
    }

    void namesOfTablesAndKeys()
    {
        QCOMPARE(fileDialect().keyColumn(), QStringLiteral("rowid"));
        QCOMPARE(serverDialect().keyColumn(), QStringLiteral("\"tvx_id\""));
        QCOMPARE(fileDialect().qualified(QString(), QStringLiteral("Iratok")), QStringLiteral("main.\"Iratok\""));
        QCOMPARE(fileDialect().qualified(QStringLiteral("tvx_source"), QStringLiteral("Iratok")), QStringLiteral("\"tvx_source\".\"Iratok\""));
        QCOMPARE(serverDialect().qualified(QString(), QStringLiteral("Iratok")), QStringLiteral("\"Iratok\""));
        QCOMPARE(serverDialect().qualified(QStringLiteral("tarvixarchiv"), QStringLiteral("Iratok")),
                 QStringLiteral("\"tarvixarchiv\".\"Iratok\""));
        QCOMPARE(fileDialect().alwaysTrue(), QStringLiteral("1"));
        QCOMPARE(serverDialect().alwaysTrue(), QStringLiteral("TRUE"));
    }

    void rangesFollowTheHungarianAlphabet()
    {
        // letter case is the server's business (~*): the expression's own letters are read as they stand
        const QRegularExpression az(LikePattern::compile(QStringLiteral("[a-z]"))->regex());
        for (const QString &letter : {u"á"_s, u"é"_s, u"ő"_s, u"ű"_s, u"Ö"_s, u"Ú"_s, u"q"_s, u"Z"_s})
            QVERIFY2(az.match(letter).hasMatch(), qPrintable(letter + u" in "_s + az.pattern()));
        for (const QString &other : {u"1"_s, u"-"_s, u""_s, u"ab"_s})
            QVERIFY2(!az.match(other).hasMatch(), qPrintable(other + u" in "_s + az.pattern()));
        const QRegularExpression aa(LikePattern::compile(QStringLiteral("[a-a]"))->regex());
        QVERIFY(aa.match(u"a"_s).hasMatch());
        QVERIFY2(!aa.match(u"á"_s).hasMatch(), qPrintable(aa.pattern()));
        QCOMPARE(LikePattern::compile(QStringLiteral("[]x[!]"))->regex(), QStringLiteral("^x[\\!]$"));
        QCOMPARE(LikePattern::compile(QStringLiteral("**.+()^$\\|{}"))->regex(), QStringLiteral("^.*\\.\\+\\(\\)\\^\\$\\\\\\|\\{\\}$"));
    }

    // The translated expression, run by a regular expression engine that
    // reads these constructs as the server does, says what the pattern says,
    // for every word. (PCRE's $ also matches before a final newline, which
    // the server's does not: \z stands in for it here.)
    void theExpressionMatchesWhatThePatternMatches()
    {
        int checked = 0;
        for (const QString &text : likeCorpusPatterns()) {
            const auto pattern = LikePattern::compile(text);
            QVERIFY2(pattern, qPrintable(text));
            QString expression = pattern->regex();
            QVERIFY(expression.startsWith(u'^') && expression.endsWith(u'$'));
            expression.chop(1);
            const QRegularExpression re(expression + QStringLiteral("\\z"),
                                        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
            QVERIFY2(re.isValid(), qPrintable(text + u" → "_s + expression + u": "_s + re.errorString()));
            for (const QString &word : likeCorpusWords()) {
                const bool expected = pattern->matches(word);
                QVERIFY2(re.match(word).hasMatch() == expected,
                         qPrintable(QStringLiteral("'%1' like '%2' is %3; %4").arg(word, text, expected ? u"true"_s : u"false"_s, expression)));
                ++checked;
            }
        }
        QVERIFY(checked > 1000);
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
