#include "data/datasource.h"
#include "common/hungarian.h"
#include "data/jetsql.h"
#include "data/messages.h"
#include "support/testdataset.h"

#include <QDate>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTime>

using namespace tvx::data;

namespace {

// Adds rows through a data source; fails the test on the first error.
void addRows(DataSource &ds, const QList<QVariantList> &rows)
{
    for (const auto &row : rows) {
        QVERIFY2(ds.addNew(), qPrintable(ds.lastError().message));
        for (int i = 0; i < row.size(); ++i)
            QVERIFY2(row[i].isNull() || ds.setValue(i, row[i]), qPrintable(ds.lastError().message));
        QVERIFY2(ds.update(), qPrintable(ds.lastError().message));
    }
}

QStringList partnerNames()
{
    return {QStringLiteral("Kovács és Társa Bt."), QStringLiteral("Csaba Építő Kft."), QStringLiteral("Cukor Pékség Zrt."),
            QStringLiteral("Árvíztűrő Tükörfúrógép Kft."), QStringLiteral("Bella's Café Kft."), QStringLiteral("Zsámbéki Fuvarozó Kft."),
            QStringLiteral("Ábel Bt."), QStringLiteral("Öveges Gépészet Kft.")};
}

}  // namespace

class TestDataSource : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDataSet> set;

    std::unique_ptr<DataSource> source(const QString &file, const QString &statement)
    {
        auto ds = std::make_unique<DataSource>(file, statement, nullptr, set->dir());
        if (!ds->refresh())
            qWarning() << ds->lastError().message;
        return ds;
    }

    void fillPartners()
    {
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        int id = 1;
        QList<QVariantList> rows;
        for (const QString &name : partnerNames())
            rows << QVariantList{name, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), id++};
        addRows(*ds, rows);
    }

