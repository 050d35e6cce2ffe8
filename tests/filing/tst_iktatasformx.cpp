#include "common/datagrid.h"
#include "common/datefield.h"
#include "common/datepicker.h"
#include "common/hungarian.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "data/connection.h"
#include "data/datasource.h"
#include "data/schema.h"
#include "filing/filingtestkit.h"
#include "filing/iktatasformx.h"
#include "filing/screens.h"
#include "partners/partnertestkit.h"
#include "partners/screens.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"
#include "support/usertable.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>

#include <sqlite3.h>

using namespace tvx;
using tvx::data::DataSource;

namespace {

const QString kSameSecond = QStringLiteral("20243745308,5");  // the scripted clock: 7 March 2024, 12:35:08.5

enum Pos { RecordId = 0, PartnerName = 1, PartnerId = 2, ContractDate = 4, RecordedDate = 7, ArchivedDate = 10, Jelleg = 15, Jel = 16,
           Szam = 17, Alszam = 18, Egyeb = 19, Number = 20 };


}  // namespace

class TestIktatasFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }

    static QString shown(IktatasFormX &screen, const QString &field) { return screen.TarvixData.value(field).toString(); }
    static QString currentId(IktatasFormX &screen) { return shown(screen, QStringLiteral("recordID")); }
    static QStringList listedIds(IktatasFormX &screen)
    {
        QStringList ids;
        auto rs = screen.TarvixData.recordset();
        for (int row = 0; row < rs->recordCount(); ++row)
            ids << rs->valueAt(row, 0).toString();
        return ids;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        typeText(field, text);
    }
    // what the transition table calls the state of OK, Módosítás and Új adat
    static QString commands(IktatasFormX &screen)
    {
        return QString(screen.Oke->isEnabled() ? u'O' : u'-') + QChar(screen.Modositas->isEnabled() ? u'M' : u'-') +
               QChar(screen.UjAdat->isEnabled() ? u'U' : u'-');
    }
    static bool editing(IktatasFormX &screen)
    {
        return screen.Text2->isEnabled() && screen.DBGrid2->isEnabled() && screen.Datum1->isEditing() && screen.Combo1->isEnabled();
    }
    static bool browsing(IktatasFormX &screen)
    {
        return !screen.Text2->isEnabled() && !screen.Check2->isEnabled() && !screen.DBGrid2->isEnabled() && !screen.Datum1->isEditing() &&
               !screen.Combo1->isEnabled();
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void anEmptyTableGetsItsFirstEntryAtOnce()
    {
        IktatasFormX screen;
        QCOMPARE(commands(screen), QStringLiteral("-M-"));  // as the screen opens
        screen.activation();
        QCOMPARE(screen.TarvixData.recordCount(), 1);
        QCOMPARE(currentId(screen), kSameSecond);
        QCOMPARE(handOver().currentFilingId, kSameSecond);
        QCOMPARE(screen.Label7->text(), QStringLiteral("ÚJ ADAT"));
        QVERIFY(editing(screen));
        QCOMPARE(commands(screen), QStringLiteral("-MU"));  // OK waits for Módosítás or Új adat
        // stored at once: identifier and today's three dates, nothing else
        const QList<QVariantList> rows = storedEntries(dir());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][RecordId].toString(), kSameSecond);
        for (int date : {ContractDate, RecordedDate, ArchivedDate})
            QCOMPARE(rows[0][date].toDate(), QDate(2024, 3, 7));
        QVERIFY(rows[0][PartnerName].isNull() && rows[0][Number].isNull());
        QCOMPARE(screen.Label21->text(), QStringLiteral("2024.03.07."));
    }

    void opensOnTheLastEntryInBrowseMode()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("C3")});
        IktatasFormX screen;
        screen.activation();
        QCOMPARE(currentId(screen), QStringLiteral("3"));
        QCOMPARE(screen.Label18->text(), QStringLiteral("C3"));
        QVERIFY(browsing(screen));
        QCOMPARE(screen.Label7->text(), QString());
        QCOMPARE(commands(screen), QStringLiteral("-M-"));
        QCOMPARE(screen.DBGrid1->model()->columnCount(), 20);
        QCOMPARE(screen.DBGrid2->model()->columnCount(), 16);
        QCOMPARE(screen.DBGrid1->model()->headerData(19, Qt::Horizontal).toString(), QStringLiteral("IktatószámEgyébjel"));
    }

    void commandStatesFollowEachTransition()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B2")});
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        QCOMPARE(screen.Label7->text(), QStringLiteral("JAVÍTÁS"));
        QVERIFY(editing(screen));
        QCOMPARE(commands(screen), QStringLiteral("OMU"));
        screen.newEntry();
        QCOMPARE(screen.Label7->text(), QStringLiteral("ÚJ ADAT"));
        QCOMPARE(commands(screen), QStringLiteral("O--"));
        QVERIFY(editing(screen));
        screen.ok();
        QCOMPARE(screen.Label7->text(), QStringLiteral("MENTVE"));
        QCOMPARE(commands(screen), QStringLiteral("OM-"));  // Új adat waits for Módosítás
        screen.modify();
        QCOMPARE(commands(screen), QStringLiteral("OMU"));
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}});
        screen.PartnerData.requery();
        screen.choosePartner();
        QCOMPARE(commands(screen), QStringLiteral("OM-"));
        screen.movePrevious();
        QVERIFY(browsing(screen));
        QCOMPARE(screen.Label7->text(), QString());
        QCOMPARE(commands(screen), QStringLiteral("-M-"));
        screen.modify();
        emit screen.DBGrid1->rowClicked(0);  // a click in the list
        QVERIFY(browsing(screen));
        QCOMPARE(commands(screen), QStringLiteral("-M-"));
    }

    void navigationStopsAtBothEnds()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("C3")});
        IktatasFormX screen;
        screen.activation();
        screen.moveNext();
        QCOMPARE(currentId(screen), QStringLiteral("3"));
        QVERIFY(screen.TarvixData.hasCurrent());
        screen.moveFirst();
        screen.movePrevious();
        QCOMPARE(currentId(screen), QStringLiteral("1"));
        QVERIFY(screen.TarvixData.hasCurrent());
        QTest::mouseClick(screen.Command4, Qt::LeftButton);
        QCOMPARE(currentId(screen), QStringLiteral("3"));
    }

    void okJoinsTheFivePartsAsTheyAre()
    {
        addNumbers(dir(), {QString()});
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        type(screen.Text9, QStringLiteral("A"));
        type(screen.Text11, QStringLiteral("15"));
        screen.ok();
        QCOMPARE(storedEntries(dir())[0][Number].toString(), QStringLiteral("A15"));
        QCOMPARE(screen.Label18->text(), QStringLiteral("A15"));
        // spaces and separators stay as typed
        type(screen.Text9, QStringLiteral("SZ"));
        type(screen.Text10, QStringLiteral("/B "));
        type(screen.Text11, QStringLiteral("12"));
        type(screen.Text12, QStringLiteral("-3"));
        screen.ok();
        QCOMPARE(storedEntries(dir())[0][Number].toString(), QStringLiteral("SZ/B 12-3"));
        for (QLineEdit *part : {screen.Text9, screen.Text10, screen.Text11, screen.Text12, screen.Text13})
            type(part, QString());
        screen.ok();
        const QVariant empty = storedEntries(dir())[0][Number];
        QVERIFY(!empty.isNull());
        QCOMPARE(empty.toString(), QString());
        QCOMPARE(screen.TarvixData.absolutePosition(), 0);
    }

    void aChangedPartShowsInTheNumberOnlyAfterOk()
    {
        addEntries(dir(), {{{QStringLiteral("recordID"), QStringLiteral("1")}, {QStringLiteral("IktatószámJelleg"), QStringLiteral("A")},
                            {QStringLiteral("Iktatószám"), QStringLiteral("A")}},
                           {{QStringLiteral("recordID"), QStringLiteral("2")}}});
        IktatasFormX screen;
        screen.activation();
        screen.moveFirst();
        screen.modify();
        type(screen.Text9, QStringLiteral("B"));
        screen.moveNext();
        QCOMPARE(storedEntries(dir())[0][Jelleg].toString(), QStringLiteral("B"));
        QCOMPARE(storedEntries(dir())[0][Number].toString(), QStringLiteral("A"));
    }

    void newEntryThenExitLeavesOnlyItsIdentifierAndDates()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        {
            IktatasFormX screen;
            screen.activation();
            screen.modify();
            screen.newEntry();
            QCOMPARE(currentId(screen), kSameSecond);
            QCOMPARE(handOver().currentFilingId, kSameSecond);
            screen.Kilepes();
        }
        const QList<QVariantList> rows = storedEntries(dir());
        QCOMPARE(rows.size(), 2);
        for (int i = 0; i < rows[1].size(); ++i) {
            if (i == RecordId)
                QCOMPARE(rows[1][i].toString(), kSameSecond);
            else if (i == ContractDate || i == RecordedDate || i == ArchivedDate)
                QCOMPARE(rows[1][i].toDate(), QDate(2024, 3, 7));
            else
                QVERIFY2(rows[1][i].isNull(), qPrintable(QString::number(i)));
        }
    }

    void aNewIdentifierIsNeverOneInUse()
    {
        // another workstation made an entry in the same instant, and one was archived
        addEntries(dir(), {{{QStringLiteral("recordID"), kSameSecond}}});
        addEntries(dir(), {{{QStringLiteral("recordID"), QStringLiteral("20243745308,51")}}}, QStringLiteral("TarvixArchiv.tvd"));
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        screen.newEntry();
        screen.modify();
        screen.newEntry();
        const QStringList ids = storedField(dir(), RecordId);
        QCOMPARE(ids, (QStringList{kSameSecond, QStringLiteral("20243745308,52"), QStringLiteral("20243745308,53")}));
    }

    void twoWorkstationsInTheSameSecondMakeDifferentIdentifiers()
    {
        // two programs, each making entries with one fixed clock reading
        addNumbers(dir(), {QStringLiteral("A1")});
        QList<QProcess *> peers;
        for (int i = 0; i < 2; ++i) {
            auto *peer = new QProcess(this);
            peer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            peer->start(QStringLiteral(FILINGPEER), {dir().path(), QStringLiteral("15")});
            peers << peer;
        }
        for (QProcess *peer : peers) {
            QVERIFY(peer->waitForFinished(60000));
            QCOMPARE(peer->exitCode(), 0);
        }
        const QStringList ids = storedField(dir(), RecordId);
        QCOMPARE(ids.size(), 31);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 31);
        QVERIFY(ids.contains(kSameSecond));
    }

    void choosingAPartnerOffersItsLastTemplate()
    {
        addNumbers(dir(), {QString()});
        const QString quoted = QStringLiteral("O'Brien \"Kft.\"");
        addPartners(dir(), {{quoted, 7}, {QStringLiteral("Sablon nélküli Bt."), 8}, {QVariant(), 9}});
        DataSource templates(QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), nullptr, dir());
        QVERIFY(templates.refresh());
        const QList<QVariantList> rows{
            {QStringLiteral("X"), QStringLiteral("/X"), QStringLiteral("1"), QStringLiteral("-1"), QStringLiteral("x"), 7, quoted},
            {QStringLiteral("SZ"), QVariant(), QStringLiteral("12"), QVariant(), QVariant(), 7, quoted},
            {QStringLiteral("M"), QStringLiteral("/M"), QStringLiteral("1"), QVariant(), QVariant(), 3, QStringLiteral("Más Kft.")},
        };
        for (const QVariantList &row : rows) {
            QVERIFY(templates.addNew());
            for (int i = 0; i < row.size(); ++i)
                QVERIFY(templates.setValue(i, row[i]));
            QVERIFY(templates.update());
        }
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        for (QLineEdit *part : {screen.Text9, screen.Text10, screen.Text11, screen.Text12, screen.Text13})
            type(part, QStringLiteral("régi"));

        // no template: no question, the parts stay
        QVERIFY(screen.PartnerData.findFirst(QStringLiteral("[recordID] = 8")));
        screen.choosePartner();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(screen.Text1->text(), QStringLiteral("Sablon nélküli Bt."));
        QCOMPARE(screen.Label3->text(), QStringLiteral("8"));
        QCOMPARE(screen.Text9->text(), QStringLiteral("régi"));

        // two templates: the last one, and the parts it leaves empty are emptied
        QVERIFY(screen.PartnerData.findFirst(QStringLiteral("[recordID] = 7")));
        platform->answers << Answer::No;
        screen.choosePartner();
        QCOMPARE(platform->lastText(), QStringLiteral("Kéri a partner iktatási formáját alkalmazni?"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages.last().buttons, MessageButtons::YesNo);
        QCOMPARE(screen.Text9->text(), QStringLiteral("régi"));
        QCOMPARE(screen.Text1->text(), quoted);
        platform->answers << Answer::Yes;
        screen.choosePartner();
        QCOMPARE((QStringList{screen.Text9->text(), screen.Text10->text(), screen.Text11->text(), screen.Text12->text(), screen.Text13->text()}),
                 (QStringList{QStringLiteral("SZ"), QString(), QStringLiteral("12"), QString(), QString()}));
        QCOMPARE(screen.Label18->text(), QString());  // composed by OK only
        screen.ok();
        const QVariantList stored = storedEntries(dir())[0];
        QCOMPARE(stored[PartnerName].toString(), quoted);
        QCOMPARE(stored[PartnerId].toInt(), 7);
        QCOMPARE(stored[Number].toString(), QStringLiteral("SZ12"));

        // after a partner with a template, one without asks nothing; a nameless one puts an empty name
        // (Enter on the partner list chooses, as a double click does)
        const qsizetype asked = platform->messages.size();
        QVERIFY(screen.PartnerData.findFirst(QStringLiteral("[recordID] = 9")));
        QTest::keyClick(screen.DBGrid2, Qt::Key_Return);
        QCOMPARE(platform->messages.size(), asked);
        QCOMPARE(screen.Text1->text(), QString());
    }

    void choosingFromAnEmptyPartnerMasterSaysSo()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        screen.choosePartner();
        QCOMPARE(platform->lastText(), QStringLiteral("A partnertörzsben nincsenek adatok!"));
        QCOMPARE(platform->messages.last().icon, MessageIcon::Critical);
        QCOMPARE(screen.UjAdat->isEnabled(), false);
        QVERIFY(storedEntries(dir())[0][PartnerName].isNull());
    }

    void aMissingTemplateFileIsSaidWhenAPartnerIsChosen()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}});
        QVERIFY(set->removeFile(QStringLiteral("Parameter.tvd")));
        IktatasFormX screen;
        screen.activation();
        QVERIFY(platform->messages.isEmpty());
        screen.modify();
        screen.choosePartner();
        QCOMPARE(screen.Text1->text(), QStringLiteral("Kovács Kft."));
        QVERIFY(platform->lastText().contains(QStringLiteral("PARAMETER.TVD")));
    }

    void aMissingEntryFileIsSaidOnceAndNothingBreaks()
    {
        QVERIFY(set->removeFile(QStringLiteral("Tarvix.tvd")));
        IktatasFormX screen;
        screen.activation();
        QCOMPARE(platform->messages.size(), 1);
        QVERIFY(platform->lastText().contains(QStringLiteral("TARVIX.TVD")));
        screen.activation();  // said once
        QCOMPARE(platform->messages.size(), 1);
        screen.moveNext();
        screen.modify();
        screen.newEntry();
        screen.ok();
        platform->inputs << QStringLiteral("A*");
        screen.searchBy(filing::fieldSearches()[0]);
        screen.deleteEntry();
        screen.removeFilter();
        QVERIFY(!QFile::exists(set->path(QStringLiteral("Tarvix.tvd"))));  // nothing creates it
        screen.Kilepes();
    }

    void searchesFilterToTheFoundValue()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("A12"), QStringLiteral("B1")});
        IktatasFormX screen;
        screen.activation();
        platform->inputs << QStringLiteral("A1");
        QTest::mouseClick(screen.Command5, Qt::LeftButton);
        QCOMPARE(platform->prompts.last(),
                 QStringLiteral("Keresés iktatószámra|Kérem a teljes iktatószámot vagy annak részét csillaggal:"));
        QCOMPARE(listedIds(screen), QStringList{QStringLiteral("1")});
        QCOMPARE(screen.TarvixData.recordSource(), QStringLiteral("select * from Tarvix where Iktatószám like 'A1'"));

        screen.removeFilter();
        QCOMPARE(listedIds(screen).size(), 3);
        QCOMPARE(currentId(screen), QStringLiteral("1"));
        screen.moveLast();
        platform->inputs << QStringLiteral("a1*");  // letter case ignored, the first of A1 and A12
        screen.searchBy(filing::fieldSearches()[0]);
        QCOMPARE(listedIds(screen), QStringList{QStringLiteral("1")});
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(screen.Label7->text(), QString());
    }

    void aPartSearchListsEveryEntryWithThatPart()
    {
        addNumbers(dir(), {QStringLiteral("/B"), QStringLiteral("/C"), QStringLiteral("/B"), QStringLiteral("/B")}, QStringLiteral("IktatószámJel"));
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        platform->inputs << QStringLiteral("/*");
        QTest::mouseClick(screen.Command7, Qt::LeftButton);
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés iktatószám jele tulajdonságra|Kérem az iktatószám jelét vagy annak részét csillaggal:"));
        QCOMPARE(listedIds(screen), (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4")}));
        QCOMPARE(currentId(screen), QStringLiteral("1"));
        QVERIFY(editing(screen));  // a search changes neither mode nor menus
        QCOMPARE(screen.Label7->text(), QStringLiteral("JAVÍTÁS"));

        // a miss after a filter keeps the filter and the entry
        screen.moveNext();
        platform->inputs << QStringLiteral("/C");
        QTest::mouseClick(screen.Command7, Qt::LeftButton);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen iktatószám jele! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages.last().title, QString());
        QCOMPARE(platform->messages.last().icon, MessageIcon::None);
        QCOMPARE(listedIds(screen).size(), 3);
        QCOMPARE(currentId(screen), QStringLiteral("3"));

        // an empty answer changes nothing and says nothing
        const qsizetype shownBefore = platform->messages.size();
        QTest::mouseClick(screen.Command7, Qt::LeftButton);
        QCOMPARE(platform->messages.size(), shownBefore);
        QCOMPARE(currentId(screen), QStringLiteral("3"));

        screen.removeFilter();
        QCOMPARE(listedIds(screen).size(), 4);
        QCOMPARE(currentId(screen), QStringLiteral("1"));
    }

    void foundValuesAreComparedLiterally_data()
    {
        QTest::addColumn<int>("search");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("listed");
        // a star in the number filters to itself, not to everything it would match
        QTest::newRow("star in the number") << 0 << "Iktatószám" << QStringList{"A*1", "A21", "A*1"} << "A[*]1" << QStringList{"1", "3"};
        QTest::newRow("wildcards in the number") << 0 << "Iktatószám" << QStringList{"?#[x]", "a1x", "?#[X]"} << "[?][#]*" << QStringList{"1", "3"};
        QTest::newRow("quotes in the kind") << 1 << "IktatószámJelleg" << QStringList{"O'B \"x\"", "OB", "O'B \"x\""} << "O'B \"*"
                                            << QStringList{"1", "3"};
        QTest::newRow("typed star is a wildcard") << 3 << "IktatószámSzám" << QStringList{"12", "123", "12"} << "1*" << QStringList{"1", "3"};
        QTest::newRow("other mark") << 5 << "IktatószámEgyébjel" << QStringList{"x", "[y]", "[y]"} << "[[]y]" << QStringList{"2", "3"};
    }
    void foundValuesAreComparedLiterally()
    {
        QFETCH(int, search);
        QFETCH(QString, field);
        QFETCH(QStringList, values);
        QFETCH(QString, answer);
        QFETCH(QStringList, listed);
        addNumbers(dir(), values, field);
        IktatasFormX screen;
        screen.activation();
        platform->inputs << answer;
        screen.searchBy(filing::fieldSearches()[search]);
        QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
        QCOMPARE(listedIds(screen), listed);
    }

    void theFilterEndsWithTheScreen()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B1")});
        {
            IktatasFormX screen;
            screen.activation();
            platform->inputs << QStringLiteral("B1");
            screen.searchBy(filing::fieldSearches()[0]);
            QCOMPARE(listedIds(screen).size(), 1);
            screen.Kilepes();
        }
        IktatasFormX again;
        again.activation();
        QCOMPARE(listedIds(again).size(), 2);
    }

    void deletionArchivesTheEntryFieldByField()
    {
        QVariantMap full;
        full[QStringLiteral("recordID")] = QStringLiteral("1");
        full[QStringLiteral("PartnerNeve")] = QStringLiteral("Kovács \"Kft.\" O'Neil");
        full[QStringLiteral("PartnerID")] = 42;
        full[QStringLiteral("SzerzödésDátuma")] = QDate(2023, 12, 31);
        full[QStringLiteral("SzámlaTartozás")] = true;
        full[QStringLiteral("Elözmények")] = false;
        full[QStringLiteral("KezelésiFeljegyzés")] = QString(3000, u'ő');
        full[QStringLiteral("Megjegyzés")] = QStringLiteral("két\nsor");
        full[QStringLiteral("Iktatószám")] = QStringLiteral("SZ/B12-3");
        full[QStringLiteral("Email")] = true;
        addEntries(dir(), {full, {{QStringLiteral("recordID"), QStringLiteral("2")}}, {{QStringLiteral("recordID"), QStringLiteral("3")}}});
        const QList<QVariantList> before = storedEntries(dir());
        IktatasFormX screen;
        screen.activation();
        screen.moveFirst();
        screen.modify();
        type(screen.Text2, QStringLiteral("nem mentett"));  // typed, not saved: not part of the copy

        platform->answers << Answer::Yes;
        screen.deleteEntry();
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM! TÖRLÉS ARCHIVÁLÁSSAL! "));
        QCOMPARE(platform->messages.last().text, QStringLiteral("Valóban törli a lap tartalmát (adatot)?"));
        const QList<QVariantList> archived = storedEntries(dir(), QStringLiteral("TarvixArchiv.tvd"));
        QCOMPARE(archived.size(), 1);
        QCOMPARE(archived[0], before[0]);  // nulls included
        QVERIFY(archived[0][Jelleg].isNull());
        QCOMPARE(storedField(dir(), RecordId), (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
        QCOMPARE(currentId(screen), QStringLiteral("2"));  // the former second
        QCOMPARE(screen.Label7->text(), QStringLiteral("JAVÍTÁS"));  // mode and status stay

        // the last of the list: the new last one is current
        screen.moveLast();
        platform->answers << Answer::Yes;
        screen.deleteEntry();
        QCOMPARE(currentId(screen), QStringLiteral("2"));
        QCOMPARE(storedField(dir(), RecordId, QStringLiteral("TarvixArchiv.tvd")), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));

        // No changes neither file
        platform->answers << Answer::No;
        screen.deleteEntry();
        QCOMPARE(storedEntries(dir()).size(), 1);
        QCOMPARE(storedEntries(dir(), QStringLiteral("TarvixArchiv.tvd")).size(), 2);
    }

    void deletingTheLastEntryClosesTheScreen()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B1")});
        IktatasFormX screen;
        QSignalSpy closed(&screen, &Screen::closed);
        screen.activation();
        platform->inputs << QStringLiteral("B1");
        screen.searchBy(filing::fieldSearches()[0]);
        platform->answers << Answer::Yes;
        screen.deleteEntry();  // the only filtered one: the selection is empty although A1 remains
        QCOMPARE(platform->lastText(), QStringLiteral("Minden adat törölve! Kilépés a főmenüre!"));
        QCOMPARE(platform->messages.last().icon, MessageIcon::Exclamation);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(storedField(dir(), Number), QStringList{QStringLiteral("A1")});
        QCOMPARE(storedField(dir(), Number, QStringLiteral("TarvixArchiv.tvd")), QStringList{QStringLiteral("B1")});
    }

    void nothingIsDeletedWhenTheArchiveCannotTakeIt()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B1")});
        {
            // the archive file is missing: the screen works, the deletion says why it did nothing
            QVERIFY(set->renameFile(QStringLiteral("TarvixArchiv.tvd"), QStringLiteral("elrakva.tvd")));
            IktatasFormX screen;
            screen.activation();
            QVERIFY(platform->messages.isEmpty());
            platform->answers << Answer::Yes;
            screen.deleteEntry();
            QVERIFY(platform->lastText().startsWith(QStringLiteral("Az adat archiválása nem sikerült, ezért semmi sem törlődött!")));
            QVERIFY(platform->lastText().contains(QStringLiteral("TARVIXARCHIV.TVD")));
            QCOMPARE(storedEntries(dir()).size(), 2);
            QCOMPARE(currentId(screen), QStringLiteral("2"));
            QVERIFY(set->renameFile(QStringLiteral("elrakva.tvd"), QStringLiteral("TarvixArchiv.tvd")));
        }
        {
            // another program is writing the archive
            LockPeer writer;
            tvx::data::setBusyTimeout(50);  // for the screen's connection: the writer does not finish
            QVERIFY(writer.holdFile(dir(), QStringLiteral("TarvixArchiv.tvd")));
            IktatasFormX screen;
            screen.activation();
            platform->answers << Answer::Yes;
            screen.deleteEntry();
            QVERIFY(platform->lastText().startsWith(QStringLiteral("Az adat archiválása nem sikerült")));
            QCOMPARE(storedEntries(dir()).size(), 2);
            screen.Kilepes();
            tvx::data::setBusyTimeout(5000);
        }
        QCOMPARE(storedEntries(dir(), QStringLiteral("TarvixArchiv.tvd")).size(), 0);
        {
            // an archive whose partner name is shorter than the entry's: no half row is left
            tvx::data::DatabaseFileDef narrow = *tvx::data::databaseFile(QStringLiteral("TarvixArchiv.tvd"));
            narrow.tables[0].fields[PartnerName].size = 5;
#ifdef TVX_HAVE_LIBPQ
            if (set->onServer())
                runServerStatements(set->conninfo(), {QStringLiteral("ALTER TABLE tarvixarchiv.\"Tarvix\" ALTER COLUMN \"PartnerNeve\" "
                                                                     "TYPE varchar(5) COLLATE \"hu-x-icu\"")});
            else
#endif
            {
                sqlite3 *db = nullptr;
                QCOMPARE(sqlite3_open(QFile::encodeName(set->path(QStringLiteral("TarvixArchiv.tvd"))).constData(), &db), SQLITE_OK);
                QCOMPARE(sqlite3_exec(db, "DROP TABLE Tarvix", nullptr, nullptr, nullptr), SQLITE_OK);
                for (const QString &statement : tvx::data::createStatements(narrow))
                    QCOMPARE(sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
                sqlite3_close(db);
            }
            DataSource entries(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dir());
            QVERIFY(entries.refresh() && entries.moveLast() && entries.setValue(QStringLiteral("PartnerNeve"), QStringLiteral("Hosszú Név Kft.")) &&
                    entries.update());
            IktatasFormX screen;
            screen.activation();
            platform->answers << Answer::Yes;
            screen.deleteEntry();
            QVERIFY(platform->lastText().startsWith(QStringLiteral("Az adat archiválása nem sikerült")));
            QCOMPARE(storedEntries(dir()).size(), 2);
        }
        QCOMPARE(storedEntries(dir(), QStringLiteral("TarvixArchiv.tvd")).size(), 0);
    }

    void aLockedEntryStaysWithItsArchiveRow()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B1")});
        IktatasFormX screen;
        screen.activation();
        LockPeer holder;
        QVERIFY(holder.holdRecord(dir(), QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), 1));
        platform->answers << Answer::Yes;
        screen.deleteEntry();
        QVERIFY(platform->lastText().contains(QStringLiteral("nem törlődött")));
        QCOMPARE(storedEntries(dir()).size(), 2);
        QCOMPARE(storedField(dir(), Number, QStringLiteral("TarvixArchiv.tvd")), QStringList{QStringLiteral("B1")});
        QCOMPARE(currentId(screen), QStringLiteral("2"));
    }

    void aLockedEntryKeepsWhatWasTyped()
    {
        addNumbers(dir(), {QStringLiteral("A1"), QStringLiteral("B1")});
        tvx::data::setBusyTimeout(50);  // for the screen's connection: the writer below does not finish
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        type(screen.Text2, QStringLiteral("K-1"));
        auto holder = std::make_unique<LockPeer>();
        QVERIFY(holder->holdFile(dir(), QStringLiteral("Tarvix.tvd")));
        screen.ok();
        QCOMPARE(platform->messages.last().title, QStringLiteral("Adatzárolás!"));
        QCOMPARE(screen.Label7->text(), QStringLiteral("JAVÍTÁS"));  // not reported as saved
        screen.moveFirst();
        QCOMPARE(currentId(screen), QStringLiteral("2"));
        QCOMPARE(screen.Text2->text(), QStringLiteral("K-1"));
        QVERIFY(editing(screen));
        holder.reset();
        screen.ok();
        QCOMPARE(screen.Label7->text(), QStringLiteral("MENTVE"));
        QCOMPARE(storedEntries(dir())[1][3].toString(), QStringLiteral("K-1"));
        tvx::data::setBusyTimeout(5000);
    }

    void theClerkListOffersTheUsers()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        addUsers(dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        IktatasFormX screen;
        screen.activation();
        QVERIFY(screen.Combo1->findText(QStringLiteral("demo")) >= 0);
        screen.modify();
        screen.chooseClerk(screen.Combo1->findText(QStringLiteral("demo")));
        QCOMPARE(screen.Text8->text(), QStringLiteral("demo"));
        screen.ok();
        QCOMPARE(storedEntries(dir())[0][13].toString(), QStringLiteral("demo"));
    }

    void datesArePickedOrEmptied()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        screen.DTPicker1->setFocus();
        QTest::keyClick(screen.DTPicker1, Qt::Key_Delete);
        QTest::keyClick(screen.DTPicker2, Qt::Key_Delete);
        screen.DTPicker3->setDate(QDate(2024, 2, 28));
        screen.DTPicker3->setCurrentSection(QDateTimeEdit::DaySection);
        screen.DTPicker3->stepBy(1);
        screen.DTPicker3->stepBy(1);  // no 30 February: the day stays a day of the month
        screen.ok();
        const QVariantList stored = storedEntries(dir())[0];
        QVERIFY(stored[ContractDate].isNull());
        QVERIFY(stored[RecordedDate].isNull());
        QVERIFY(stored[ArchivedDate].toDate().isValid());
        QVERIFY(stored[ArchivedDate].toDate() >= QDate(2024, 2, 29));
        QCOMPARE(screen.Label20->text(), QString());
    }

    void inputLimits()
    {
        addNumbers(dir(), {QStringLiteral("A1")});
        IktatasFormX screen;
        screen.activation();
        const QList<QPair<QLineEdit *, int>> limits{{screen.Text1, 60}, {screen.Text2, 50}, {screen.Text3, 50}, {screen.Text6, 50},
                                                    {screen.Text8, 50}, {screen.Text9, 30}, {screen.Text13, 30}};
        for (const auto &[field, limit] : limits)
            QCOMPARE(field->maxLength(), limit);
    }

    void screensOpenedFromHereGetTheirHandOverValues()
    {
        registerPartnerScreens();
        registerFilingScreens();
        addEntries(dir(), {{{QStringLiteral("recordID"), QStringLiteral("77")}, {QStringLiteral("PartnerNeve"), QStringLiteral("Kovács Kft.")}},
                           {{QStringLiteral("recordID"), QStringLiteral("78")}}});
        IktatasFormX screen;
        screen.activation();
        screen.moveFirst();
        screen.allAttachments();  // no attachment screen yet: the values are set all the same
        QVERIFY(handOver().singleEntryAttachments);
        QCOMPARE(handOver().currentFilingId, QStringLiteral("77"));
        screen.invoiceDebts();
        QCOMPARE(handOver().currentPartnerName, QStringLiteral("Kovács Kft."));

        // the partner master: a partner added there is in the grid afterwards, and the last entry is current
        platform->onModal = [this](Screen &opened) {
            QCOMPARE(opened.objectName(), QStringLiteral("BeraktarozokFormX"));
            addPartners(dir(), {{QStringLiteral("Új Partner Zrt."), 50}});
        };
        screen.partnerMaster();
        QVERIFY(screen.PartnerData.findFirst(QStringLiteral("[BerNev] = \"Új Partner Zrt.\"")) && !screen.PartnerData.noMatch());
        QCOMPARE(currentId(screen), QStringLiteral("78"));

        // the templates: this screen is disabled meanwhile
        bool disabledMeanwhile = false;
        platform->onModal = [&](Screen &opened) {
            QCOMPARE(opened.objectName(), QStringLiteral("ParameterFormX"));
            disabledMeanwhile = !screen.isEnabled();
        };
        screen.filingNumberTemplates();
        QVERIFY(disabledMeanwhile);
        QVERIFY(screen.isEnabled());
    }
};

QTEST_MAIN(TestIktatasFormX)
#include "tst_iktatasformx.moc"
