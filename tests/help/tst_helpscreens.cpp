#include "common/hungarian.h"
#include "common/paths.h"
#include "common/printing.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "help/felhasznaloikezikonyvform.h"
#include "help/helpformx.h"
#include "help/helptable.h"
#include "help/rtfreader.h"
#include "help/screens.h"
#include "partners/beraktarozokformx.h"
#include "partners/screens.h"
#include "shell/tarvixformx.h"
#include "support/screentestbed.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace tvx;

namespace {

const QString kNoHelp = QStringLiteral("Ehhez a modulhoz nincs segédlet!");
const QString kCannotLoad = QStringLiteral("A segédállomány jelenleg nem tölthető be!");
const QString kNoPrinter = QStringLiteral("A nyomtató nincs készenlétben!");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// the text pdftotext reads from a PDF, or a null text when it is not installed
QString pdfText(const QString &pdf)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return {};
    QProcess convert;
    convert.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    convert.waitForFinished(20000);
    return QString::fromUtf8(convert.readAllStandardOutput());
}

bool printIntoPdf(const QString &pdf, const QString &text)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return printPlainText(printer, text);
}

int pictureCount(const QTextDocument &document)
{
    int pictures = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                ++pictures;
        }
    }
    return pictures;
}

}  // namespace

class TestHelpScreens : public QObject, private ScreenTestBed {
    Q_OBJECT

    QTemporaryDir base;

    // shows the help window as a screen asking for help with `screenId` would
    void showHelp(HelpFormX &window, const QString &screenId)
    {
        handOver().helpScreenId = screenId;
        window.show();
    }

private Q_SLOTS:
    void initTestCase()
    {
        useHungarianLocale();
        registerHelpScreens();
        registerPartnerScreens();
    }
    void init()
    {
        setUp();
        paths::setProgramFolder(base.path());
        handOver().helpScreenId.clear();
    }
    void cleanup()
    {
        paths::setProgramFolder({});
        tearDown();
    }

    void theTableMatchesIdentifiersExactly()
    {
        const QString expected = QDir(base.path()).filePath(QStringLiteral("Segedlet/ParameterFormX.rtf"));
        QCOMPARE(help::helpFilesFor(QStringLiteral("ParameterFormX")), QStringList{expected});
        QVERIFY(help::helpFilesFor(QStringLiteral("parameterformx")).isEmpty());
        QVERIFY(help::helpFilesFor(QStringLiteral("ParameterFormX ")).isEmpty());
        QVERIFY(help::helpFilesFor(QString()).isEmpty());
        QVERIFY(help::helpScreens().contains(QStringLiteral("BeraktarozokFormX")));
    }

    // Every screen of the table has its document beside the program, and it reads.
    void everyScreenHasAHelpDocument()
    {
        paths::setProgramFolder(QStringLiteral(TVX_PROGRAM_FOLDER));
        for (const QString &screen : help::helpScreens()) {
            QFile file(help::helpFilePath(screen));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            const QString text = help::rtfPlainText(file.readAll());
            QVERIFY2(text.simplified().size() > 200, qPrintable(screen + QStringLiteral(": ") + text));
        }
    }

    void aScreenWithADocumentShowsItAndTheIdentifierIsConsumed()
    {
        writeFile(help::helpFilePath(QStringLiteral("ParameterFormX")),
                  "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}\\f0 Iktat\\'f3sz\\'e1mok \\u337?rz\\'e9se\\par}");
        HelpFormX window;
        QVERIFY(window.RichTextBox1->toPlainText().isEmpty());
        showHelp(window, QStringLiteral("ParameterFormX"));
        QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Iktatószámok őrzése"));
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
        QVERIFY(handOver().helpScreenId.isEmpty());

        // shown again without a new request: the identifier is gone
        window.hide();
        window.show();
        QCOMPARE(window.RichTextBox1->toPlainText(), kNoHelp);
        QCOMPARE(platform->beeps, 1);

        // asked again: the document replaces the text
        window.hide();
        showHelp(window, QStringLiteral("ParameterFormX"));
        QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Iktatószámok őrzése"));
        window.hide();
        showHelp(window, QStringLiteral("ParameterFormX"));
        QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Iktatószámok őrzése"));
    }

