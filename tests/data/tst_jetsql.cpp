#include "data/jetsql.h"
#include "data/textmatch.h"

#include <QDate>
#include <QTest>

using namespace tvx::data;

class TestJetSql : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statementsOfTheScreensParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("orderItems");
        QTest::newRow("plain") << "select * from Tarvix" << "Tarvix" << 0;
        QTest::newRow("order accents") << "select * from Regisztrálás order by AkcióDátuma" << "Regisztrálás" << 1;
        QTest::newRow("two orders") << "select * from Mellekletek order by Iktatószám, IktatasrecordID" << "Mellekletek" << 2;
        QTest::newRow("like") << "select * from Tarvix where Iktatószám like 'SZ*'" << "Tarvix" << 0;
        QTest::newRow("double quoted") << "select * from SzamlaTartozas where PartnerNeve=\"*\"" << "SzamlaTartozas" << 0;
        QTest::newRow("column list, two blanks") << "select recordid from bepartner where recordid >0  order by recordid"
                                                 << "bepartner" << 1;
        QTest::newRow("brackets and desc") << "SELECT * FROM [BePartner] WHERE [BerNev] <> 'x' ORDER BY [BerNev] DESC;"
                                           << "BePartner" << 1;
        QTest::newRow("bare table name") << "Iktatoszam" << "Iktatoszam" << 0;
        QTest::newRow("bracketed table name") << "[Regisztrálás]" << "Regisztrálás" << 0;
    }
    void statementsOfTheScreensParse()
    {
        QFETCH(QString, text);
        QFETCH(QString, table);
        QFETCH(int, orderItems);
        const auto parsed = jet::parseRecordSource(text);
        QVERIFY2(parsed, qPrintable(parsed.error.message));
        QCOMPARE(parsed.value->table, table);
        QCOMPARE(parsed.value->orderBy.size(), orderItems);
    }

    void aRecordSourceNamesATable()
    {
        for (const QString &empty : {QString(), QStringLiteral("  "), QStringLiteral("[]"), QStringLiteral("[ ]")}) {
            const auto parsed = jet::parseRecordSource(empty);
            QVERIFY2(!parsed, qPrintable(empty));
            QCOMPARE(parsed.error.message, QStringLiteral("Nincs megadva tábla vagy lekérdezés."));
        }
    }

    void whereTreeKeepsOperatorsAndValues()
    {
        const auto parsed = jet::parseRecordSource(
            QStringLiteral("select * from T where a = 'it''s' and (b like \"x\"\"y*\" or c <= -2.5) and not d is null"));
        QVERIFY2(parsed, qPrintable(parsed.error.message));
        const jet::ExprPtr w = parsed.value->where;
        // one node for the whole chain of three
        QCOMPARE(w->kind, jet::Expr::And);
        QCOMPARE(w->operands.size(), 3);
        QCOMPARE(w->operands[2]->kind, jet::Expr::Not);
        QCOMPARE(w->operands[2]->operands[0]->kind, jet::Expr::IsNull);
        const jet::ExprPtr first = w->operands[0];
        QCOMPARE(first->field, QStringLiteral("a"));
        QCOMPARE(first->value.value.toString(), QStringLiteral("it's"));
        const jet::ExprPtr orExpr = w->operands[1];
        QCOMPARE(orExpr->kind, jet::Expr::Or);
        QCOMPARE(orExpr->operands[0]->value.value.toString(), QStringLiteral("x\"y*"));
        QCOMPARE(orExpr->operands[1]->op, jet::CompareOp::LessOrEqual);
        QCOMPARE(orExpr->operands[1]->value.value.toDouble(), -2.5);
    }

    void maintenanceStatementsParse()
    {
        const auto del = jet::parseStatement(QStringLiteral("DELETE FROM users"));
        QVERIFY2(del, qPrintable(del.error.message));
        QCOMPARE(std::get<jet::Delete>(*del.value).table, QStringLiteral("users"));

        const auto ins = jet::parseStatement(QStringLiteral(
            "INSERT INTO [Tarvix] ([recordID],[Iktatószám]) SELECT [recordID],[Iktatószám] FROM  [/data/set\\SAVE-20240307-101010\\Tarvix.tvd].[Tarvix]"));
        QVERIFY2(ins, qPrintable(ins.error.message));
        const auto &i = std::get<jet::InsertSelect>(*ins.value);
        QCOMPARE(i.table, QStringLiteral("Tarvix"));
        QCOMPARE(i.columns, (QStringList{QStringLiteral("recordID"), QStringLiteral("Iktatószám")}));
        QCOMPARE(i.sourceFile, QStringLiteral("/data/set\\SAVE-20240307-101010\\Tarvix.tvd"));
        QCOMPARE(i.sourceTable, QStringLiteral("Tarvix"));
    }

    void findCriteriaParse()
    {
        const auto c = jet::parseCriteria(QStringLiteral("[Felhasználó] = \"Demo\" and [Jelszó] = 'kuvo'"));
        QVERIFY2(c, qPrintable(c.error.message));
        QCOMPARE((*c.value)->kind, jet::Expr::And);
        const auto date = jet::parseCriteria(QStringLiteral("[AkcióDátuma] = #2024-03-07#"));
        QVERIFY2(date, qPrintable(date.error.message));
        QCOMPARE((*date.value)->value.value.toDate(), QDate(2024, 3, 7));
    }

    void malformedTextGivesAMessageNotACrash_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::newRow("empty") << "";
        QTest::newRow("unclosed quote") << "[Felhasználó] = \"a\"b\"";
        QTest::newRow("unclosed bracket") << "[Felhasználó = 'a'";
        QTest::newRow("no operator") << "[Felhasználó] 'a'";
        QTest::newRow("no value") << "[Felhasználó] like";
        QTest::newRow("dangling and") << "[a] = 1 and";
        QTest::newRow("garbage") << "@@@";
        QTest::newRow("bad date") << "[a] = #2024-13-45#";
        QTest::newRow("date with trailing text") << "[a] = #2024-03-07 szemét#";
        QTest::newRow("too deep") << QString(jet::kMaxNesting + 1, u'(') + "[a] = 1" + QString(jet::kMaxNesting + 1, u')');
        QTest::newRow("not too deep") << QStringLiteral("not ").repeated(jet::kMaxNesting + 1) + "[a] = 1";
        QTest::newRow("trailing words") << "[a] = 1 b";
    }
    void malformedTextGivesAMessageNotACrash()
    {
        QFETCH(QString, criteria);
        const auto parsed = jet::parseCriteria(criteria);
        QVERIFY(!parsed);
        QVERIFY(!parsed.error.message.isEmpty());
        QCOMPARE(parsed.error.code, ErrorCode::BadStatement);
        QVERIFY(!jet::parseStatement(QStringLiteral("select * from ") + criteria + QStringLiteral(" where")));
    }

    void quotingSurvivesHostileValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("apostrophe") << "Bella's Café";
        QTest::newRow("double quote") << "a \"b\" c";
        QTest::newRow("both") << "'\"''\"\"";
        QTest::newRow("sql") << "x' or 1=1 --";
        QTest::newRow("brackets") << "[a] ] [";
        QTest::newRow("empty") << "";
    }
    void quotingSurvivesHostileValues()
    {
        QFETCH(QString, value);
        for (const QChar quote : {QChar(u'\''), QChar(u'"')}) {
            const auto c = jet::parseCriteria(QStringLiteral("[Név] = ") + jet::quoted(value, quote));
            QVERIFY2(c, qPrintable(c.error.message));
            QCOMPARE((*c.value)->value.value.toString(), value);
            const auto s = jet::parseStatement(QStringLiteral("select * from T where Név = ") + jet::quoted(value, quote));
            QVERIFY2(s, qPrintable(s.error.message));
            QCOMPARE(std::get<jet::Select>(*s.value).where->value.value.toString(), value);
        }
    }

    void sortText()
    {
        const auto items = jet::parseSortText(QStringLiteral("BerNev DESC, [Ország]"));
        QVERIFY(items);
        QCOMPARE(items.value->size(), 2);
        QVERIFY(items.value->at(0).descending);
        QCOMPARE(jet::sortText(*items.value), QStringLiteral("BerNev DESC, Ország"));
        QVERIFY(!jet::parseSortText(QStringLiteral("BerNev DOWN")));
        // names that are no plain words are written between brackets, so they read back
        const auto odd = jet::parseSortText(QStringLiteral("[Regi-ztrálás], [Desc] desc, [két szó], [1a]"));
        QVERIFY(odd);
        QCOMPARE(jet::sortText(*odd.value), QStringLiteral("[Regi-ztrálás], [Desc] DESC, [két szó], [1a]"));
        QCOMPARE(*jet::parseSortText(jet::sortText(*odd.value)).value, *odd.value);
    }

    void likePatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("matches");
        QTest::newRow("no wildcard is whole value") << "SZ" << "SZ/B12" << false;
        QTest::newRow("exact") << "sz/b12" << "SZ/B12" << true;
        QTest::newRow("prefix") << "SZ*" << "SZ/B12" << true;
        QTest::newRow("suffix") << "*12" << "SZ/B12" << true;
        QTest::newRow("inner") << "*/b*" << "SZ/B12" << true;
        QTest::newRow("backtracking") << "*a*a*b" << "aaaaab" << true;
        QTest::newRow("backtracking fails") << "*a*a*b" << "aaaaac" << false;
        QTest::newRow("one char") << "S?/B12" << "SZ/B12" << true;
        QTest::newRow("one char, not two") << "S?B12" << "SZ/B12" << false;
        QTest::newRow("digit") << "SZ/B#2" << "SZ/B12" << true;
        QTest::newRow("digit rejects letter") << "SZ/#12" << "SZ/B12" << false;
        QTest::newRow("list") << "[abc]x" << "Bx" << true;
        QTest::newRow("range") << "[a-f]x" << "gx" << false;
        QTest::newRow("negated list") << "[!abc]x" << "dx" << true;
        QTest::newRow("negated list rejects") << "[!abc]x" << "ax" << false;
        QTest::newRow("literal star in list") << "a[*]b" << "a*b" << true;
        QTest::newRow("accents fold case") << "árvíztűrő*" << "ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP" << true;
        QTest::newRow("accents are not folded away") << "arviztur*" << "ÁRVÍZTŰRŐ" << false;
        QTest::newRow("ő vs Ő") << "*ő" << "TŐ" << true;
        QTest::newRow("range holds accented letters") << "[a-z]bel" << "Ábel" << true;
        QTest::newRow("range in the alphabet's order") << "[a-b]*" << "őz" << false;
        QTest::newRow("range ö to u") << "[ö-u]*" << "Ősz" << true;
        QTest::newRow("range of one letter keeps accents") << "[a-a]bel" << "Ábel" << false;
        QTest::newRow("range ignores letter case") << "[A-C]x" << "bx" << true;
        QTest::newRow("negated range") << "[!a-z]*" << "Ébred" << false;
        QTest::newRow("digits") << "[0-9][0-9]" << "42" << true;
        QTest::newRow("empty pattern") << "" << "" << true;
        QTest::newRow("star matches empty") << "*" << "" << true;
    }
    void likePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, value);
        QFETCH(bool, matches);
        const auto p = LikePattern::compile(pattern);
        QVERIFY(p);
        QCOMPARE(p->matches(value), matches);
        QCOMPARE(p->matchesUtf8(value.toStdString()), matches);
    }

    void likeLiteralMatchesOnlyItself()
    {
        for (const QString &value : {QStringLiteral("A*1"), QStringLiteral("?#[x]!"), QStringLiteral("[a-z]"), QStringLiteral("O'Br\"ien")}) {
            const auto p = LikePattern::compile(jet::likeLiteral(value));
            QVERIFY2(p, qPrintable(value));
            QVERIFY2(p->matches(value), qPrintable(value));
            QVERIFY(p->matches(value.toLower()));  // letter case is still ignored
        }
        QVERIFY(!LikePattern::compile(jet::likeLiteral(QStringLiteral("A*1")))->matches(QStringLiteral("A21")));
        QVERIFY(!LikePattern::compile(jet::likeLiteral(QStringLiteral("[a-z]")))->matches(QStringLiteral("b")));
        QVERIFY(!LikePattern::compile(jet::likeLiteral(QStringLiteral("1#")))->matches(QStringLiteral("12")));
    }

    void malformedLikePattern()
    {
        QVERIFY(!LikePattern::compile(QStringLiteral("ab[c")));
        QVERIFY(!LikePattern::compile(QStringLiteral("[z-a]")));
    }

    void criteriaKeepWhatWasWritten()
    {
        // the sign belongs to the pattern a number stands for
        const auto like = jet::parseCriteria(QStringLiteral("[PartnerID] like -5"));
        QVERIFY2(like, qPrintable(like.error.message));
        QCOMPARE((*like.value)->value.value.toString(), QStringLiteral("-5"));
        const auto dated = jet::parseCriteria(QStringLiteral("[a] = #2024-03-07 10:30#"));
        QVERIFY2(dated, qPrintable(dated.error.message));
        QCOMPARE((*dated.value)->value.value.toDate(), QDate(2024, 3, 7));
        // brackets as deep as the limit, and a whole chain as one node
        const QString deepest = QString(jet::kMaxNesting, u'(') + QStringLiteral("[a] = 1") + QString(jet::kMaxNesting, u')');
        QVERIFY(jet::parseCriteria(deepest));
        const auto chain = jet::parseCriteria(QStringList(1000, QStringLiteral("[a] = 1")).join(QStringLiteral(" AND ")));
        QVERIFY(chain);
        QCOMPARE((*chain.value)->operands.size(), 1000);
        const auto tooLong = jet::parseCriteria(QStringList(jet::kMaxComparisons + 1, QStringLiteral("[a] = 1")).join(QStringLiteral(" or ")));
        QVERIFY(!tooLong);
        QVERIFY(tooLong.error.message.contains(QStringLiteral("túl hosszú")));
    }

    void caseInsensitiveEquality()
    {
        QVERIFY(equalIgnoringCase("Demo", "demo"));
        QVERIFY(equalIgnoringCase("ŐSZ ÚT", "ősz út"));
        QVERIFY(equalIgnoringCase("Ű", "ű"));
        QVERIFY(!equalIgnoringCase("o", "ö"));
        QVERIFY(!equalIgnoringCase("demo", "demo "));
    }
};

QTEST_GUILESS_MAIN(TestJetSql)
#include "tst_jetsql.moc"
