#include "common/colors.h"
#include "common/datagrid.h"
#include "data/connection.h"
#include "data/datasource.h"
#include "common/datepicker.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/headersort.h"
#include "common/hungarian.h"
#include "common/navigator.h"
#include "support/scriptedplatform.h"
#include "common/screen.h"
#include "support/testdataset.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <sqlite3.h>

using namespace tvx;
using tvx::data::DataSource;

namespace {

class CountingScreen : public Screen {
public:
    int exitRuns = 0;
    bool mustMendFirst = false;  // the exit routine finds something to mend
    using Screen::addDataSource;

protected:
    void exitRoutine() override
    {
        ++exitRuns;
        if (mustMendFirst) {
            stayOpen();
            return;
        }
        Screen::exitRoutine();
    }
};

void focus(QWidget *w, QEvent::Type type, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent event(type, reason);
    QApplication::sendEvent(w, &event);
}

// Types text as key presses, accents included (QTest types ASCII only).
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.isLetterOrNumber() ? Qt::Key_A : Qt::Key_Exclam, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, c.isLetterOrNumber() ? Qt::Key_A : Qt::Key_Exclam, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void addPartners(const QDir &dir, const QStringList &names)
{
    DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, dir);
    QVERIFY(ds.refresh());
    int id = 1;
    for (const QString &name : names) {
        QVERIFY(ds.addNew());
        QVERIFY(ds.setValue(0, name));
        QVERIFY(ds.setValue(9, id++));
        QVERIFY(ds.update());
    }
}

}  // namespace

