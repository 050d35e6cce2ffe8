#include "data/datasource.h"
#include "common/funcs.h"
#include "common/hungarian.h"
#include "common/password.h"
#include "support/screentestbed.h"
#include "support/scriptedplatform.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "shell/tarvixformx.h"
#include "support/testdataset.h"
#include "support/usertable.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace tvx;
using tvx::data::DataSource;

namespace {

QStringList comboItems(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

}  // namespace

class TestTarvixFormX : public QObject, private ScreenTestBed {
    Q_OBJECT


    QList<QVariantList> logRows() { return tableRows(set->dir(), QStringLiteral("regiszt.tvd"), QStringLiteral("select * from Regisztrálás")); }
    QList<QVariantList> userRows() { return tableRows(set->dir(), QStringLiteral("regiszt.tvd"), QStringLiteral("Users")); }

    void choose(TarvixFormX &w, const QString &name)
    {
        const int index = w.Combo1->findText(name);
        QVERIFY2(index >= 0, qPrintable(name));
        w.Combo1->setCurrentIndex(index);
        emit w.Combo1->activated(index);
    }
    void loginAs(TarvixFormX &w, const QString &name, const QString &password)
    {
        choose(w, name);
        w.Text1->setText(password);
        w.Command1->click();
    }
    // Shown and active, so keys reach it as they do on the desktop (shortcuts included).
    void showActive(TarvixFormX &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(w.Combo1->hasFocus());
    }
    bool waitingForUser(TarvixFormX &w) { return !w.Text1->isVisible() && !w.Command1->isEnabled(); }
    bool menusEnabled(TarvixFormX &w)
    {
        return w.Torzsek->menuAction()->isEnabled() && w.Iktatas->menuAction()->isEnabled() && w.Beallitas->menuAction()->isEnabled() &&
               w.Szerviz->isEnabled();
    }
    bool menusDisabled(TarvixFormX &w)
    {
        return !w.Torzsek->menuAction()->isEnabled() && !w.Iktatas->menuAction()->isEnabled() &&
               !w.Beallitas->menuAction()->isEnabled() && !w.Szerviz->isEnabled();
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void windowCarriesItsCaptionsAndMenus()
    {
        TarvixFormX w;
        w.start();
        QVERIFY(w.windowTitle().contains(QStringLiteral("Tarvix")));
        QVERIFY(w.windowTitle().contains(QStringLiteral("V.1.0")));
        QVERIFY(w.windowTitle().contains(QStringLiteral("2012.")));
        QCOMPARE(w.Label1->text(), QStringLiteral("T a r v i x  Irattári Nyilvántartás"));
        QCOMPARE(w.LabelUser->text(), QStringLiteral("Kérem a felhasználó nevét:"));
        QCOMPARE(w.LabelPassword->text(), QStringLiteral("Jelszó:"));
        QCOMPARE(w.Command1->text(), QStringLiteral("Bejelentkezés"));
        QCOMPARE(w.Combo1->toolTip(), QStringLiteral("Lefele nyíl kiválaszt"));
        QCOMPARE(w.Text1->toolTip(), QStringLiteral("Gépelje be a jelszót!"));
        QCOMPARE(w.Text1->echoMode(), QLineEdit::Password);

        QStringList topLevel;
        for (QAction *a : w.menuBar()->actions())
            topLevel << a->objectName() + u'=' + a->text();
        QCOMPARE(topLevel, (QStringList{QStringLiteral("Torzsek=&Törzsek"), QStringLiteral("Iktatas=&Iktatás"), QStringLiteral("Beallitas=&Beállítások"),
                                        QStringLiteral("Szerviz=S&zerviz"), QStringLiteral("Segedlet=&Segédlet"), QStringLiteral("Kilepes=&Kilépés")}));
        auto items = [](QMenu *menu) {
            QStringList out;
            for (QAction *a : menu->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u'=' + a->text());
            return out;
        };
        QCOMPARE(items(w.Torzsek), QStringList{QStringLiteral("Partnertorzs=Partnertörzs")});
        QCOMPARE(items(w.Iktatas), (QStringList{QStringLiteral("Iktato=Iktató"), QStringLiteral("-"), QStringLiteral("Mellekletek=Mellékletek")}));
        QCOMPARE(items(w.Beallitas),
                 (QStringList{QStringLiteral("FelhasznaloValtas=Felhasználóváltás"), QStringLiteral("UjFelhasznalo=Új felhasználó"),
                              QStringLiteral("FelhasznaloModositas=Felhasználói jelszó módosítása"), QStringLiteral("-"),
                              QStringLiteral("Parameter=Paraméterezés")}));
        QCOMPARE(items(w.Segedlet), QStringList{QStringLiteral("Kezikonyv=Felhasználói kézikönyv")});
        QVERIFY(menusDisabled(w));
        QVERIFY(w.Segedlet->menuAction()->isEnabled());
        QVERIFY(w.Kilepes_->isEnabled());
    }

    void firstStartCreatesDemoWithAnEmptyPassword()
    {
        TarvixFormX w;
        w.start();
        const auto users = userRows();
        QCOMPARE(users.size(), 1);
        QCOMPARE(users[0][0].toString(), QStringLiteral("demo"));
        QCOMPARE(Funcs::NullToEmpty(users[0][1]), QString());
        QCOMPARE(users[0][2].toInt(), 1);
        QCOMPARE(users[0][3].toString(), QStringLiteral("Első indítás"));
        QCOMPARE(users[0][4].toDate(), QDate(2024, 3, 7));
        QCOMPARE(comboItems(w.Combo1), QStringList{QStringLiteral("demo")});
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("DEMO"));
        QVERIFY(!w.Text1->isVisible());
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(!w.Label2->isVisible());
        QCOMPARE(w.Command1->property("vbBackColor").toUInt(), 0x00FFC0C0u);
        QCOMPARE(currentUser().name, QStringLiteral("demo"));
        QCOMPARE(currentUser().password, QStringLiteral("kuvo"));
        QVERIFY(logRows().isEmpty());
        QCOMPARE(platform->programEnds, 0);
        QVERIFY(!platform->busy);
    }