private Q_SLOTS:
    void initTestCase() { tvx::useHungarianLocale(); }
    void init() { set = std::make_unique<TestDataSet>(); }
    void cleanup() { set.reset(); }

    void anotherRecordSourceOrTheOldOneStays()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveTo(2));
        QVERIFY(ds->setValue(QStringLiteral("BerIrszam"), QStringLiteral("1052")));
        // the typed change is written before the filter runs, and the filter sees it
        QVERIFY2(ds->runRecordSource(QStringLiteral("select * from BePartner where BerIrszam = '1052'")), qPrintable(ds->lastError().message));
        QCOMPARE(ds->recordCount(), 1);
        QCOMPARE(ds->value(QStringLiteral("BerNev")).toString(), partnerNames()[2]);
        // a statement that cannot run leaves the filter in force where it was
        QVERIFY(!ds->runRecordSource(QStringLiteral("select * from NincsIlyen")));
        QCOMPARE(ds->lastError().code, ErrorCode::NoSuchTable);
        QVERIFY(ds->isOpen());
        QCOMPARE(ds->recordCount(), 1);
        QCOMPARE(ds->recordSource(), QStringLiteral("select * from BePartner where BerIrszam = '1052'"));
        QVERIFY(ds->runRecordSource(QStringLiteral("BePartner")));
        QCOMPARE(ds->recordCount(), partnerNames().size());
    }

    void emptySourceHasNoCurrentRecord()
    {
        auto users = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"));
        QVERIFY(users->isOpen());
        QCOMPARE(users->recordCount(), 0);
        QVERIFY(users->bof());
        QVERIFY(users->eof());
        QVERIFY(!users->moveFirst());
        QCOMPARE(users->lastError().code, ErrorCode::NoCurrentRecord);
        QVERIFY(!users->moveNext());
        QVERIFY(!users->edit());
        QCOMPARE(users->lastError().code, ErrorCode::NoCurrentRecord);
        QVERIFY(!users->deleteCurrent());
        QVERIFY(!users->value(0).isValid());
        QVERIFY(!users->update());
        QVERIFY(!users->setValue(0, QStringLiteral("x")));
    }

    void newRecordsJoinTheEndAndTheFormerRecordStaysCurrent()
    {
        auto users = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"));
        addRows(*users, {{QStringLiteral("demo"), QVariant(), 1, QStringLiteral("Első indítás"), QDate(2024, 3, 7)}});
        // into an empty set the new record becomes current
        QVERIFY(users->hasCurrent());
        QCOMPARE(users->value(QStringLiteral("felhasználó")).toString(), QStringLiteral("demo"));
        addRows(*users, {{QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        QCOMPARE(users->recordCount(), 2);
        QCOMPARE(users->value(0).toString(), QStringLiteral("demo"));
        QVERIFY(users->moveLast());
        QCOMPARE(users->value(0).toString(), QStringLiteral("Kiss Éva"));
        QCOMPARE(users->value(2).toInt(), 2);
        QCOMPARE(users->value(4), QVariant());
        QVERIFY(users->moveFirst());
        QCOMPARE(users->value(4).toDate(), QDate(2024, 3, 7));
        QVERIFY(users->movePrevious());
        QVERIFY(users->bof());
        QVERIFY(!users->hasCurrent());
        QVERIFY(!users->movePrevious());
        QVERIFY(users->moveLast());
        QVERIFY(users->moveNext());
        QVERIFY(users->eof());
        QVERIFY(!users->moveNext());
    }

    void movingAndClosingSavePendingChanges()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(a->setValue(QStringLiteral("BerCim"), QStringLiteral("Fő utca 1.")));
        QCOMPARE(a->editMode(), Recordset::EditMode::Edit);
        QVERIFY(a->moveNext());
        QCOMPARE(a->editMode(), Recordset::EditMode::None);
        QVERIFY(a->setValue(QStringLiteral("BerCim"), QStringLiteral("Kossuth tér 2.")));
        QVERIFY(a->closeRecordset());

        auto b = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QCOMPARE(b->value(QStringLiteral("BerCim")).toString(), QStringLiteral("Fő utca 1."));
        QVERIFY(b->moveNext());
        QCOMPARE(b->value(QStringLiteral("BerCim")).toString(), QStringLiteral("Kossuth tér 2."));
        QVERIFY(!a->moveFirst());
        QCOMPARE(a->lastError().code, ErrorCode::Closed);
    }

    void valueThatDoesNotFitFailsUpdateAndKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text in a number field") << "Torzsek.tvd" << "BePartner" << "recordID" << QVariant(QStringLiteral("tizenkettő"));
        QTest::newRow("text over its size") << "Torzsek.tvd" << "BePartner" << "BerIrszam" << QVariant(QStringLiteral("123456789"));
        QTest::newRow("no date") << "Tarvix.tvd" << "Tarvix" << "SzerzödésDátuma" << QVariant(QStringLiteral("2024.02.30."));
        QTest::newRow("small integer out of range") << "regiszt.tvd" << "Users" << "JogosultságiSzint" << QVariant(40000);
        QTest::newRow("not yes or no") << "Tarvix.tvd" << "Tarvix" << "Foto" << QVariant(QStringLiteral("talán"));
    }
    void valueThatDoesNotFitFailsUpdateAndKeepsWhatWasTyped()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        auto ds = source(file, table);
        addRows(*ds, {{QStringLiteral("eredeti")}});
        const QVariant before = ds->value(field);
        QVERIFY(ds->setValue(0, QStringLiteral("új szöveg")));
        QVERIFY(ds->setValue(field, value));
        QVERIFY(!ds->update());
        QCOMPARE(ds->lastError().code, ErrorCode::ValueDoesNotFit);
        QVERIFY(ds->lastError().message.contains(field));
        // what the user typed is still there, and moving does not lose it either
        QCOMPARE(ds->value(field), value);
        QVERIFY(!ds->moveFirst());
        QCOMPARE(ds->value(0).toString(), QStringLiteral("új szöveg"));
        // the file still holds the record as it was
        auto other = source(file, table);
        QCOMPARE(other->value(0).toString(), QStringLiteral("eredeti"));
        QCOMPARE(other->value(field), before);
        ds->cancelUpdate();
        QCOMPARE(ds->value(0).toString(), QStringLiteral("eredeti"));
        QVERIFY(ds->moveFirst());
    }

    void valuesAreReadAsTheirTypes()
    {
        auto ds = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("SzamlaTartozas"));
        addRows(*ds, {{QStringLiteral("1"), QStringLiteral("P"), QStringLiteral("12"), QVariant(), QVariant(), QStringLiteral("2024.03.07."),
                       QDate(2024, 3, 8), QStringLiteral(""), QStringLiteral("-1 234,5")}});
        QCOMPARE(ds->value(QStringLiteral("PartnerID")), QVariant(12));
        QCOMPARE(ds->value(QStringLiteral("OkmányKelte")).toDate(), QDate(2024, 3, 7));
        QCOMPARE(ds->value(QStringLiteral("TeljesitésDátuma")).toDate(), QDate(2024, 3, 8));
        QVERIFY(ds->value(QStringLiteral("FizetésiHatáridö")).isNull());
        QCOMPARE(ds->value(QStringLiteral("bruttóösszeg")).toDouble(), -1234.5);

        auto log = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Regisztrálás"));
        addRows(*log, {{QStringLiteral("demo"), QStringLiteral("kuvo"), QDate(2024, 3, 7), QTime(12, 34, 56), QStringLiteral("x"),
                        QStringLiteral("/tmp"), 1, QStringLiteral("Tarvix"), 0, QStringLiteral("Főmenü")}});
        QCOMPARE(log->value(3).toTime(), QTime(12, 34, 56));
        QCOMPARE(log->value(6), QVariant(1));

        auto entries = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"));
        addRows(*entries, {{QStringLiteral("id")}});
        QVERIFY(entries->setValue(QStringLiteral("Foto"), true));
        QVERIFY(entries->update());
        QCOMPARE(entries->value(QStringLiteral("Foto")), QVariant(true));
        QVERIFY(entries->value(QStringLiteral("Email")).isNull());
    }

    void findFirstIgnoresLetterCaseAndHonoursWildcards()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like \"ÁRVÍZ*\"")));
        QVERIFY(!ds->noMatch());
        QCOMPARE(ds->value(0).toString(), QStringLiteral("Árvíztűrő Tükörfúrógép Kft."));
        QVERIFY(ds->findFirst(QStringLiteral("[bernev] = 'bella''s café kft.'")));
        QCOMPARE(ds->value(9).toInt(), 5);
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like '*Kft.' and [recordID] = 6")));
        QCOMPARE(ds->value(0).toString(), QStringLiteral("Zsámbéki Fuvarozó Kft."));
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like '?ukor*'")));
        QCOMPARE(ds->value(9).toInt(), 3);
        // a value without wildcards must match the whole value
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like 'Cukor'")));
        QVERIFY(ds->noMatch());
        QVERIFY(ds->moveFirst());
        QCOMPARE(ds->value(9).toInt(), 1);
        // accents are letters of their own
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like 'arviz*'")));
        QVERIFY(ds->noMatch());
        // a star typed by the user in a quoted search keeps its meaning
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like ") + jet::quoted(QStringLiteral("*s Caf*"), u'"')));
        QCOMPARE(ds->value(9).toInt(), 5);
    }

    // A find goes to the first match after the current record in the record
    // set's own order, whatever was added, deleted or sorted since it opened.
    void findsFollowTheRecordSetsOrder()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        const QString criteria = QStringLiteral("[BerNev] like '*Kft.'");
        auto found = [&](DataSource &d) {
            QList<int> ids;
            if (!d.findFirst(criteria))
                return QList<int>{-1};
            while (!d.noMatch()) {
                ids << d.value(9).toInt();
                if (!d.findNext(criteria))
                    return QList<int>{-1};
            }
            return ids;
        };
        auto walked = [&](DataSource &d) {
            QList<int> ids;
            for (int i = 0, misses = 0; i < d.recordCount() && misses < 10;) {
                if (!d.moveTo(i)) {
                    ++misses;  // deleted elsewhere: it left the set, the next one stands here now
                    continue;
                }
                if (d.value(0).toString().endsWith(QStringLiteral("Kft.")))
                    ids << d.value(9).toInt();
                ++i;
            }
            return ids;
        };
        QCOMPARE(found(*ds), (QList<int>{2, 4, 5, 6, 8}));

        // a record deleted here, and one deleted by another data source
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] = 4")));
        QVERIFY(ds->deleteCurrent());
        QVERIFY(ds->findNext(criteria));
        QCOMPARE(ds->value(9).toInt(), 5);
        auto other = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(other->findFirst(QStringLiteral("[recordID] = 6")));
        QVERIFY(other->deleteCurrent());
        // added here: found at the end; the record current before the add stays current
        QVERIFY(ds->moveTo(1));
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(QStringLiteral("BerNev"), QStringLiteral("Új Kft.")));
        QVERIFY(ds->setValue(QStringLiteral("recordID"), 9));
        QVERIFY(ds->update());
        QCOMPARE(ds->value(9).toInt(), 2);
        QCOMPARE(found(*ds), (QList<int>{2, 5, 8, 9}));
        QCOMPARE(found(*ds), walked(*ds));
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] = 9")));
        QCOMPARE(ds->absolutePosition(), ds->recordCount() - 1);
        const Bookmark last = ds->bookmark();
        QVERIFY(ds->moveFirst());
        QVERIFY(ds->setBookmark(last));
        QCOMPARE(ds->value(9).toInt(), 9);

        // in another order the finds follow that order
        ds->setSort(QStringLiteral("BerNev DESC"));
        Error e;
        auto sorted = ds->recordset()->openRecordset(e);
        QVERIFY2(sorted, qPrintable(e.message));
        QVERIFY(ds->setRecordset(sorted));
        QCOMPARE(found(*ds), (QList<int>{9, 8, 2, 5}));
        QCOMPARE(found(*ds), walked(*ds));
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] = 2")));
        QVERIFY(ds->findNext(criteria));
        QCOMPARE(ds->value(9).toInt(), 5);
    }

    void findWithBadCriteriaReportsAndKeepsPosition()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveLast());
        QVERIFY(!ds->findFirst(QStringLiteral("[BerNev] = \"a\"b\"")));
        QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
        QVERIFY(!ds->findFirst(QStringLiteral("[Nincs] = 'a'")));
        QCOMPARE(ds->lastError().code, ErrorCode::NoSuchField);
        QVERIFY(!ds->findFirst(QStringLiteral("[recordID] = 'abc'")));
        QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
        QVERIFY(!ds->findFirst(QStringLiteral("[BerNev] like 'a[b'")));
        QCOMPARE(ds->value(9).toInt(), 8);
    }

    void findOnUserNameIsCaseInsensitive()
    {
        auto users = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"));
        addRows(*users, {{QStringLiteral("admin"), QStringLiteral("x")}, {QStringLiteral("demo"), QStringLiteral("kuvo")}});
        QVERIFY(users->moveFirst());
        QVERIFY(users->findFirst(QStringLiteral("[Felhasználó] = \"Demo\"")));
        QVERIFY(!users->noMatch());
        QCOMPARE(users->value(0).toString(), QStringLiteral("demo"));
    }

    // A name compared with = ignores letter case but not accents, and a star
    // in it is just a star; findNext walks the matches in record order.
    void equalNamesAndTheirNextMatches()
    {
        auto users = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"));
        addRows(*users, {{QStringLiteral("Éva")}, {QStringLiteral("Eva")}, {QStringLiteral("K*")}, {QStringLiteral("ÉVA")},
                         {QStringLiteral("Kiss")}, {QStringLiteral("éva")}});
        const QString eva = QStringLiteral("[Felhasználó] = ") + jet::quoted(QStringLiteral("éva"), u'"');
        QStringList found;
        for (bool ok = users->moveFirst() && users->findFirst(eva); ok && !users->noMatch(); ok = users->findNext(eva))
            found << users->value(0).toString();
        QCOMPARE(found, (QStringList{QStringLiteral("Éva"), QStringLiteral("ÉVA"), QStringLiteral("éva")}));
        QVERIFY(users->noMatch());

        const QString star = QStringLiteral("[Felhasználó] = ") + jet::quoted(QStringLiteral("k*"), u'"');
        QVERIFY(users->moveFirst() && users->findFirst(star));
        QCOMPARE(users->value(0).toString(), QStringLiteral("K*"));
        QVERIFY(users->findNext(star));
        QVERIFY(users->noMatch());
        QVERIFY(users->moveFirst() && users->findFirst(QStringLiteral("[Felhasználó] = \"Ki*\"")));
        QVERIFY(users->noMatch());
        // from before the first record, the next match is the first one
        QVERIFY(users->moveFirst() && users->movePrevious() && users->findNext(eva));
        QCOMPARE(users->value(0).toString(), QStringLiteral("Éva"));
    }

    void bookmarksReturnToTheRecord()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveNext());
        QVERIFY(ds->moveNext());
        const Bookmark mark = ds->bookmark();
        QVERIFY(mark.isValid());
        QVERIFY(ds->moveLast());
        QVERIFY(ds->setBookmark(mark));
        QCOMPARE(ds->value(9).toInt(), 3);
        QVERIFY(ds->deleteCurrent());
        QVERIFY(!ds->hasCurrent());
        QVERIFY(!ds->setBookmark(mark));
        QVERIFY(!ds->bookmark().isValid());
    }

    void deleteLeavesNoCurrentRecordUntilTheNextMove()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveNext());
        QVERIFY(ds->deleteCurrent());
        QCOMPARE(ds->recordCount(), 7);
        QVERIFY(!ds->value(0).isValid());
        QVERIFY(!ds->edit());
        QVERIFY(ds->moveNext());
        QCOMPARE(ds->value(9).toInt(), 3);
        QVERIFY(ds->deleteCurrent());
        QVERIFY(ds->movePrevious());
        QCOMPARE(ds->value(9).toInt(), 1);
        auto other = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QCOMPARE(other->recordCount(), 6);
    }

    void headerSortTogglesInHungarianOrder()
    {
        fillPartners();
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("select * from BePartner"), nullptr, set->dir());
        QVERIFY(ds.refresh());
        auto names = [&] {
            QStringList out;
            for (int row = 0; row < ds.recordCount(); ++row)
                out << ds.recordset()->valueAt(row, 0).toString();
            return out;
        };
        // the steps a grid's header click takes
        auto click = [&](const QString &field) {
            ds.setSort(ds.sort() == field ? field + QStringLiteral(" DESC") : field);
            const QString sortText = ds.sort();
            Error error;
            auto sorted = ds.recordset()->openRecordset(error);
            QVERIFY2(sorted, qPrintable(error.message));
            ds.setRecordset(sorted);
            ds.setSort(sortText);
        };
        click(QStringLiteral("BerNev"));
        const QStringList ascending = names();
        QCOMPARE(ascending.first(), QStringLiteral("Ábel Bt."));
        QVERIFY(ascending.indexOf(QStringLiteral("Ábel Bt.")) < ascending.indexOf(QStringLiteral("Árvíztűrő Tükörfúrógép Kft.")));
        QVERIFY(ascending.indexOf(QStringLiteral("Cukor Pékség Zrt.")) < ascending.indexOf(QStringLiteral("Csaba Építő Kft.")));
        QVERIFY(ascending.indexOf(QStringLiteral("Kovács és Társa Bt.")) < ascending.indexOf(QStringLiteral("Öveges Gépészet Kft.")));
        QCOMPARE(ascending.last(), QStringLiteral("Zsámbéki Fuvarozó Kft."));
        QCOMPARE(ds.value(0).toString(), QStringLiteral("Ábel Bt."));
        click(QStringLiteral("BerNev"));
        QStringList reversed = ascending;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(names(), reversed);
        click(QStringLiteral("BerNev"));
        QCOMPARE(names(), ascending);
        click(QStringLiteral("recordID"));
        QCOMPARE(ds.value(9).toInt(), 1);
        click(QStringLiteral("recordID"));
        QCOMPARE(ds.value(9).toInt(), 8);
        ds.setSort(QStringLiteral("Nincs"));
        Error error;
        QVERIFY(!ds.recordset()->openRecordset(error));
        QCOMPARE(error.code, ErrorCode::NoSuchField);
    }

    void orderByNumbersNullsAndPrefixes()
    {
        auto ds = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("SzamlaTartozas"));
        const QVariant null;
        addRows(*ds, {{QStringLiteral("a"), QStringLiteral("Kft."), null, null, null, null, null, null, -2.5},
                      {QStringLiteral("b"), QStringLiteral("Kft"), null, null, null, null, null, null, 10.0},
                      {QStringLiteral("c"), null, null, null, null, null, null, null, null},
                      {QStringLiteral("d"), QStringLiteral("kft"), null, null, null, null, null, null, -100.0},
                      {QStringLiteral("e"), QStringLiteral("Kf"), null, null, null, null, null, null, 0.0}});
        auto order = [&](const QString &by) {
            ds->setRecordSource(QStringLiteral("select * from SzamlaTartozas order by ") + by);
            if (!ds->refresh())
                return QString(ds->lastError().message);
            QString ids;
            for (int row = 0; row < ds->recordCount(); ++row)
                ids += ds->recordset()->valueAt(row, 0).toString();
            return ids;
        };
        QCOMPARE(order(QStringLiteral("BruttóÖsszeg")), QStringLiteral("cdaeb"));
        QCOMPARE(order(QStringLiteral("BruttóÖsszeg desc")), QStringLiteral("beadc"));
        // letter case ties keep table order; a prefix sorts first
        QCOMPARE(order(QStringLiteral("PartnerNeve")), QStringLiteral("cebda"));
        QCOMPARE(order(QStringLiteral("PartnerNeve desc")), QStringLiteral("abdec"));
        QCOMPARE(order(QStringLiteral("PartnerNeve desc, BruttóÖsszeg")), QStringLiteral("adbec"));
    }

    void statementOrderAndFilterAndRefresh()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("select * from BePartner order by BerNev"));
        QCOMPARE(ds->value(0).toString(), QStringLiteral("Ábel Bt."));
        QVERIFY(ds->moveLast());
        ds->setRecordSource(QStringLiteral("select * from BePartner where BerNev like '*kft.' order by recordID desc"));
        QVERIFY(ds->refresh());
        QCOMPARE(ds->recordCount(), 5);
        QCOMPARE(ds->absolutePosition(), 0);
        QCOMPARE(ds->value(9).toInt(), 8);
        ds->setRecordSource(QStringLiteral("select * from BePartner where BerNev = ") + jet::quoted(QStringLiteral("Bella's Café Kft.")));
        QVERIFY(ds->refresh());
        QCOMPARE(ds->recordCount(), 1);
        ds->setRecordSource(QStringLiteral("select * from BePartner where BerNev = 'x"));
        QVERIFY(!ds->refresh());
        QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
        ds->setRecordSource(QStringLiteral("select recordid from bepartner where recordid >0  order by recordid"));
        QVERIFY(ds->refresh());
        QCOMPARE(ds->recordset()->fieldCount(), 1);
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->value(0).toInt(), 8);
    }

    void dynasetShowsOtherSourcesChangesWhenReRead()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto b = source(QStringLiteral("TORZSEK.TVD"), QStringLiteral("bepartner"));
        QCOMPARE(a->database().get(), b->database().get());
        QVERIFY(a->setValue(QStringLiteral("BerSzekhely"), QStringLiteral("Eger")));
        QVERIFY(a->update());
        QVERIFY(b->moveLast());
        QVERIFY(b->moveFirst());
        QCOMPARE(b->value(QStringLiteral("BERSZEKHELY")).toString(), QStringLiteral("Eger"));
        // a row added by another source appears only after a refresh
        addRows(*a, {{QStringLiteral("Új Partner Kft."), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                      QVariant(), 9}});
        QCOMPARE(b->recordCount(), 8);
        QVERIFY(b->refresh());
        QCOMPARE(b->recordCount(), 9);
        // a row another source deleted cannot be edited
        QVERIFY(a->moveLast());
        QVERIFY(b->moveLast());
        QVERIFY(a->deleteCurrent());
        QVERIFY(!b->edit());
        QCOMPARE(b->lastError().code, ErrorCode::RecordDeleted);
    }

    void aRecordEditedInOneSourceIsLockedForTheOthers()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto b = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("select * from BePartner order by BerNev desc"));
        QVERIFY(b->findFirst(QStringLiteral("[recordID] = 1")));
        QVERIFY(a->edit());
        QVERIFY(!b->edit());
        QCOMPARE(b->lastError().code, ErrorCode::Locked);
        QVERIFY(!b->setValue(0, QStringLiteral("x")));
        QVERIFY(!b->deleteCurrent());
        QCOMPARE(b->lastError().code, ErrorCode::Locked);
        // other records are free
        QVERIFY(b->moveFirst());
        QVERIFY(b->edit());
        b->cancelUpdate();
        QVERIFY(b->findFirst(QStringLiteral("[recordID] = 1")));
        a->cancelUpdate();
        QVERIFY(b->edit());
        QVERIFY(b->setValue(0, QStringLiteral("Kovács és Fia Bt.")));
        QVERIFY(b->update());
        QVERIFY(a->moveFirst());
        QCOMPARE(a->value(0).toString(), QStringLiteral("Kovács és Fia Bt."));
    }

    // A workstation whose session to the server broke lost its record locks
    // with it: meanwhile another one may have changed the record. What was
    // typed under the lost lock is never written.
    void aLostServerSessionFailsTheEditItsLockGuarded()
    {
        if (!set->onServer())
            QSKIP("server sessions only");
#ifdef TVX_HAVE_LIBPQ
        DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set->dir());
        QVERIFY(users.refresh());
        addRows(users, {{QStringLiteral("demo")}});
        QVERIFY(users.moveFirst());
        QVERIFY(users.setValue(1, QStringLiteral("gépelt")));  // locks the record

        const QString database = set->conninfo().section(QStringLiteral("dbname="), -1).trimmed();
        QCOMPARE(PgTestServer::admin(QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE datname = '%1'")
                                         .arg(database)),
                 QString());
        QVERIFY(!users.update());
        QCOMPARE(users.lastError().code, ErrorCode::Io);
        QVERIFY2(users.lastError().message.startsWith(QStringLiteral("Megszakadt a kapcsolat az adatbázis-kiszolgálóval")),
                 qPrintable(users.lastError().message));
        // the session is made anew, but the lock was not
        QVERIFY(!users.update());
        QCOMPARE(users.lastError().message, messages::recordLockLost(QStringLiteral("regiszt.tvd")).message);
        QCOMPARE(users.value(1).toString(), QStringLiteral("gépelt"));  // what was typed stays on the screen
        {
            DataSource stored(QStringLiteral("regiszt.tvd"), QStringLiteral("select * from Users"), nullptr, set->dir());
            QVERIFY(stored.refresh());
            QVERIFY(stored.moveFirst());
            QVERIFY(stored.value(1).isNull());
        }
        // begun again, under a lock of the new session, it is saved
        users.cancelUpdate();
        QVERIFY(users.edit());
        QVERIFY(users.setValue(1, QStringLiteral("újra")));
        QVERIFY2(users.update(), qPrintable(users.lastError().message));
        QVERIFY(users.refresh() && users.moveFirst());
        QCOMPARE(users.value(1).toString(), QStringLiteral("újra"));