    void anEmptyIdentifierSaysThereIsNoHelp()
    {
        HelpFormX window;
        showHelp(window, QString());
        QCOMPARE(window.RichTextBox1->toPlainText(), kNoHelp);
        QCOMPARE(platform->beeps, 1);
        QVERIFY(platform->messages.isEmpty());
    }

    void anIdentifierWithoutARowLeavesTheViewerEmpty()
    {
        HelpFormX window;
        showHelp(window, QStringLiteral("NincsIlyenFormX"));
        QVERIFY(window.RichTextBox1->toPlainText().isEmpty());
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
        QVERIFY(handOver().helpScreenId.isEmpty());
    }

    void aMissingOrBrokenDocumentIsReportedAndTheViewerStaysEmpty_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not RTF") << QByteArray("Ez nem RTF, csak sima szöveg.") << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void aMissingOrBrokenDocumentIsReportedAndTheViewerStaysEmpty()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (present)
            writeFile(help::helpFilePath(QStringLiteral("IktatasFormX")), content);
        HelpFormX window;
        showHelp(window, QStringLiteral("IktatasFormX"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, kCannotLoad);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QCOMPARE(platform->beeps, 1);
        QVERIFY(window.RichTextBox1->toPlainText().isEmpty());
        QVERIFY(window.isVisible());
        QVERIFY(handOver().helpScreenId.isEmpty());
    }

    // The partner screen's "&Segédlet" opens the help window over it with the
    // partner screen's own document.
    void thePartnerScreenShowsItsHelp()
    {
        paths::setProgramFolder(QStringLiteral(TVX_PROGRAM_FOLDER));
        BeraktarozokFormX partners;
        partners.show();
        QString shown;
        bool callerVisible = false;
        platform->onModal = [&](Screen &screen) {
            auto *window = qobject_cast<HelpFormX *>(&screen);
            QVERIFY(window);
            window->show();
            shown = window->RichTextBox1->toPlainText();
            callerVisible = partners.isVisible();
            window->KilepesItem->trigger();
        };
        partners.Segedlet->trigger();
        QCOMPARE(platform->modalRuns, 1);
        QVERIFY(callerVisible);
        QVERIFY2(shown.contains(QStringLiteral("partner"), Qt::CaseInsensitive), qPrintable(shown));
        QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
        QVERIFY(handOver().helpScreenId.isEmpty());
    }

