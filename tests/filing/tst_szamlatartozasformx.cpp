#include "common/colors.h"
#include "common/datagrid.h"
#include "common/datepicker.h"
#include "common/hungarian.h"
#include "common/navigator.h"
#include "common/session.h"
#include "data/connection.h"
#include "data/datasource.h"
#include "filing/filingtestkit.h"
#include "filing/iktatasformx.h"
#include "filing/screens.h"
#include "filing/szamlatartozasformx.h"
#include "partners/partnertestkit.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QScopeGuard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tvx;

namespace {

const QString kSameSecond = QStringLiteral("20243745308,5");  // the scripted clock: 7 March 2024, 12:35:08.5
const QDate kToday(2024, 3, 7);
const QString kNoNumber = QStringLiteral("A bruttó összeg nem szám! Javítsa ki, például: -1234,50");

enum Pos { FilingId = 0, PartnerName = 1, PartnerId = 2, FilingNumber = 3, DocNumber = 4, Issued = 5, Performed = 6, Deadline = 7,
           Amount = 8 };

// Each debt: field name → value; fields not named stay null.
void addDebts(const QDir &dir, const QList<QVariantMap> &debts)
{
    tvx::data::DataSource table(QStringLiteral("Tarvix.tvd"), QStringLiteral("SzamlaTartozas"), nullptr, dir);
    QVERIFY(table.refresh());
    for (const QVariantMap &debt : debts) {
        QVERIFY(table.addNew());
        for (auto it = debt.begin(); it != debt.end(); ++it)
            QVERIFY2(table.setValue(it.key(), it.value()), qPrintable(it.key()));
        QVERIFY2(table.update(), qPrintable(table.lastError().message));
    }
}

QVariantMap debt(const QString &partner, const QString &document, const QString &filingId = QString())
{
    QVariantMap row{{QStringLiteral("PartnerNeve"), partner}, {QStringLiteral("OkmánySzám"), document}};
    if (!filingId.isEmpty())
        row.insert(QStringLiteral("IktatásRecordID"), filingId);
    return row;
}

QList<QVariantList> storedDebts(const QDir &dir)
{
    return tableRows(dir, QStringLiteral("Tarvix.tvd"), QStringLiteral("select * from SzamlaTartozas"));
}

}  // namespace

class TestSzamlaTartozasFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }

    // the document numbers the debt list shows, in its order
    static QStringList listed(SzamlaTartozasFormX &screen)
    {
        QStringList documents;
        auto rs = screen.TartozasData.recordset();
        for (int row = 0; rs && row < rs->recordCount(); ++row)
            documents << rs->valueAt(row, DocNumber).toString();
        return documents;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        typeText(field, text);
    }
    static void clickRow(DataGrid *grid, int row) { emit grid->clicked(grid->model()->index(row, 1)); }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init()
    {
        setUp();
        handOver() = HandOver{};
    }
    void cleanup() { tearDown(); }

    void theScreenAsItOpens()
    {
        SzamlaTartozasFormX screen;
        QCOMPARE(screen.windowTitle(), QStringLiteral(" Számla tartozás - Tarvix"));
        QCOMPARE(screen.DBGrid2->model()->columnCount(), 16);
        QCOMPARE(screen.DBGrid2->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Partner neve"));
        QCOMPARE(screen.DBGrid2->model()->headerData(15, Qt::Horizontal).toString(), QStringLiteral("Azonosító ügyfélkód"));
        QCOMPARE(screen.DBGrid1->model()->columnCount(), 9);
        QCOMPARE(screen.DBGrid1->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("FizetésiHatáridö"));
        QCOMPARE(screen.PartnerNavigator->caption(), QStringLiteral("      Partnertörzs"));
        QCOMPARE(screen.TartozasNavigator->caption(), QString(103, u' ') + QStringLiteral("Tartozások"));
        QCOMPARE(screen.Label1->text(), QStringLiteral("IktatasRecordID"));
        QCOMPARE(screen.Text1->maxLength(), 60);
        QVERIFY(screen.UjAdat->isEnabled() && screen.KilepesItem->isEnabled());
        QCOMPARE(screen.KilepesItem->text(), QStringLiteral("&Vissza"));
        QVERIFY(!screen.Szures->menuAction()->isEnabled() && !screen.AzonositSzur->isEnabled() && !screen.MindenTartozas->isEnabled());
        QVERIFY(!screen.Torles->isEnabled());
    }

    void theThreeTextFieldsShowTheirFocus()
    {
        addDebts(dir(), {debt(QStringLiteral("P Kft."), QStringLiteral("1"))});
        handOver().currentPartnerName = QStringLiteral("P Kft.");
        SzamlaTartozasFormX screen;
        screen.show();  // activation
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        QCOMPARE(listed(screen), QStringList{QStringLiteral("1")});
        const auto highlighted = [](QWidget *w) { return w->palette().color(QPalette::Base) == vbColor(kFocusColor); };
        for (QLineEdit *field : {screen.Text1, screen.Text2, screen.Text3}) {
            field->setFocus();
            QVERIFY(highlighted(field));
        }
        screen.DTPicker1->setFocus();
        QVERIFY(!highlighted(screen.Text3));
        screen.Kilepes();
    }

    void anEmptyPartnerNameListsNothingYetNewDebtsCanBeAdded()
    {
        addDebts(dir(), {debt(QStringLiteral("Kovács Kft."), QStringLiteral("K-1")), {{QStringLiteral("OkmánySzám"), QStringLiteral("üres")}}});
        SzamlaTartozasFormX screen;
        screen.activation();
        QCOMPARE(screen.TartozasData.recordCount(), 0);
        screen.newDebt();
        screen.newDebt();
        QCOMPARE(screen.TartozasData.recordCount(), 2);
        QCOMPARE(screen.TartozasData.absolutePosition(), 1);  // the newest is current
        QCOMPARE(screen.Label1->text(), kSameSecond);
        QCOMPARE(screen.DTPicker2->value().toDate(), kToday);
        QVERIFY(platform->messages.isEmpty());
        const QList<QVariantList> rows = storedDebts(dir());
        QCOMPARE(rows.size(), 4);
        for (int date : {Issued, Performed, Deadline})
            QCOMPARE(rows[3][date].toDate(), kToday);
        // not opened from a filing entry: nothing ties the debt to one, the identifier is only shown
        for (int empty : {FilingId, PartnerName, PartnerId, FilingNumber, DocNumber, Amount})
            QVERIFY2(rows[3][empty].isNull(), qPrintable(QString::number(empty)));
    }

    void thePartnersDebtsOfEveryEntryAreListed()
    {
        addDebts(dir(), {debt(QStringLiteral("P Kft."), QStringLiteral("1"), QStringLiteral("77")),
                         debt(QStringLiteral("Q Bt."), QStringLiteral("2"), QStringLiteral("77")),
                         debt(QStringLiteral("P Kft."), QStringLiteral("3"), QStringLiteral("78")),
                         debt(QStringLiteral("P Kft. 2"), QStringLiteral("4"), QStringLiteral("78")),
                         debt(QStringLiteral("*"), QStringLiteral("5"))});
        handOver().currentPartnerName = QStringLiteral("P Kft.");
        SzamlaTartozasFormX screen;
        screen.activation();
        QCOMPARE(listed(screen), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
        handOver().currentPartnerName = QStringLiteral("P*");  // a star stands for itself
        screen.activation();
        QCOMPARE(listed(screen), QStringList());
    }

    void quotesInThePartnerNameSelectItsDebts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << QStringLiteral("O'Brien és Társa Kft.");
        QTest::newRow("two apostrophes") << QStringLiteral("A '' B");
        QTest::newRow("double quote") << QStringLiteral("\"Kék\" Bt.");
        QTest::newRow("statement text") << QStringLiteral("x' or PartnerNeve like '*");
    }
    void quotesInThePartnerNameSelectItsDebts()
    {
        QFETCH(QString, name);
        addDebts(dir(), {debt(name, QStringLiteral("mine")), debt(QStringLiteral("Más Kft."), QStringLiteral("other")),
                         debt(QStringLiteral("x"), QStringLiteral("x"))});
        handOver().currentPartnerName = name;
        SzamlaTartozasFormX screen;
        screen.activation();
        QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
        QCOMPARE(listed(screen), QStringList{QStringLiteral("mine")});
        QCOMPARE(screen.Text1->text(), name);
    }

    void aDebtMadeFromAFilingEntryBelongsToIt()
    {
        handOver().currentFilingId = QStringLiteral("77");
        handOver().currentFilingNumber = QStringLiteral("SZ/B12-3");
        handOver().currentPartnerName = QStringLiteral("Kovács Kft.");
        {
            IktatasFormX entryScreen;
            SzamlaTartozasFormX screen(&entryScreen);
            screen.activation();
            screen.newDebt();
            QCOMPARE(screen.Label6->text(), QStringLiteral("77"));
            QCOMPARE(screen.Label1->text(), kSameSecond);  // shown, not stored
        }
        {
            QWidget attachments;
            attachments.setObjectName(QStringLiteral("IktatasMellekletekFormX"));
            SzamlaTartozasFormX screen(&attachments);
            screen.activation();
            screen.newDebt();
            QCOMPARE(screen.Label6->text(), QString());
        }
        const QList<QVariantList> rows = storedDebts(dir());
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][FilingId].toString(), QStringLiteral("77"));
        QCOMPARE(rows[0][FilingNumber].toString(), QStringLiteral("SZ/B12-3"));
        QCOMPARE(rows[0][Issued].toDate(), kToday);
        QVERIFY(rows[1][FilingId].isNull() && rows[1][FilingNumber].isNull());
        QCOMPARE(rows[1][Deadline].toDate(), kToday);
    }

    void clickingAPartnerFillsTheDebtsPartner()
    {
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}, {QVariant(), 7}});
        SzamlaTartozasFormX screen;
        screen.activation();
        clickRow(screen.DBGrid2, 0);  // no debt yet: nothing to fill
        QVERIFY(platform->messages.isEmpty());
        screen.newDebt();
        clickRow(screen.DBGrid2, 0);
        QCOMPARE(screen.Text1->text(), QStringLiteral("Kovács Kft."));
        QCOMPARE(screen.Label4->text(), QStringLiteral("5"));
        screen.newDebt();  // writes the first one
        clickRow(screen.DBGrid2, 1);
        QCOMPARE(screen.Text1->text(), QString());
        QCOMPARE(screen.Label4->text(), QStringLiteral("7"));
        screen.Kilepes();
        const QList<QVariantList> rows = storedDebts(dir());
        QCOMPARE(rows[0][PartnerName].toString(), QStringLiteral("Kovács Kft."));
        QCOMPARE(rows[0][PartnerId].toInt(), 5);
        QCOMPARE(rows[1][PartnerName].toString(), QString());
        QCOMPARE(rows[1][PartnerId].toInt(), 7);
    }

    void aDebtGivenAnotherNameLeavesAtTheNextActivation()
    {
        addDebts(dir(), {debt(QStringLiteral("P Kft."), QStringLiteral("1")), debt(QStringLiteral("P Kft."), QStringLiteral("2"))});
        handOver().currentPartnerName = QStringLiteral("P Kft.");
        SzamlaTartozasFormX screen;
        screen.activation();
        type(screen.Text1, QStringLiteral("Q Bt."));
        screen.newDebt();  // another name, yet listed until the next activation
        QCOMPARE(listed(screen), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QString()}));
        screen.activation();
        QCOMPARE(listed(screen), QStringList{QStringLiteral("2")});
        QCOMPARE(storedDebts(dir())[0][PartnerName].toString(), QStringLiteral("Q Bt."));
    }

    void theAmountTakesDigitsMinusAndComma()
    {
        SzamlaTartozasFormX screen;
        screen.activation();
        screen.newDebt();
        type(screen.Text3, QStringLiteral("12,50"));
        QCOMPARE(screen.Text3->text(), QStringLiteral("12,50"));
        QCOMPARE(platform->beeps, 0);
        typeText(screen.Text3, QStringLiteral("a."));
        QCOMPARE(platform->beeps, 2);
        screen.Text3->insert(QStringLiteral("9x"));  // pasted: all or nothing
        QCOMPARE(screen.Text3->text(), QStringLiteral("12,50"));
        QTest::keyClick(screen.Text3, Qt::Key_Backspace);
        typeText(screen.Text3, QStringLiteral("5"));
        QCOMPARE(screen.Text3->text(), QStringLiteral("12,55"));
        QCOMPARE(platform->beeps, 2);
        type(screen.Text3, QStringLiteral("-1234,5"));
        screen.Kilepes();
        QCOMPARE(storedDebts(dir())[0][Amount].toDouble(), -1234.5);
    }

    void anAmountThatIsNoNumberIsRefusedAndKept_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::newRow("minus inside") << QStringLiteral("1-2");
        QTest::newRow("two commas") << QStringLiteral("12,5,3");
        QTest::newRow("minus alone") << QStringLiteral("-");
        QTest::newRow("comma alone") << QStringLiteral(",");
    }
    void anAmountThatIsNoNumberIsRefusedAndKept()
    {
        QFETCH(QString, amount);
        handOver().currentPartnerName = QStringLiteral("P Kft.");
        addDebts(dir(), {debt(QStringLiteral("P Kft."), QStringLiteral("1")), debt(QStringLiteral("P Kft."), QStringLiteral("2"))});
        SzamlaTartozasFormX screen;
        QSignalSpy closed(&screen, &Screen::closed);
        screen.activation();
        type(screen.Text2, QStringLiteral("SZ-9"));
        type(screen.Text3, amount);
        const auto refusedAgain = [&](const char *how) {
            QVERIFY2(!platform->messages.isEmpty(), how);
            QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
            QCOMPARE(platform->messages.last().text, kNoNumber);
            platform->messages.clear();
            QCOMPARE(screen.TartozasData.absolutePosition(), 0);
            QCOMPARE(screen.Text3->text(), amount);
            QCOMPARE(screen.Text2->text(), QStringLiteral("SZ-9"));
        };
        clickRow(screen.DBGrid1, 1);
        refusedAgain("list click");
        if (QTest::currentTestFailed())
            return;
        screen.TartozasNavigator->findChild<QAbstractButton *>(QStringLiteral("next"))->click();
        refusedAgain("navigator");
        if (QTest::currentTestFailed())
            return;
        screen.newDebt();
        refusedAgain("new debt");
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(screen.TartozasData.recordCount(), 2);
        screen.Kilepes();
        refusedAgain("exit");
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(closed.count(), 0);
        QVERIFY(screen.exitOnClose() && screen.TartozasData.isOpen());
        QCOMPARE(storedDebts(dir())[0][DocNumber].toString(), QStringLiteral("1"));  // nothing half written

        type(screen.Text3, QStringLiteral("-1234,50"));
        screen.Kilepes();
        QCOMPARE(closed.count(), 1);
        QVERIFY(platform->messages.isEmpty());
        const QVariantList stored = storedDebts(dir())[0];
        QCOMPARE(stored[DocNumber].toString(), QStringLiteral("SZ-9"));
        QCOMPARE(stored[Amount].toDouble(), -1234.5);
    }

    void aLockedDebtKeepsWhatWasTyped()
    {
        handOver().currentPartnerName = QStringLiteral("P Kft.");
        addDebts(dir(), {debt(QStringLiteral("P Kft."), QStringLiteral("1")), debt(QStringLiteral("P Kft."), QStringLiteral("2"))});
        tvx::data::setBusyTimeout(50);  // for the screen's connection: the writer below does not finish
        const auto restore = qScopeGuard([] { tvx::data::setBusyTimeout(5000); });
        SzamlaTartozasFormX screen;
        QSignalSpy closed(&screen, &Screen::closed);
        screen.activation();
        {
            // another program edits the debt: typing into it is refused, the text stays
            LockPeer holder;
            QVERIFY(holder.holdRecord(dir(), QStringLiteral("Tarvix.tvd"), QStringLiteral("SzamlaTartozas"), 0));
            type(screen.Text2, QStringLiteral("K"));
            QCOMPARE(platform->messages.last().title, QStringLiteral("Adatzárolás!"));
            QCOMPARE(platform->messages.last().text, QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
            QCOMPARE(screen.Text2->text(), QStringLiteral("K"));
        }
        typeText(screen.Text2, QStringLiteral("-1"));
        QCOMPARE(screen.Text2->text(), QStringLiteral("K-1"));

        // another program writing the file: the save waits, with the changes
        auto writer = std::make_unique<LockPeer>();
        QVERIFY(writer->holdFile(dir(), QStringLiteral("Tarvix.tvd")));
        platform->messages.clear();
        clickRow(screen.DBGrid1, 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("Adatzárolás!"));
        screen.Kilepes();
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(screen.Text2->text(), QStringLiteral("K-1"));
        writer.reset();
        screen.Kilepes();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(storedDebts(dir())[0][DocNumber].toString(), QStringLiteral("K-1"));
    }

    void aMissingDebtFileIsSaid()
    {
        QVERIFY(set->removeFile(QStringLiteral("Tarvix.tvd")));
        SzamlaTartozasFormX screen;
        screen.activation();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        screen.newDebt();
        QCOMPARE(platform->messages.size(), 2);
        QSignalSpy closed(&screen, &Screen::closed);
        screen.Kilepes();
        QCOMPARE(closed.count(), 1);
    }

    void openedFromTheFilingEntrysMenu()
    {
        registerFilingScreens();
        addEntries(dir(), {{{QStringLiteral("recordID"), QStringLiteral("77")},
                            {QStringLiteral("PartnerNeve"), QStringLiteral("O'Neil Kft.")},
                            {QStringLiteral("Iktatószám"), QStringLiteral("A15")}}});
        addDebts(dir(), {debt(QStringLiteral("O'Neil Kft."), QStringLiteral("1"), QStringLiteral("70")),
                         debt(QStringLiteral("Más Kft."), QStringLiteral("2"))});
        IktatasFormX entryScreen;
        entryScreen.activation();
        QStringList shown;
        bool entryHidden = false;
        platform->onModal = [&](Screen &opened) {
            auto &debts = dynamic_cast<SzamlaTartozasFormX &>(opened);
            entryHidden = entryScreen.isHidden();
            debts.show();  // activation
            shown = listed(debts);
            debts.newDebt();
            debts.Kilepes();
        };
        entryScreen.invoiceDebts();
        QCOMPARE(platform->modalRuns, 1);
        QVERIFY(entryHidden);
        QCOMPARE(shown, QStringList{QStringLiteral("1")});
        const QList<QVariantList> rows = storedDebts(dir());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2][FilingId].toString(), QStringLiteral("77"));
        QCOMPARE(rows[2][FilingNumber].toString(), QStringLiteral("A15"));
        QVERIFY(platform->messages.isEmpty());
    }
};

QTEST_MAIN(TestSzamlaTartozasFormX)
#include "tst_szamlatartozasformx.moc"