#endif
    }

    void namesIgnoreLetterCaseEverywhere()
    {
        auto ds = source(QStringLiteral("REGISZT.TVD"), QStringLiteral("select * from REGISZTRÁLÁS order by akciódátuma"));
        QVERIFY2(ds->isOpen(), qPrintable(ds->lastError().message));
        addRows(*ds, {{QStringLiteral("demo")}});
        QCOMPARE(ds->value(QStringLiteral("AKCIÓFELHASZNÁLÓ")).toString(), QStringLiteral("demo"));
        QVERIFY(ds->findFirst(QStringLiteral("[akciófelhasználó] = 'DEMO'")));
        QVERIFY(!ds->noMatch());
        if (!set->onServer())
            QCOMPARE(set->dir().entryList({QStringLiteral("*.tvd")}, QDir::Files).filter(QStringLiteral("regiszt"), Qt::CaseInsensitive).size(), 1);
    }

    void missingOrForeignFilesFailCleanly()
    {
        DataSource missing(QStringLiteral("nincs.tvd"), QStringLiteral("Users"), nullptr, set->dir());
        QVERIFY(!missing.refresh());
        QCOMPARE(missing.lastError().code, ErrorCode::FileMissing);
        QVERIFY(!missing.moveFirst());
        QCOMPARE(missing.lastError().code, ErrorCode::Closed);
        QVERIFY(!missing.value(0).isValid());
        QVERIFY(!missing.closeRecordset());
        QVERIFY(!QFile::exists(set->path(QStringLiteral("nincs.tvd"))));

        QFile junk(set->path(QStringLiteral("szemet.tvd")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        DataSource foreign(QStringLiteral("szemet.tvd"), QStringLiteral("Users"), nullptr, set->dir());
        QVERIFY(!foreign.refresh());
        // the server knows only the data set's own six files
        QCOMPARE(foreign.lastError().code, set->onServer() ? ErrorCode::FileMissing : ErrorCode::NotADatabase);

        DataSource noTable(QStringLiteral("regiszt.tvd"), QStringLiteral("Nincstábla"), nullptr, set->dir());
        QVERIFY(!noTable.refresh());
        QCOMPARE(noTable.lastError().code, ErrorCode::NoSuchTable);
    }

    void gridReadsRowsWithoutMoving()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QSignalSpy moved(ds.get(), &DataSource::currentChanged);
        QCOMPARE(ds->recordset()->valueAt(3, 0).toString(), QStringLiteral("Árvíztűrő Tükörfúrógép Kft."));
        QCOMPARE(ds->recordset()->valueAt(99, 0), QVariant());
        QCOMPARE(moved.count(), 0);
        QCOMPARE(ds->absolutePosition(), 0);
        // the row being edited shows what was typed, and says so at every change
        QSignalSpy rowChanged(ds.get(), &DataSource::rowChanged);
        QVERIFY(ds->setValue(0, QStringLiteral("Gépelés")));
        QVERIFY(ds->setValue(0, QStringLiteral("Gépelés alatt")));
        QCOMPARE(ds->recordset()->valueAt(0, 0).toString(), QStringLiteral("Gépelés alatt"));
        QCOMPARE(rowChanged.count(), 2);
        QCOMPARE(rowChanged.last().first().toInt(), 0);
    }

    // Another data source deletes the last partner and adds one: the engine
    // would hand the new row the deleted one's key.
    void aDeletedRecordNeverTurnsIntoAnother()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(a->moveLast());
        const Bookmark onLast = a->bookmark();
        QCOMPARE(a->value(9).toInt(), 8);
        auto b = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(b->moveLast());
        QVERIFY(b->deleteCurrent());
        addRows(*b, {{QStringLiteral("Új Partner Kft."), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                      QVariant(), 99}});

        // typing into it finds it gone, and the new row keeps its own values
        QVERIFY(!a->setValue(QStringLiteral("BerCim"), QStringLiteral("félig beírva")));
        QCOMPARE(a->lastError().code, ErrorCode::RecordDeleted);
        QVERIFY(!a->hasCurrent());
        QVERIFY(a->moveFirst());
        QVERIFY(!a->setBookmark(onLast));
        QCOMPARE(a->lastError().code, ErrorCode::RecordDeleted);
        QCOMPARE(a->value(9).toInt(), 1);
        QVERIFY(a->moveLast());
        QCOMPARE(a->value(9).toInt(), 7);
        auto check = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(check->findFirst(QStringLiteral("[recordID] = 99")));
        QVERIFY(!check->noMatch());
        QVERIFY(check->value(QStringLiteral("BerCim")).isNull());
        QCOMPARE(check->recordCount(), 8);
    }

    void movingOntoARecordDeletedElsewhereFailsOnceAndLeavesItOut()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto b = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(b->moveNext());
        QVERIFY(b->deleteCurrent());
        QSignalSpy moved(a.get(), &DataSource::currentChanged);
        QVERIFY(!a->moveNext());
        QCOMPARE(a->lastError().code, ErrorCode::RecordDeleted);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(a->absolutePosition(), 0);
        QCOMPARE(a->value(9).toInt(), 1);
        QCOMPARE(a->recordCount(), 7);
        QVERIFY(a->moveNext());
        QCOMPARE(a->value(9).toInt(), 3);
        // deleting what another source already deleted is reported, not claimed
        QVERIFY(b->moveNext());
        QCOMPARE(b->value(9).toInt(), 3);
        QVERIFY(a->deleteCurrent());
        QVERIFY(!b->deleteCurrent());
        QCOMPARE(b->lastError().code, ErrorCode::RecordDeleted);
        QVERIFY(!b->edit());
    }

    void bookmarksBelongToTheirRecordset()
    {
        fillPartners();
        auto a = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto b = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(a->moveLast());
        QVERIFY(!b->setBookmark(a->bookmark()));
        QVERIFY(b->lastError());
        QCOMPARE(b->absolutePosition(), 0);
        QVERIFY(!b->setBookmark(Bookmark{}));
    }

    void replacingTheRecordsetWritesWhatWasTypedFirst()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("select * from BePartner"));
        // a header click: sort, open from the current one, put it in place
        auto sortBy = [&](const QString &field) {
            ds->setSort(field);
            Error error;
            auto sorted = ds->recordset()->openRecordset(error);
            return sorted && ds->setRecordset(sorted);
        };
        QVERIFY(ds->setValue(QStringLiteral("BerCim"), QStringLiteral("Fő utca 1.")));
        QVERIFY(sortBy(QStringLiteral("BerNev")));
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] = 1")));
        QCOMPARE(ds->value(QStringLiteral("BerCim")).toString(), QStringLiteral("Fő utca 1."));

        // a change that cannot be written stops the sort and stays
        const QString tooLong(60, u'x');
        QVERIFY(ds->setValue(QStringLiteral("BerCim"), tooLong));
        auto before = ds->recordset();
        QVERIFY(!sortBy(QStringLiteral("recordID")));
        QCOMPARE(ds->recordset(), before);
        QCOMPARE(ds->value(QStringLiteral("BerCim")).toString(), tooLong);
        QCOMPARE(ds->editMode(), Recordset::EditMode::Edit);
        QVERIFY(!ds->refresh());
        QCOMPARE(ds->lastError().code, ErrorCode::ValueDoesNotFit);
        QVERIFY(!ds->closeRecordset());
        QCOMPARE(ds->value(QStringLiteral("BerCim")).toString(), tooLong);
        QVERIFY(ds->setValue(QStringLiteral("BerCim"), QStringLiteral("Rövid")));
        QVERIFY(ds->refresh());
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] = 1")));
        QCOMPARE(ds->value(QStringLiteral("BerCim")).toString(), QStringLiteral("Rövid"));
    }

    void everyOperationReportsItsOwnOutcome()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(!ds->findFirst(QStringLiteral("[Nincs] = 1")));
        QCOMPARE(ds->lastError().code, ErrorCode::NoSuchField);
        // showing leaves the failure for the screen; a step that succeeds clears it
        QCOMPARE(ds->shownValue(QStringLiteral("BerNev")).toString(), partnerNames().first());
        QCOMPARE(ds->lastError().code, ErrorCode::NoSuchField);
        QCOMPARE(ds->value(0).toString(), partnerNames().first());
        QVERIFY(!ds->lastError());
        QVERIFY(!ds->value(QStringLiteral("Nincs")).isValid());
        QCOMPARE(ds->lastError().code, ErrorCode::NoSuchField);
    }

    void longConditionChainsFindAndDeepNestingIsRefused()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QStringList conditions;
        for (int i = 0; i < jet::kMaxComparisons - 1; ++i)
            conditions << QStringLiteral("[recordID] <> %1").arg(100 + i);
        conditions << QStringLiteral("[recordID] = 6");
        QVERIFY2(ds->findFirst(conditions.join(QStringLiteral(" and "))), qPrintable(ds->lastError().message));
        QCOMPARE(ds->value(9).toInt(), 6);
        QVERIFY(ds->findFirst(QStringList(999, QStringLiteral("[recordID] = 0")).join(QStringLiteral(" or ")) +
                              QStringLiteral(" or [BerNev] like \"Cukor*\"")));
        QCOMPARE(ds->value(9).toInt(), 3);
        // beyond the limit: a clear refusal, quickly, with the record kept
        QVERIFY(!ds->findFirst(QStringList(100000, QStringLiteral("[recordID] <> 1")).join(QStringLiteral(" and "))));
        QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
        QVERIFY(ds->lastError().message.contains(QStringLiteral("túl hosszú")));
        QCOMPARE(ds->value(9).toInt(), 3);

        // brackets and NOT as deep as a person writes them still work
        QVERIFY2(ds->findFirst(QString(19, u'(') + QStringLiteral("not [recordID] <> 7") + QString(19, u')')),
                 qPrintable(ds->lastError().message));
        QCOMPARE(ds->value(9).toInt(), 7);
        for (const QString &deep : {QString(100000, u'(') + QStringLiteral("[recordID] = 1") + QString(100000, u')'),
                                    QStringLiteral("not ").repeated(100000) + QStringLiteral("[recordID] = 1")}) {
            QVERIFY(!ds->findFirst(deep));
            QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
            QVERIFY(ds->lastError().message.contains(QStringLiteral("túl mélyen")));
            QCOMPARE(ds->value(9).toInt(), 7);
        }
    }

    void criteriaValuesAreTakenAsWritten()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] like -5")));
        QVERIFY(ds->noMatch());
        QVERIFY(ds->findFirst(QStringLiteral("[recordID] like 5")));
        QVERIFY(!ds->noMatch());
        // numbers beyond 64 bits compare, they do not overflow
        for (const char *huge : {"[recordID] = 99999999999999999999", "[BerNev] = 1e300", "[recordID] like 123456789012345678901234"}) {
            QVERIFY2(ds->findFirst(QString::fromLatin1(huge)), qPrintable(ds->lastError().message));
            QVERIFY(ds->noMatch());
        }
        // character ranges follow the alphabet and ignore letter case
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like \"[a-b]bel*\"")));
        QVERIFY(!ds->noMatch());
        QCOMPARE(ds->value(0).toString(), QStringLiteral("Ábel Bt."));
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like \"[a-a]bel*\"")));
        QVERIFY(ds->noMatch());
        QVERIFY(ds->findFirst(QStringLiteral("[BerNev] like \"[!a-z]*\"")));
        QVERIFY(ds->noMatch());
    }

    void malformedPatternIsReportedOnAnEmptyTableToo()
    {
        auto users = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"));
        QCOMPARE(users->recordCount(), 0);
        QVERIFY(!users->findFirst(QStringLiteral("[Felhasználó] like \"[abc*\"")));
        QCOMPARE(users->lastError().code, ErrorCode::BadStatement);
        users->setRecordSource(QStringLiteral("select * from Users where Felhasználó like '[z-a]'"));
        QVERIFY(!users->refresh());
        QCOMPARE(users->lastError().code, ErrorCode::BadStatement);
    }

    void valuesMustFitWholly()
    {
        auto ds = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"));
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(QStringLiteral("SzerzödésDátuma"), QStringLiteral("2024-03-07 szemét")));
        QVERIFY(!ds->update());
        QCOMPARE(ds->lastError().code, ErrorCode::ValueDoesNotFit);
        // a year the stored text cannot hold is refused, not stored as no date
        QVERIFY(ds->setValue(QStringLiteral("SzerzödésDátuma"), QDate(12142, 3, 4)));
        QVERIFY(!ds->update());
        QCOMPARE(ds->lastError().code, ErrorCode::ValueDoesNotFit);
        QVERIFY(ds->lastError().message.contains(QStringLiteral("12142")));
        // a date another program wrote with its time of day still reads as the date
        QVERIFY(ds->setValue(QStringLiteral("SzerzödésDátuma"), QStringLiteral("2024-03-07 12:30:00")));
        // a character outside the basic plane counts as one, as the file counts it
        const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x81").repeated(50);
        QVERIFY(ds->setValue(QStringLiteral("recordID"), emoji));
        QVERIFY(ds->setValue(QStringLiteral("FelvitelDátuma"), QDate()));
        QVERIFY(ds->setValue(QStringLiteral("IrattárbaHelyezésDátuma"), QVariant(QDateTime())));
        QVERIFY2(ds->update(), qPrintable(ds->lastError().message));
        QVERIFY(ds->moveFirst());
        QCOMPARE(ds->value(QStringLiteral("recordID")).toString(), emoji);
        QCOMPARE(ds->value(QStringLiteral("SzerzödésDátuma")).toDate(), QDate(2024, 3, 7));
        QVERIFY(ds->value(QStringLiteral("FelvitelDátuma")).isNull());
        QVERIFY(ds->value(QStringLiteral("IrattárbaHelyezésDátuma")).isNull());
        QVERIFY(ds->setValue(QStringLiteral("recordID"), emoji + u'x'));
        QVERIFY(!ds->update());
        QCOMPARE(ds->lastError().code, ErrorCode::ValueDoesNotFit);
    }

    void untouchedNewRecordIsNotWrittenButAnExplicitUpdateIs()
    {
        auto ds = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"));
        QVERIFY(ds->addNew());
        QVERIFY(ds->closeRecordset());
        QVERIFY(ds->refresh());
        QCOMPARE(ds->recordCount(), 0);
        QVERIFY(ds->addNew());
        QVERIFY(ds->update());
        QCOMPARE(ds->recordCount(), 1);
        QVERIFY(ds->moveLast());
        QVERIFY(ds->value(0).isNull());
    }

    void guardedSaveChecksAndSetsInsideItsWrite()
    {
        fillPartners();
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto other = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        // a row the first source has not seen yet still counts
        addRows(*other, {{QStringLiteral("Később jött Kft."), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                          QVariant(), QVariant(), 41}});
        const auto nextIdentifier = [](WriteCheck &check) {
            QVariant highest;
            if (Error e = check.highest(QStringLiteral("recordID"), highest, QStringLiteral("[recordID] > 0")))
                return e;
            return check.setValue(QStringLiteral("recordID"), highest.toLongLong() + 1);
        };
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(0, QStringLiteral("Új")));
        QVERIFY2(ds->update(nextIdentifier), qPrintable(ds->lastError().message));
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->value(QStringLiteral("recordID")).toInt(), 42);

        // a refusal writes nothing and keeps what was typed
        const auto nameTaken = [](WriteCheck &check) {
            bool found = false;
            if (Error e = check.exists(QStringLiteral("[BerNev] = \"ábel bt.\""), found))
                return e;
            return found ? Error{ErrorCode::Refused, QStringLiteral("foglalt")} : Error{};
        };
        QVERIFY(other->refresh());
        const int before = other->recordCount();
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(0, QStringLiteral("Ábel Bt.")));
        QVERIFY(!ds->update(nameTaken));
        QCOMPARE(ds->lastError().code, ErrorCode::Refused);
        QCOMPARE(ds->editMode(), Recordset::EditMode::AddNew);
        QCOMPARE(ds->value(0).toString(), QStringLiteral("Ábel Bt."));
        ds->cancelUpdate();
        QVERIFY(other->refresh());
        QCOMPARE(other->recordCount(), before);

        // an edit is guarded the same way, and a guard's bad criteria fail cleanly
        QVERIFY(ds->moveFirst());
        QVERIFY(ds->setValue(QStringLiteral("BerCim"), QStringLiteral("Fő utca 1.")));
        QVERIFY(!ds->update([](WriteCheck &check) {
            bool found = false;
            return check.exists(QStringLiteral("[BerNev] = \"nyitott"), found);
        }));
        QCOMPARE(ds->lastError().code, ErrorCode::BadStatement);
        QVERIFY(ds->update(nextIdentifier));
        QVERIFY(other->findFirst(QStringLiteral("[BerCim] = 'Fő utca 1.'")));
        QCOMPARE(other->value(QStringLiteral("recordID")).toInt(), 43);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