    void printingSendsThePlainTextOrSaysThePrinterIsNotReady()
    {
        HelpFormX window;
        showHelp(window, QString());
        window.HNyom->trigger();
        QCOMPARE(platform->printedTexts, QStringList{kNoHelp});
        QVERIFY(platform->messages.isEmpty());

        platform->printSucceeds = false;
        window.HNyom->trigger();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, kNoPrinter);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QVERIFY(window.isVisible());
    }

    void theManualIsBuiltInWithItsPictures()
    {
        const QByteArray manual = FelhasznaloiKezikonyvForm::builtInManual();
        QVERIFY(manual.size() > 100000);
        FelhasznaloiKezikonyvForm window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Felhasználói kézikönyv - Tarvix"));
        const QString text = window.RichTextBox1->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Tarvfix")));
        QVERIFY(text.contains(QStringLiteral("Partnertörzs")));
        QVERIFY(pictureCount(*window.RichTextBox1->document()) >= 5);
        QCOMPARE(window.Command2->toolTip(), QStringLiteral("Alapértelmezett nyomtatóra"));

        // the copy beside the program is the same document
        QFile delivered(QDir(QStringLiteral(TVX_PROGRAM_FOLDER)).filePath(QStringLiteral("TarvixFelhKezikonyvEgyseges.rtf")));
        QVERIFY(delivered.open(QIODevice::ReadOnly));
        QCOMPARE(delivered.readAll(), manual);
    }

    void theManualOpensAfreshAndPrintsWithoutPictures()
    {
        QString typed;
        {
            FelhasznaloiKezikonyvForm window;
            window.show();
            QTest::keyClicks(window.RichTextBox1, QStringLiteral("begepelt szoveg"));
            typed = window.RichTextBox1->toPlainText();
            window.Command2->click();
            QCOMPARE(platform->printed, 1);
            QCOMPARE(platform->printedTexts[0], typed);
            platform->printSucceeds = false;
            window.Command2->click();
            QCOMPARE(platform->lastText(), kNoPrinter);
            QVERIFY(window.isVisible());
            window.Kilepes_->click();
            QVERIFY(!window.isVisible());
        }
        FelhasznaloiKezikonyvForm again;
        QVERIFY(!again.RichTextBox1->toPlainText().contains(QStringLiteral("begepelt")));
        QCOMPARE(again.RichTextBox1->toPlainText(), typed.remove(QStringLiteral("begepelt szoveg")));
    }

    // "Felhasználói kézikönyv" works before anyone logs in; the main window
    // hides meanwhile and comes back.
    void theMainWindowOpensTheManual()
    {
        TarvixFormX main;
        main.start();
        bool mainHidden = false;
        QString shown;
        platform->onModal = [&](Screen &screen) {
            auto *window = qobject_cast<FelhasznaloiKezikonyvForm *>(&screen);
            QVERIFY(window);
            mainHidden = !main.isVisible();
            shown = window->RichTextBox1->toPlainText();
            window->Kilepes_->click();
        };
        QVERIFY(main.Kezikonyv->isEnabled());
        main.Kezikonyv->trigger();
        QCOMPARE(platform->modalRuns, 1);
        QVERIFY(mainHidden);
        QVERIFY(main.isVisible());
        QVERIFY(shown.contains(QStringLiteral("Tarvfix")));
    }

    // Plain text on paper: every line, accents intact, long lines wrapped, as
    // many pages as it takes.
    void plainTextPrintsLineByLineOnPages()
    {
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("szoveg.pdf"));
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("Sor %1: árvíztűrő tükörfúrógép").arg(i);
        lines.insert(10, QString());
        lines.insert(20, QStringLiteral("hosszú ").repeated(60) + QStringLiteral("VÉGE"));
        QVERIFY(printIntoPdf(pdf, lines.join(QLatin1Char('\n')) + QChar(QChar::ObjectReplacementCharacter)));
        const QString text = pdfText(pdf);
        if (text.isNull())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(text.contains(QStringLiteral("Sor 1: árvíztűrő tükörfúrógép")));
        QVERIFY(text.contains(QStringLiteral("Sor 150: árvíztűrő tükörfúrógép")));
        QVERIFY(text.contains(QStringLiteral("VÉGE")));
        QVERIFY(text.count(QLatin1Char('\f')) >= 3);  // pages
        QVERIFY(text.indexOf(QStringLiteral("Sor 9:")) < text.indexOf(QStringLiteral("Sor 10:")));
    }

    void theManualPrintsThroughThePrinter()
    {
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("kezikonyv.pdf"));
        platform->onPrintText = [&](const QString &text) { return printIntoPdf(pdf, text); };
        FelhasznaloiKezikonyvForm window;
        window.Command2->click();
        QVERIFY(platform->messages.isEmpty());
        const QString text = pdfText(pdf);
        if (text.isNull())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(text.contains(QStringLiteral("Partnertörzs")));
        // a list marker and its item stay on one line
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("•[ ]{1,10}A menüpontokat, gombokat és mezőfeliratokat"))),
                 qPrintable(text.mid(text.indexOf(QStringLiteral("menüpontokat")) - 40, 80)));
        QVERIFY(text.count(QLatin1Char('\f')) > 10);
    }
};

QTEST_MAIN(TestHelpScreens)
#include "tst_helpscreens.moc"