    void namelessOnlyUserEndsTheProgramWithTheMessage()
    {
        addUsers(set->dir(), {{QVariant(), QStringLiteral("x"), 1}});
        {
            DataSource log(QStringLiteral("regiszt.tvd"), QStringLiteral("Regisztrálás"), nullptr, set->dir());
            QVERIFY(log.refresh());
            QVERIFY(log.addNew());
            QVERIFY(log.setValue(2, QDate(2024, 2, 1)));
            QVERIFY(log.update());
        }
        TarvixFormX w;
        w.start();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs felhasználó megadva!\nA program most kilép, kérem indítsa újra!\n"
                                                           "Napló akció dátuma: 2024.02.01.\nRendszerdátum: 2024.03.07."));
        QCOMPARE(platform->beeps, 2);
        QCOMPARE(platform->programEnds, 1);
        QVERIFY(w.exitRequested());
        QVERIFY(userRows().isEmpty());
        const auto log = logRows();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.last()[4].toString(), QStringLiteral("HIBA! Nincs felhasználó! Kilépés!"));
    }

    void namelessOnlyUserWithoutLogRowsShowsNoBox()
    {
        addUsers(set->dir(), {{QString(), QStringLiteral("x"), 1}});
        TarvixFormX w;
        w.start();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->programEnds, 1);
        QCOMPARE(logRows().size(), 1);
    }

    void namelessRowThatIsNotFirstStays()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}, {QVariant(), QVariant(), 0}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        TarvixFormX w;
        w.start();
        QCOMPARE(comboItems(w.Combo1), (QStringList{QStringLiteral("demo"), QString(), QStringLiteral("Kiss Éva")}));
        QCOMPARE(userRows().size(), 3);
        QCOMPARE(platform->programEnds, 0);
    }

    void loginRespectsLetterCaseAndFillsTheCurrentUser()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("Titok"), 2}});
        TarvixFormX w;
        w.start();
        w.show();
        // "DEMO" as first shown is not "demo"
        w.Text1->setVisible(true);
        w.Command1->setEnabled(true);
        w.Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM! A felhasználó azonosítása sikertelen!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Hibás felhasználói név és/vagy jelszó!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QVERIFY(!w.Command1->isEnabled());
        QCOMPARE(w.Command1->property("vbBackColor").toUInt(), 0x0000FF00u);
        QVERIFY(menusDisabled(w));
        QCOMPARE(currentUser().name, QStringLiteral("demo"));
        QCOMPARE(currentUser().password, QStringLiteral("kuvo"));

        // a wrong case in the password fails too, and the typed password stays
        loginAs(w, QStringLiteral("Kiss Éva"), QStringLiteral("titok"));
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(w.Text1->text(), QStringLiteral("titok"));
        QVERIFY(w.Combo1->isVisible());

        loginAs(w, QStringLiteral("Kiss Éva"), QStringLiteral("Titok"));
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(currentUser().name, QStringLiteral("Kiss Éva"));
        QCOMPARE(currentUser().password, QStringLiteral("Titok"));
        QCOMPARE(currentUser().accessLevel, short(2));
        QVERIFY(!w.Combo1->isVisible());
        QVERIFY(!w.Text1->isVisible());
        QVERIFY(!w.Command1->isVisible());
        QVERIFY(!w.LabelUser->isVisible());
        QVERIFY(w.Label2->isVisible());
        QCOMPARE(w.Label2->text(), QStringLiteral("Tarvix üzemeltető"));
        QVERIFY(menusEnabled(w));
        QCOMPARE(w.Command1->property("vbBackColor").toUInt(), 0x00E0E0E0u);
        QVERIFY(logRows().isEmpty());  // a successful login writes no log row
    }

    void emptyOrNullPasswordLogsInWithAnEmptyField()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), QVariant()}, {QStringLiteral("üres"), QString(), 0}});
        TarvixFormX w;
        w.start();
        loginAs(w, QStringLiteral("demo"), QString());
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(currentUser().accessLevel, short(0));  // a null level reads as 0
        QVERIFY(passwordMatches(QVariant(), QString()));
        QVERIFY(passwordMatches(QString(), QString()));
        QVERIFY(!passwordMatches(QStringLiteral("a"), QStringLiteral("A")));
    }

    void typedNameAndDuplicateNames()
    {
        addUsers(set->dir(), {{QStringLiteral("anna"), QStringLiteral("egy"), 0}, {QStringLiteral("anna"), QStringLiteral("kettő"), 2},
                              {QStringLiteral("anna"), QStringLiteral("kettő"), 1}});
        TarvixFormX w;
        w.start();
        w.Combo1->setEditText(QStringLiteral("anna"));  // typed, not chosen
        w.Text1->setText(QStringLiteral("kettő"));
        w.Command1->setEnabled(true);
        w.Command1->click();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(currentUser().accessLevel, short(2));  // the first matching row wins
    }

    void leavingTheUserFieldOffersThePassword()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("x"), 1}});
        TarvixFormX w;
        w.start();
        w.show();
        QVERIFY(!w.Text1->isVisible());
        QTest::keyClick(w.Combo1->lineEdit(), Qt::Key_Tab);
        QVERIFY(w.Text1->isVisible());
        QVERIFY(w.Command1->isEnabled());
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("DEMO"));  // nothing completed the typed name
    }

    void startTextIsSelectedSoTypingReplacesIt()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}});
        TarvixFormX w;
        w.start();
        showActive(w);
        QCOMPARE(w.Combo1->lineEdit()->selectedText(), QStringLiteral("DEMO"));
        QTest::keyClicks(w.Combo1, QStringLiteral("demo"));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("demo"));
        // after a failed login the name is offered for retyping the same way
        w.Command1->setEnabled(true);
        w.Combo1->setEditText(QStringLiteral("senki"));
        w.Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(w.Combo1->lineEdit()->selectedText(), QStringLiteral("senki"));
    }

    void choosingFromTheListWithEnterOnlyChooses()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        TarvixFormX w;
        w.start();
        showActive(w);
        QTest::keyClick(w.Combo1, Qt::Key_Down, Qt::AltModifier);
        QAbstractItemView *list = w.Combo1->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("Kiss Éva"));
        QVERIFY(w.Text1->isVisible());
        QVERIFY(w.Text1->hasFocus());
        QVERIFY(w.Command1->isEnabled());
        QCOMPARE(currentUser().name, QStringLiteral("demo"));
        // now she types her password, and Enter logs her in
        QTest::keyClicks(w.Text1, QStringLiteral("titok"));
        QTest::keyClick(w.Text1, Qt::Key_Return);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(currentUser().name, QStringLiteral("Kiss Éva"));
        QVERIFY(menusEnabled(w));
    }

    void altOrOpeningTheListDoesNotLeaveTheUserField()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}});
        TarvixFormX w;
        w.start();
        showActive(w);
        // a typed name that is in the list is still only typed
        QTest::keyClicks(w.Combo1, QStringLiteral("demo"));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("demo"));
        // Alt alone hands the keyboard to the menu bar
        QTest::keyClick(w.Combo1, Qt::Key_Alt, Qt::AltModifier);
        if (QApplication::focusWidget() != w.menuBar())
            w.menuBar()->setFocus(Qt::MenuBarFocusReason);
        QVERIFY(waitingForUser(w));
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        w.Combo1->setFocus(Qt::OtherFocusReason);
        QVERIFY(waitingForUser(w));
        // opening and closing the list
        w.Combo1->showPopup();
        QTRY_VERIFY(w.Combo1->view()->isVisible());
        QVERIFY(waitingForUser(w));
        QTest::keyClick(w.Combo1->view(), Qt::Key_Escape);
        QTRY_VERIFY(!w.Combo1->view()->isVisible());
        QVERIFY(waitingForUser(w));
        // the window losing the focus to another window is no choice either
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(waitingForUser(w));
        // a real move to another field is
        showActive(w);
        QTest::keyClick(w.Combo1, Qt::Key_Tab);
        QVERIFY(w.Text1->isVisible());
        QVERIFY(w.Text1->hasFocus());
        QVERIFY(w.Command1->isEnabled());
        QVERIFY(platform->messages.isEmpty());
    }

    void enterAfterATypedNameLeavesTheField()
    {
        TarvixFormX w;
        w.start();  // creates "demo" with an empty password
        showActive(w);
        w.Combo1->lineEdit()->clear();
        QTest::keyClicks(w.Combo1, QStringLiteral("demo"));
        QTest::keyClick(w.Combo1, Qt::Key_Return);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("demo"));
        QVERIFY(w.Text1->isVisible());
        QVERIFY(w.Text1->hasFocus());
        QVERIFY(w.Command1->isEnabled());
        // Enter in the password field presses the login button
        QTest::keyClick(w.Text1, Qt::Key_Return);
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(menusEnabled(w));

        // a typed name that differs in case is not completed to a listed one
        w.FelhasznaloValtas->trigger();
        QVERIFY(waitingForUser(w));
        w.Combo1->setEditText(QStringLiteral("DEMO"));
        QTest::keyClick(w.Combo1, Qt::Key_Enter);
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("DEMO"));
        QVERIFY(w.Command1->isEnabled());
        QTest::keyClick(w.Combo1, Qt::Key_Enter);  // now the button is there: Enter presses it
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Hibás felhasználói név és/vagy jelszó!"));
    }

    void userSwitchLogsTheLeavingUserAndKeepsThePassword()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("jelszó"), 2}});
        TarvixFormX w;
        w.start();
        loginAs(w, QStringLiteral("demo"), QStringLiteral("jelszó"));
        platform->fixedClock.set(QDateTime(QDate(2024, 3, 8), QTime(9, 15, 30)));
        w.FelhasznaloValtas->trigger();
        QCOMPARE(currentUser().name, QStringLiteral("NINCS"));
        QCOMPARE(currentUser().password, QStringLiteral("jelszó"));
        QCOMPARE(currentUser().accessLevel, short(2));
        QVERIFY(w.Text1->text().isEmpty());
        QVERIFY(!w.Text1->isVisible());
        QVERIFY(w.Combo1->isVisible());
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(menusDisabled(w));
        QVERIFY(w.Label2->isVisible());

        auto log = logRows();
        QCOMPARE(log.size(), 1);
        const QVariantList expected{QStringLiteral("demo"), QStringLiteral("jelszó"), QDate(2024, 3, 8), QTime(9, 15, 30),
                                    QStringLiteral("Felhasználóváltás kérése"), QDir::toNativeSeparators(QDir::currentPath()), 2,
                                    QStringLiteral("Tarvix"), 0, QStringLiteral("Főmenü")};
        QCOMPARE(log[0], expected);
        // a second switch before any login records "NINCS" with the old password and level
        w.FelhasznaloValtas->trigger();
        log = logRows();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[1][0].toString(), QStringLiteral("NINCS"));
        QCOMPARE(log[1][1].toString(), QStringLiteral("jelszó"));
        QCOMPARE(log[1][6].toInt(), 2);
        // choosing a user makes the password field and the button usable again
        choose(w, QStringLiteral("demo"));
        QVERIFY(w.Text1->isVisibleTo(&w));
        QVERIFY(w.Command1->isEnabled());
    }

    void loginIntoAnEmptyUserTableCreatesTheDefaultUserAndEnds()
    {
        TarvixFormX w;
        w.start();  // creates "demo"
        {
            DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, set->dir());
            QVERIFY(users.refresh());
            QVERIFY(users.deleteCurrent());
        }
        QVERIFY(w.Regiszt.refresh());
        loginAs(w, QStringLiteral("demo"), QString());
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("Felhasználó inicializálása sikertelen!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Indítsa újra a programot!"));
        QCOMPARE(platform->programEnds, 1);
        const auto users = userRows();
        QCOMPARE(users.size(), 1);
        QCOMPARE(users[0].mid(0, 4), (QVariantList{QStringLiteral("demo"), QStringLiteral("kuvo"), 1, QStringLiteral("automatikus")}));
        QCOMPARE(logRows().size(), 1);
    }

    void missingUserFileEndsAtLoginWithItsMessage()
    {
        QVERIFY(set->removeFile(QStringLiteral("regiszt.tvd")));
        TarvixFormX w;
        w.start();
        QCOMPARE(w.Combo1->count(), 0);
        QCOMPARE(platform->programEnds, 0);
        w.Command1->setEnabled(true);
        w.Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM! Súlyos hiba!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nem található a REGISZT.TVD állomány!"));
        QCOMPARE(platform->programEnds, 1);
    }

    void missingOperatorFileLeavesTheNameEmpty()
    {
        QVERIFY(set->removeFile(QStringLiteral("betarol.tvd")));
        TarvixFormX w;
        w.start();
        loginAs(w, QStringLiteral("demo"), QString());
        QVERIFY(menusEnabled(w));
        QCOMPARE(w.Label2->text(), QString());
    }

    void closingTheWindowEndsTheProgramOnce()
    {
        TarvixFormX w;
        w.start();
        QVERIFY(w.close());
        QCOMPARE(platform->programEnds, 1);
        QVERIFY(!w.RegisztData.isOpen());
        TarvixFormX v;
        v.start();
        v.Kilepes_->trigger();
        QCOMPARE(platform->programEnds, 2);
    }

    void screensHideTheMainWindowExceptTheFilingScreen()
    {
        bool visibleMeanwhile = true;
        registerScreen(QStringLiteral("BeraktarozokFormX"), [](QWidget *parent) { return new Screen(parent); });
        registerScreen(QStringLiteral("IktatasFormX"), [](QWidget *parent) { return new Screen(parent); });
        registerScreen(QStringLiteral("IktatasMellekletekFormX"), [](QWidget *parent) { return new Screen(parent); });
        TarvixFormX w;
        w.start();
        loginAs(w, QStringLiteral("demo"), QString());
        platform->onModal = [&](Screen &screen) {
            visibleMeanwhile = w.isVisible();
            // a user added while the screen is open shows in the list afterwards
            addUsers(set->dir(), {{QStringLiteral("új"), QVariant(), 0}});
            screen.Kilepes();
        };
        w.Partnertorzs->trigger();
        QVERIFY(!visibleMeanwhile);
        QVERIFY(w.isVisible());
        QCOMPARE(comboItems(w.Combo1), (QStringList{QStringLiteral("demo"), QStringLiteral("új")}));
        w.Iktato->trigger();
        QVERIFY(visibleMeanwhile);
        handOver().singleEntryAttachments = true;
        bool singleMeanwhile = true;
        platform->onModal = [&](Screen &screen) {
            visibleMeanwhile = w.isVisible();
            singleMeanwhile = handOver().singleEntryAttachments;
            screen.Kilepes();
        };
        w.Mellekletek->trigger();  // all attachments, with the main window hidden
        QVERIFY(!visibleMeanwhile);
        QVERIFY(!singleMeanwhile);
        QVERIFY(w.isVisible());
        QCOMPARE(platform->programEnds, 0);
    }

    void vendorFieldOpensTheUpdatePageOrBeeps()
    {
        TarvixFormX w;
        w.start();
        QTest::mouseClick(w.VendorText, Qt::LeftButton);
        QCOMPARE(platform->started.size(), 1);
        QVERIFY(platform->started[0].startsWith(QStringLiteral("https://")));
        const int beeps = platform->beeps;
        platform->startSucceeds = false;
        QTest::mouseClick(w.VendorText, Qt::LeftButton);
        QCOMPARE(platform->beeps, beeps + 1);
        QVERIFY(platform->messages.isEmpty());
    }

    void twoWindowsOnOneDataSetBothLogAndLogIn()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QVariant(), 1}});
        TarvixFormX first, second;
        first.start();
        second.start();
        loginAs(first, QStringLiteral("demo"), QString());
        loginAs(second, QStringLiteral("demo"), QString());
        QVERIFY(menusEnabled(first));
        QVERIFY(menusEnabled(second));
        first.FelhasznaloValtas->trigger();
        second.FelhasznaloValtas->trigger();
        first.FelhasznaloValtas->trigger();
        QCOMPARE(logRows().size(), 3);
    }
};

QTEST_MAIN(TestTarvixFormX)
#include "tst_tarvixformx.moc"
