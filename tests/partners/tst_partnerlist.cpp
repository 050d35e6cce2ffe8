#include "common/hungarian.h"
#include "common/printing.h"
#include "data/datasource.h"
#include "partners/beraktarozokformx.h"
#include "partners/partnerlist.h"
#include "partners/partnertestkit.h"
#include "support/screentestbed.h"

#include <QAction>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tvx;
using namespace tvx::partners;

class TestPartnerList : public QObject, private ScreenTestBed {
    Q_OBJECT

    QList<PartnerListPage> pages;

    // Records every page shown and leaves it with the button the script names.
    void leavePagesWith(std::function<QPushButton *(BeszallitoNyomFormX &, int page)> button)
    {
        platform->onModal = [this, button](Screen &screen) {
            auto *window = qobject_cast<BeszallitoNyomFormX *>(&screen);
            QVERIFY(window);
            pages << window->page();
            button(*window, int(pages.size()))->click();
        };
    }
    void goOnEveryPage()
    {
        leavePagesWith([](BeszallitoNyomFormX &w, int) { return w.Tovabb; });
    }
    static int filledRows(const PartnerListPage &page)
    {
        return int(std::count_if(page.rows.begin(), page.rows.end(), [](const auto &row) { return !row[0].isEmpty(); }));
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init()
    {
        setUp();
        pages.clear();
    }
    void cleanup() { tearDown(); }

    void pagesRunFromTheCurrentPartnerToTheEnd()
    {
        addNumberedPartners(set->dir(), 39);
        BeraktarozokFormX screen;
        QVERIFY(screen.Beraktarozok.moveTo(9));  // the tenth partner: 30 to list
        goOnEveryPage();
        screen.Nyomtatas->trigger();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(filledRows(pages[0]), 22);
        QCOMPARE(filledRows(pages[1]), 8);
        QCOMPARE(pages[0].rows[0][0], QStringLiteral("Partner 10"));
        QCOMPARE(pages[1].rows[7][0], QStringLiteral("Partner 39"));
        QCOMPARE(pages[0].title, QStringLiteral("PARTNEREK"));
        QCOMPARE(pages[0].pageNumber, QStringLiteral("Lapszám: 1"));
        QCOMPARE(pages[1].pageNumber, QStringLiteral("Lapszám: 2"));
        QCOMPARE(pages[1].issueDate, QStringLiteral("Kiadva: ") + QLocale().toString(QDate(2024, 3, 7), QLocale::ShortFormat));
        // a listing that ran to the end leaves the last partner current
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("BerNev")).toString(), QStringLiteral("Partner 39"));

        // the page number starts again with every listing
        pages.clear();
        QVERIFY(screen.Beraktarozok.moveFirst());
        screen.Nyomtatas->trigger();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].pageNumber, QStringLiteral("Lapszám: 1"));
        QCOMPARE(filledRows(pages[1]), 39 - 22);
    }

    void aWholeMultipleOf22EndsWithAnEmptyPage()
    {
        addNumberedPartners(set->dir(), 44);
        BeraktarozokFormX screen;
        goOnEveryPage();
        screen.printList();
        QCOMPARE(pages.size(), 3);
        QCOMPARE(filledRows(pages[1]), 22);
        QCOMPARE(filledRows(pages[2]), 0);
        QCOMPARE(pages[2].pageNumber, QStringLiteral("Lapszám: 3"));
    }

    void cancelStopsTheListingWhereItWas()
    {
        addNumberedPartners(set->dir(), 40);
        BeraktarozokFormX screen;
        leavePagesWith([](BeszallitoNyomFormX &w, int) { return w.Megse; });
        screen.printList();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("BerNev")).toString(), QStringLiteral("Partner 23"));

        // on the last page: past the end of the table
        pages.clear();
        leavePagesWith([](BeszallitoNyomFormX &w, int page) { return page == 2 ? w.Megse : w.Tovabb; });
        QVERIFY(screen.Beraktarozok.moveFirst());
        screen.printList();
        QCOMPARE(pages.size(), 2);
        QVERIFY(screen.Beraktarozok.eof());
    }

    void cellsShowNullsAsEmpty()
    {
        addPartners(set->dir(), {{QVariant(), 1, QStringLiteral("0612345678"), QVariant()},
                                 {QStringLiteral("Fax nélkül"), 2}});
        BeraktarozokFormX screen;
        goOnEveryPage();
        screen.printList();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].rows[0][0], QString());
        QCOMPARE(pages[0].rows[0][5], QStringLiteral("0612345678 / "));
        QCOMPARE(pages[0].rows[1][5], QStringLiteral(" / "));
    }

    void anEmptyTableHasNothingToPrint()
    {
        data::DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER"));
        QVERIFY(partners.refresh());
        int pageNumber = 5;
        listPartners(nullptr, partners, pageNumber);
        QCOMPARE(platform->modalRuns, 0);
        QCOMPARE(platform->messages.last().text, QStringLiteral("Nincs nyomtatandó adat!"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->beeps, 1);
    }

    void printingAPageLeavesItOpen()
    {
        addNumberedPartners(set->dir(), 30);
        BeraktarozokFormX screen;
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("lap.pdf"));
        bool buttonsHidden = false;
        platform->onPrintPage = [&](const PageDrawing &page, bool landscape) {
            buttonsHidden = !pages.isEmpty();
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return printPage(printer, page, landscape);
        };
        platform->onModal = [&](Screen &screen) {
            auto &window = static_cast<BeszallitoNyomFormX &>(screen);
            pages << window.page();
            if (pages.size() == 2) {
                window.Nyomtat->click();
                QVERIFY(window.Megse->isVisibleTo(&window));
                QVERIFY(!window.isHidden() || !window.isVisible());
            }
            window.Tovabb->click();
        };
        screen.printList();
        QCOMPARE(platform->printed, 1);
        QVERIFY(platform->printedLandscape);
        QVERIFY(buttonsHidden);

        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QProcess convert;
        convert.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(convert.waitForFinished(20000));
        const QString text = QString::fromUtf8(convert.readAllStandardOutput());
        for (const QString &expected : {QStringLiteral("PARTNEREK"), QStringLiteral("Lapszám: 2"), QStringLiteral("Név:"),
                                        QStringLiteral("Irányítószám:"), QStringLiteral("Ország:"), QStringLiteral("Székhely:"),
                                        QStringLiteral("Cím:"), QStringLiteral("Telefon / FAX:"), QStringLiteral("Partner 30")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
        QVERIFY(!text.contains(QStringLiteral("Tovább")));
    }

    void aPrinterThatFailsIsReported()
    {
        addNumberedPartners(set->dir(), 3);
        PartnerListPage page;
        page.prepare(1, QStringLiteral("2024. 03. 07."));
        BeszallitoNyomFormX window(page);
        window.show();
        platform->printSucceeds = false;
        window.Nyomtat->click();
        QCOMPARE(platform->messages.last().text, QStringLiteral("A nyomtató nincs készenlétben!"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->beeps, 1);
        QVERIFY(window.isVisible());
        for (QPushButton *b : {window.Tovabb, window.Nyomtat, window.Megse})
            QVERIFY(b->isVisible());
        QVERIFY(!platform->busy);
        window.Megse->click();
        QCOMPARE(BeszallitoNyomFormX::pageCancelFlag, 1);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestPartnerList)
#include "tst_partnerlist.moc"