class TestScreenBehaviours : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }

    void coloursAreConvertedFromBlueGreenRed()
    {
        QCOMPARE(vbColor(0x00FFFF80), QColor(0x80, 0xFF, 0xFF));
        QCOMPARE(vbColor(0x0000FF00), QColor(0, 0xFF, 0));
        QCOMPARE(vbColor(0x00FFC0C0), QColor(0xC0, 0xC0, 0xFF));
        QCOMPARE(vbColor(kWindowBackground), QApplication::palette().color(QPalette::Base));
    }

    void focusHighlightComesAndGoes()
    {
        QLineEdit field;
        highlightOnFocus(&field);
        focus(&field, QEvent::FocusIn);
        QCOMPARE(field.palette().color(QPalette::Base), QColor(0x80, 0xFF, 0xFF));
        // the focus going to another window takes the highlight away too
        focus(&field, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCOMPARE(field.palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    }

    void digitsOnlyFieldBeepsAndDiscards()
    {
        ScriptedPlatform platform;
        QLineEdit field;
        acceptOnly(&field, QStringLiteral("0123456789"));
        QTest::keyClicks(&field, QStringLiteral("1a2"));
        QCOMPARE(field.text(), QStringLiteral("12"));
        QCOMPARE(platform.beeps, 1);
        QTest::keyClick(&field, Qt::Key_Backspace);
        QCOMPARE(field.text(), QStringLiteral("1"));
        QTest::keyClick(&field, Qt::Key_Left);
        QTest::keyClick(&field, Qt::Key_Delete);
        QCOMPARE(field.text(), QString());
        QCOMPARE(platform.beeps, 1);
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(platform.beeps, 2);
        QTest::keyClicks(&field, QStringLiteral("-,5"));
        QCOMPARE(field.text(), QStringLiteral("5"));

        // Tab moves on as the desktop sends it, with its character
        QWidget window;
        auto *first = new QLineEdit(&window);
        auto *second = new QLineEdit(&window);
        acceptOnly(first, QStringLiteral("012"));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        const int beeps = platform.beeps;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QApplication::sendEvent(first, &tab);
        QVERIFY(second->hasFocus());
        QCOMPARE(platform.beeps, beeps);

        // pasting obeys the filter and the input limit as typing does
        field.setMaxLength(4);
        QGuiApplication::clipboard()->setText(QStringLiteral("7x"));
        field.paste();
        QCOMPARE(field.text(), QStringLiteral("5"));
        QGuiApplication::clipboard()->setText(QStringLiteral("123456"));
        field.paste();
        QCOMPARE(field.text(), QStringLiteral("5123"));
    }

    void enterPressesTheDefaultButtonInsteadOfBeeping()
    {
        ScriptedPlatform platform;
        QWidget window;
        auto *field = new QLineEdit(&window);
        auto *button = new QPushButton(QStringLiteral("OK"), &window);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&] { ++clicks; });
        acceptOnly(field, QStringLiteral("012"), button);
        window.show();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(clicks, 1);
        QCOMPARE(platform.beeps, 0);
        QTest::keyClicks(field, QStringLiteral("3"));
        QCOMPARE(platform.beeps, 1);
        QCOMPARE(field->text(), QString());
    }

    void closingRunsTheExitRoutineOnce()
    {
        TestDataSet set;
        DataSource ds(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        CountingScreen byButton;
        byButton.addDataSource(ds);
        byButton.show();
        QVERIFY(byButton.close());
        QCOMPARE(byButton.exitRuns, 1);
        QVERIFY(!byButton.exitOnClose());
        QVERIFY(!ds.isOpen());

        CountingScreen byRoutine;
        byRoutine.show();
        byRoutine.Kilepes();
        QCOMPARE(byRoutine.exitRuns, 1);
        QVERIFY(!byRoutine.isVisible());

        CountingScreen flagCleared;
        flagCleared.show();
        flagCleared.SetQui(false);
        QVERIFY(flagCleared.close());
        QCOMPARE(flagCleared.exitRuns, 0);

        // an exit routine that asks to stay open keeps the window, once per try
        CountingScreen mending;
        mending.mustMendFirst = true;
        mending.show();
        mending.Kilepes();
        QVERIFY(!mending.close());
        QCOMPARE(mending.exitRuns, 2);
        QVERIFY(mending.isVisible());
        mending.mustMendFirst = false;
        QVERIFY(mending.close());
        QCOMPARE(mending.exitRuns, 3);
    }

    void modalScreensReturnThroughTheRunner()
    {
        ScriptedPlatform platform;
        bool ran = false;
        platform.onModal = [&](Screen &screen) {
            ran = true;
            QVERIFY(screen.isHidden());
            screen.Kilepes();
        };
        CountingScreen screen;
        screen.showModal();
        QVERIFY(ran);
        QCOMPARE(screen.exitRuns, 1);
    }

    void boundFieldsShowAndWriteTheCurrentRecord()
    {
        TestDataSet set;
        ScriptedPlatform platform;
        addPartners(set.dir(), {QStringLiteral("Első Kft."), QStringLiteral("Második Bt.")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        QLineEdit name, town;
        QLabel id;
        FieldBinder binder(&ds);
        binder.bind(&name, QStringLiteral("BerNev"), 50);
        binder.bind(&town, QStringLiteral("BerSzekhely"), 40);
        binder.bind(&id, QStringLiteral("recordID"));
        QCOMPARE(name.text(), QStringLiteral("Első Kft."));
        QCOMPARE(town.text(), QString());  // null shows empty
        QCOMPARE(id.text(), QStringLiteral("1"));
        QCOMPARE(name.maxLength(), 50);

        town.setFocus();
        typeText(&town, QStringLiteral("Győr"));
        QCOMPARE(town.text(), QStringLiteral("Győr"));  // typing is not disturbed by the record being re-read
        QCOMPARE(ds.editMode(), data::Recordset::EditMode::Edit);
        QVERIFY(ds.moveNext());
        QCOMPARE(name.text(), QStringLiteral("Második Bt."));
        QCOMPARE(town.text(), QString());
        QVERIFY(ds.moveFirst());
        QCOMPARE(town.text(), QStringLiteral("Győr"));

        // a record locked elsewhere: the typed text stays and the screen is told
        DataSource other(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(other.refresh());
        QVERIFY(other.edit());
        QList<data::Error> failures;
        connect(&binder, &FieldBinder::writeFailed, [&](const data::Error &e) { failures << e; });
        town.end(false);  // a shown value starts with the cursor at its beginning
        typeText(&town, QStringLiteral("!"));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures.first().code, data::ErrorCode::Locked);
        QCOMPARE(town.text(), QStringLiteral("Győr!"));
    }

    void boundCheckBoxAndDatePicker()
    {
        TestDataSet set;
        DataSource ds(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        QVERIFY(ds.addNew());
        QVERIFY(ds.update());
        QCheckBox photo;
        DatePicker contractDate;
        QPlainTextEdit remarks;
        FieldBinder binder(&ds);
        binder.bind(&photo, QStringLiteral("Foto"));
        binder.bind(&contractDate, QStringLiteral("SzerzödésDátuma"));
        binder.bind(&remarks, QStringLiteral("Megjegyzés"));
        QVERIFY(!photo.isChecked());
        QVERIFY(contractDate.value().isNull());
        QVERIFY(remarks.toPlainText().isEmpty());
        QCOMPARE(ds.editMode(), data::Recordset::EditMode::None);  // showing a record changes nothing
        photo.click();
        contractDate.setDate(QDate(2024, 3, 7));
        remarks.setPlainText(QStringLiteral("első sor\nmásodik sor"));
        QVERIFY(ds.update());
        QCOMPARE(ds.value(QStringLiteral("Foto")), QVariant(true));
        QCOMPARE(ds.value(QStringLiteral("SzerzödésDátuma")).toDate(), QDate(2024, 3, 7));
        QCOMPARE(ds.value(QStringLiteral("Megjegyzés")).toString(), QStringLiteral("első sor\nmásodik sor"));
        // emptying the date picker stores null
        contractDate.setValue(QDate(2024, 3, 7));
        contractDate.setDate(contractDate.minimumDate());
        QVERIFY(ds.update());
        QVERIFY(ds.value(QStringLiteral("SzerzödésDátuma")).isNull());
    }

    void gridFollowsTheCurrentRecordAndSortsOnHeaderClicks()
    {
        TestDataSet set;
        addPartners(set.dir(), {QStringLiteral("Cukor Kft."), QStringLiteral("Csaba Bt."), QStringLiteral("Alma Zrt.")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        QWidget window;
        window.setObjectName(QStringLiteral("SortWindow"));
        auto *grid = new DataGrid(&window);
        grid->setObjectName(QStringLiteral("DBGrid1"));
        grid->setDataSource(&ds, {{QStringLiteral("Partner neve"), QStringLiteral("BerNev")}, {QStringLiteral("recordID"), QStringLiteral("recordID")}});
        grid->setSortable(true);
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Partner neve"));
        QCOMPARE(grid->model()->index(2, 0).data().toString(), QStringLiteral("Alma Zrt."));
        QVERIFY(ds.moveLast());
        QCOMPARE(grid->selectionModel()->selectedRows().value(0).row(), 2);

        auto firstName = [&] { return grid->model()->index(0, 0).data().toString(); };
        QCOMPARE(grid->sortClicks(), 0);
        emit grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(firstName(), QStringLiteral("Alma Zrt."));
        QCOMPARE(grid->model()->index(1, 0).data().toString(), QStringLiteral("Cukor Kft."));  // cs follows c
        QCOMPARE(ds.absolutePosition(), 0);
        emit grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(firstName(), QStringLiteral("Csaba Bt."));
        emit grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(firstName(), QStringLiteral("Alma Zrt."));

        // clicks 4 to 9 leave the name column ascending at the ninth click
        for (int click = 4; click <= 8; ++click)
            emit grid->horizontalHeader()->sectionClicked(1);
        emit grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(grid->sortClicks(), 9);
        QCOMPARE(ds.sort(), QStringLiteral("BerNev"));
        QCOMPARE(firstName(), QStringLiteral("Alma Zrt."));
        // the tenth click starts again: ascending, not descending
        emit grid->horizontalHeader()->sectionClicked(0);
        QCOMPARE(grid->sortClicks(), 0);
        QCOMPARE(ds.sort(), QStringLiteral("BerNev"));
        QCOMPARE(firstName(), QStringLiteral("Alma Zrt."));

        // a click on a grid picks its row
        QSignalSpy picked(grid, &DataGrid::rowDoubleClicked);
        emit grid->doubleClicked(grid->model()->index(2, 0));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(ds.absolutePosition(), 2);
    }

    void clickThatCannotLeaveTheRecordKeepsItCurrent()
    {
        TestDataSet set;
        addPartners(set.dir(), {QStringLiteral("A"), QStringLiteral("B")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        DataGrid grid;
        grid.setDataSource(&ds, {{QStringLiteral("Partner"), QStringLiteral("BerNev")}});
        QVERIFY(ds.setValue(QStringLiteral("BerIrszam"), QStringLiteral("túl hosszú irányítószám")));
        QSignalSpy failed(&grid, &DataGrid::moveFailed);
        QSignalSpy clicked(&grid, &DataGrid::rowClicked);
        emit grid.clicked(grid.model()->index(1, 0));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(ds.absolutePosition(), 0);
        QCOMPARE(grid.selectionModel()->selectedRows().value(0).row(), 0);
        QCOMPARE(ds.value(QStringLiteral("BerIrszam")).toString(), QStringLiteral("túl hosszú irányítószám"));

        DataNavigator nav;
        nav.setDataSource(&ds);
        QSignalSpy navFailed(&nav, &DataNavigator::moveFailed);
        nav.findChild<QToolButton *>(QStringLiteral("last"))->click();
        QCOMPARE(navFailed.count(), 1);
        QCOMPARE(ds.absolutePosition(), 0);
    }

    // The clerk types into a bound field and clicks a column header: what was
    // typed is saved, not dropped with the old record set.
    void headerClickSavesWhatWasTyped()
    {
        TestDataSet set;
        ScriptedPlatform platform;
        addPartners(set.dir(), {QStringLiteral("Béta Kft."), QStringLiteral("Alfa Bt.")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        QLineEdit town;
        FieldBinder binder(&ds);
        binder.bind(&town, QStringLiteral("BerSzekhely"), 40);
        DataGrid grid;
        grid.setObjectName(QStringLiteral("DBGrid1"));
        grid.setSortable(true);
        grid.setDataSource(&ds, {{QStringLiteral("Név"), QStringLiteral("BerNev")}, {QStringLiteral("Székhely"), QStringLiteral("BerSzekhely")}});
        town.setFocus();
        typeText(&town, QStringLiteral("Pécs"));
        QVERIFY(grid.sortByColumn(0));
        QCOMPARE(ds.value(0).toString(), QStringLiteral("Alfa Bt."));
        QVERIFY(ds.findFirst(QStringLiteral("[BerNev] = 'Béta Kft.'")));
        QCOMPARE(ds.value(QStringLiteral("BerSzekhely")).toString(), QStringLiteral("Pécs"));
        QCOMPARE(town.text(), QStringLiteral("Pécs"));
    }

    // A failure the screen is about to test is not cleared by the fields
    // showing the record again.
    void boundFieldsLeaveAFailureForTheScreen()
    {
        TVX_FILES_ONLY("another program holding the file through SQLite");
        TestDataSet set;
        ScriptedPlatform platform;
        addPartners(set.dir(), {QStringLiteral("Első Kft."), QStringLiteral("Második Bt.")});
        data::setBusyTimeout(50);
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        data::setBusyTimeout(5000);
        QLineEdit name;
        FieldBinder binder(&ds);
        binder.bind(&name, QStringLiteral("BerNev"), 50);
        DataGrid grid;
        grid.setDataSource(&ds, {{QStringLiteral("Név"), QStringLiteral("BerNev")}});

        sqlite3 *writer = nullptr;  // another program in the middle of writing the file
        QCOMPARE(sqlite3_open_v2(set.path(QStringLiteral("Torzsek.tvd")).toUtf8().constData(), &writer, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(!ds.moveNext());
        binder.refresh();
        grid.model()->data(grid.model()->index(1, 0));  // a view drawing a row it has not read yet
        QCOMPARE(ds.lastError().code, data::ErrorCode::Busy);
        QCOMPARE(name.text(), QStringLiteral("Első Kft."));
        QCOMPARE(ds.absolutePosition(), 0);
        sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        QVERIFY(ds.moveNext());
        QCOMPARE(name.text(), QStringLiteral("Második Bt."));
    }

    void sortClickThatCannotReopenKeepsTheOrder()
    {
        TestDataSet set;
        addPartners(set.dir(), {QStringLiteral("B"), QStringLiteral("A")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        int clicks = 0;
        QVERIFY(!sortByHeaderClick(ds, QStringLiteral("Nincs"), clicks));
        QCOMPARE(ds.sort(), QString());
        QCOMPARE(ds.value(0).toString(), QStringLiteral("B"));
        QVERIFY(sortByHeaderClick(ds, QStringLiteral("BerNev"), clicks));
        QCOMPARE(ds.value(0).toString(), QStringLiteral("A"));
    }

    void navigatorMovesWithinTheRecords()
    {
        TestDataSet set;
        addPartners(set.dir(), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, set.dir());
        QVERIFY(ds.refresh());
        DataNavigator nav;
        nav.setDataSource(&ds);
        nav.setCaption(QStringLiteral("    Partnertörzs"));
        QCOMPARE(nav.caption(), QStringLiteral("    Partnertörzs"));
        auto press = [&](const char *name) { nav.findChild<QToolButton *>(QString::fromLatin1(name))->click(); };
        press("last");
        QCOMPARE(ds.value(0).toString(), QStringLiteral("C"));
        press("next");  // stays on the last record
        QCOMPARE(ds.value(0).toString(), QStringLiteral("C"));
        press("first");
        press("previous");  // stays on the first
        QCOMPARE(ds.value(0).toString(), QStringLiteral("A"));
        press("next");
        QCOMPARE(ds.value(0).toString(), QStringLiteral("B"));
    }
};

QTEST_MAIN(TestScreenBehaviours)
#include "tst_screenbehaviours.moc"
