#include "common/colors.h"
#include "common/hungarian.h"
#include "common/session.h"
#include "support/screentestbed.h"
#include "users/menuujfelhasznaloform.h"
#include "support/usertable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace tvx;

namespace {

const QString kTaken = QStringLiteral("Már létezik ilyen felhasználó! Adjon meg másik nevet!");

bool highlighted(QWidget *w) { return w->palette().color(QPalette::Base) == vbColor(kFocusColor); }

}  // namespace

class TestNewUserScreen : public QObject, private ScreenTestBed {
    Q_OBJECT

    void showActive(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    // The focus moves from `from` to `to`, as Tab or a click moves it.
    void leave(QWidget *from, QWidget *to)
    {
        from->setFocus(Qt::TabFocusReason);
        QVERIFY(from->hasFocus());
        to->setFocus(Qt::TabFocusReason);
    }
    void identifyAs(menuUjFelhasznaloForm &s, const QString &name, const QString &password)
    {
        s.Text1->setText(name);
        s.Text2->setText(password);
        s.Command1->click();
    }
    bool entering(menuUjFelhasznaloForm &s)
    {
        return s.Frame1->isVisible() && s.Frame1->isEnabled() && !s.Text1->isEnabled() && !s.Text2->isEnabled() &&
               !s.Command1->isVisible() && s.defaultButton() == s.command3;
    }
    bool identifying(menuUjFelhasznaloForm &s)
    {
        return (!s.Frame1->isVisible() || !s.Frame1->isEnabled()) && s.Text1->isEnabled() && s.Text2->isEnabled() && s.Command1->isVisible() &&
               s.defaultButton() == s.Command1;
    }
    void fillNewUser(menuUjFelhasznaloForm &s, const QString &name, const QString &password, const QString &level)
    {
        s.Text3->setText(name);
        s.Text4->setText(password);
        s.Text5->setText(level);
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage &m : platform->messages)
            texts << m.text;
        return texts;
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // ---- the window ----

    void windowCarriesItsCaptionsFieldsAndOrder()
    {
        menuUjFelhasznaloForm s;
        QCOMPARE(s.objectName(), QStringLiteral("menuUjFelhasznaloForm"));
        QCOMPARE(s.windowTitle(), QStringLiteral("Új felhasználó - Tarvix"));
        QCOMPARE(s.Label1->text(), QStringLiteral("Kérem a jelenlegi felhasználó nevét:"));
        QCOMPARE(s.Label2->text(), QStringLiteral("és jelszavát:"));
        QCOMPARE(s.Command1->text(), QStringLiteral("Bejelentkezés"));
        QCOMPARE(s.Frame1->title(), QStringLiteral("Új felhasználó (user)"));
        QCOMPARE(s.Label3->text(), QStringLiteral("Új felhasználó neve (maximum 25 karakter):"));
        QCOMPARE(s.Label4->text(), QStringLiteral("Új felhasználó jelszava (maximum 10 karakter):"));
        QCOMPARE(s.Label5->text(), QStringLiteral("Jogosultsága (0-2 szint):"));
        QCOMPARE(s.command3->text(), QStringLiteral("Rendben"));
        QCOMPARE(s.RegisztData.objectName(), QStringLiteral("RegisztData"));
        QCOMPARE(s.Regisztralas.objectName(), QStringLiteral("Regisztrálás"));
        QCOMPARE(s.Regisztralas.recordSource(), QStringLiteral("Regisztrálás"));

        const QList<QLineEdit *> fields{s.Text1, s.Text2, s.Text3, s.Text4, s.Text5};
        const QList<int> limits{25, 10, 25, 10, 1};
        for (int i = 0; i < fields.size(); ++i) {
            QCOMPARE(fields[i]->objectName(), QStringLiteral("Text%1").arg(i + 1));
            QCOMPARE(fields[i]->maxLength(), limits[i]);
        }
        QCOMPARE(s.Text2->echoMode(), QLineEdit::Password);
        QCOMPARE(s.Text4->echoMode(), QLineEdit::Password);
        QCOMPARE(s.Text1->echoMode(), QLineEdit::Normal);

        QStringList bar;
        for (QAction *a : s.menuBar()->actions())
            bar << a->objectName() + u'=' + a->text();
        QCOMPARE(bar, QStringList{QStringLiteral("Kilepes=&Kilépés")});

        showActive(s);
        QVERIFY(!s.Frame1->isVisible());
        QVERIFY(identifying(s));
        QVERIFY(s.Text1->hasFocus());
        QVERIFY(highlighted(s.Text1));
        // the tab order, once the frame shows
        s.Frame1->show();
        QStringList order;
        QWidget *w = s.Text1;
        for (int i = 0; i < 7; ++i) {
            order << w->objectName();
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
        }
        QCOMPARE(order, (QStringList{QStringLiteral("Text1"), QStringLiteral("Text2"), QStringLiteral("Command1"), QStringLiteral("Text3"),
                                     QStringLiteral("Text4"), QStringLiteral("Text5"), QStringLiteral("command3")}));
    }

    // ---- identification ----

    void nameIsFoundInAnyLetterCaseThePasswordOnlyExactly()
    {
        addUsers(set->dir(), {{QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("kiss éva"), QStringLiteral("TITOK"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QCOMPARE(platform->messages[0].buttons, MessageButtons::Ok);
        QVERIFY(!platform->busy);
        QVERIFY(platform->beeps >= 1);
        QVERIFY(!s.Frame1->isVisible());
        QVERIFY(s.Text1->hasFocus());
        QCOMPARE(s.Text1->selectedText(), QStringLiteral("kiss éva"));

        identifyAs(s, QStringLiteral("KISS ÉVA"), QStringLiteral("titok"));
        QCOMPARE(platform->messages.size(), 1);
        QVERIFY(entering(s));
        QVERIFY(s.Text3->hasFocus());
    }

    void anyRowOfTheNameWithThatExactPasswordIdentifies()
    {
        // older data sets may hold one name twice in different letter case
        addUsers(set->dir(), {{QStringLiteral("Kiss"), QStringLiteral("titok"), 1},
                              {QStringLiteral("kiss"), QStringLiteral("TITOK"), 1},
                              {QStringLiteral("Nagy"), QVariant(), 2}});
        menuUjFelhasznaloForm s;
        identifyAs(s, QStringLiteral("KISS"), QStringLiteral("TITOK"));
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(!s.Text1->isEnabled());

        // a password that was never set is the empty one
        menuUjFelhasznaloForm t;
        identifyAs(t, QStringLiteral("nagy"), QString());
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(!t.Text1->isEnabled());
    }

    void emptyTableCreatesTheDefaultUserSilently()
    {
        menuUjFelhasznaloForm s;
        s.Command1->click();
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(!s.Frame1->isVisibleTo(&s));
        const QList<QVariantList> rows = userRows(set->dir());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0], (QVariantList{QStringLiteral("demo"), QStringLiteral("kuvo"), 1, QStringLiteral("automatikus"),
                                        platform->fixedClock.today()}));
        // the row now identifies
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        QVERIFY(s.Frame1->isVisibleTo(&s));
    }

    void aNameCheckOnAnEmptyTableCreatesTheDefaultUser()
    {
        menuUjFelhasznaloForm s;
        showActive(s);
        s.Text1->setText(QStringLiteral("valaki"));
        leave(s.Text1, s.Text2);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(userNames(set->dir()), QStringList{QStringLiteral("demo")});
    }

    void leavingTheNameChecksItLeavingThePasswordIdentifies()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        s.Text1->setText(QStringLiteral("senki"));
        leave(s.Text1, s.Text2);
        QCOMPARE(messageTexts(), QStringList{QStringLiteral("Nincs ilyen felhasználó!")});
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(s.Text1->hasFocus());
        QCOMPARE(s.Text1->selectedText(), QStringLiteral("senki"));

        s.Text1->setText(QStringLiteral("DEMO"));
        leave(s.Text1, s.Text2);
        QCOMPARE(platform->messages.size(), 1);
        QVERIFY(s.Text2->hasFocus());

        // going back from the password to the name: leaving the password identifies
        s.Text1->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));
        QVERIFY(s.Text1->hasFocus());

        // an empty name beeps and tries to identify
        s.Text1->clear();
        const int beeps = platform->beeps;
        s.Text2->setFocus(Qt::TabFocusReason);
        QCOMPARE(platform->beeps, beeps + 2);
        QCOMPARE(platform->messages.size(), 3);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));

        // leaving the password, empty or not, identifies
        s.Text1->setText(QStringLiteral("demo"));
        s.Text2->clear();
        leave(s.Text2, s.Command1);
        QCOMPARE(platform->messages.size(), 4);
        s.Text2->setText(QStringLiteral("kuvo"));
        leave(s.Text2, s.Command1);
        QCOMPARE(platform->messages.size(), 4);
        QVERIFY(entering(s));
        QVERIFY(s.Text3->hasFocus());
    }

    // ---- the save ----

    void savedUserRecordsTheMainWindowsUserAsCreator()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        currentUser().name = QStringLiteral("Kiss Éva");  // logged into the main window
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        fillNewUser(s, QStringLiteral("Nagy Ödön"), QStringLiteral("Jelszó1"), QStringLiteral("0"));
        s.command3->click();
        QVERIFY(platform->messages.isEmpty());
        const QList<QVariantList> rows = userRows(set->dir());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2], (QVariantList{QStringLiteral("Nagy Ödön"), QStringLiteral("Jelszó1"), 0, QStringLiteral("Kiss Éva"),
                                        platform->fixedClock.today()}));
        QCOMPARE(s.RegisztData.value(0).toString(), QStringLiteral("Nagy Ödön"));

        // back to identifying: the new user's fields keep their texts
        QVERIFY(identifying(s));
        QVERIFY(s.Frame1->isVisible());
        QVERIFY(s.Text1->hasFocus());
        QCOMPARE(s.Text1->selectedText(), QStringLiteral("demo"));
        QVERIFY(!highlighted(s.Text1));
        QCOMPARE(s.Text2->text(), QString());
        QCOMPARE(s.Text3->text(), QStringLiteral("Nagy Ödön"));
        QCOMPARE(s.Text4->text(), QStringLiteral("Jelszó1"));
        QCOMPARE(s.Text5->text(), QStringLiteral("0"));
        // every further user needs a new identification: Enter presses "Bejelentkezés"
        s.Text3->setText(QStringLiteral("Harmadik"));
        QTest::keyClick(s.Text1, Qt::Key_Return);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));
        QCOMPARE(userRows(set->dir()).size(), 3);
    }

    void emptyNameIsRequired()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        fillNewUser(s, QString(), QStringLiteral("x"), QStringLiteral("1"));
        s.command3->click();
        QCOMPARE(messageTexts(), QStringList{QStringLiteral("A név megadása kötelező!")});
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(s.Text3->hasFocus());
        // leaving the empty name says so again, and the focus comes back
        leave(s.Text3, s.Text4);
        QCOMPARE(platform->messages.size(), 2);
        QVERIFY(s.Text3->hasFocus());
        QCOMPARE(userRows(set->dir()).size(), 1);
    }

    void aNameThatExistsInAnyLetterCaseIsRefused()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Éva"), QStringLiteral("e"), 2}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        fillNewUser(s, QStringLiteral("éva"), QStringLiteral("x"), QStringLiteral("1"));
        s.command3->click();
        QCOMPARE(messageTexts(), QStringList{kTaken});
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(!platform->busy);
        QVERIFY(s.Text3->hasFocus());
        QCOMPARE(s.Text3->selectedText(), QStringLiteral("éva"));
        QVERIFY(!highlighted(s.Text3));
        QVERIFY(entering(s));
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Éva")}));

        // an accent makes another name
        s.Text3->setText(QStringLiteral("Eva"));
        s.command3->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Éva"), QStringLiteral("Eva")}));
    }

    void anEmptyPasswordOrLevelSavesNothingAndSaysNothing()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        fillNewUser(s, QStringLiteral("Új"), QString(), QStringLiteral("1"));
        s.command3->click();
        fillNewUser(s, QStringLiteral("Új"), QStringLiteral("x"), QString());
        s.command3->click();
        // leaving the new name with the password still empty saves nothing either
        fillNewUser(s, QStringLiteral("Új"), QString(), QString());
        leave(s.Text3, s.Text4);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(userRows(set->dir()).size(), 1);
        QVERIFY(entering(s));
    }

    void leavingThePasswordWithEverythingFilledSavesAtOnce()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        fillNewUser(s, QStringLiteral("Gyors"), QStringLiteral("pw"), QString());
        leave(s.Text3, s.Text4);  // the level is still empty: nothing yet
        QCOMPARE(userRows(set->dir()).size(), 1);
        s.Text5->setText(QStringLiteral("1"));
        s.Text5->setFocus(Qt::TabFocusReason);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Gyors")}));
        QVERIFY(identifying(s));
        QVERIFY(s.Text1->hasFocus());
    }

    void leavingTheLevelEmptyFillsInTwo()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        s.Text3->setText(QStringLiteral("Szintes"));  // no password yet: leaving saves nothing
        leave(s.Text5, s.Text3);
        QCOMPARE(s.Text5->text(), QStringLiteral("2"));
        QVERIFY(s.Text3->hasFocus());
        // a filled level sends the focus to "Rendben", wherever it went; the
        // field it passed through is not left by that
        s.Text5->setFocus(Qt::TabFocusReason);
        s.Text4->setText(QStringLiteral("pw"));
        s.Text5->setText(QStringLiteral("1"));
        s.Text3->setFocus(Qt::MouseFocusReason);
        QVERIFY(s.command3->hasFocus());
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(userRows(set->dir()).size(), 1);
        s.command3->click();
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Szintes")}));
    }

    // ---- what the fields take ----

    void levelTakesOnlyZeroOneTwoTypedOrPasted()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
        s.Text5->setFocus(Qt::TabFocusReason);
        const int beeps = platform->beeps;
        QTest::keyClicks(s.Text5, QStringLiteral("a3-"));
        QCOMPARE(s.Text5->text(), QString());
        QCOMPARE(platform->beeps, beeps + 3);
        QTest::keyClicks(s.Text5, QStringLiteral("1"));
        QCOMPARE(s.Text5->text(), QStringLiteral("1"));
        QTest::keyClick(s.Text5, Qt::Key_Backspace);
        QCOMPARE(s.Text5->text(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        s.Text5->paste();
        QCOMPARE(s.Text5->text(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("21"));
        s.Text5->paste();
        QCOMPARE(s.Text5->text(), QStringLiteral("2"));

        // Enter presses "Rendben" instead of beeping
        fillNewUser(s, QStringLiteral("Enteres"), QStringLiteral("pw"), QStringLiteral("2"));
        const int before = platform->beeps;
        QTest::keyClick(s.Text5, Qt::Key_Return);
        QCOMPARE(platform->beeps, before);
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Enteres")}));
    }

    void overLongTextCanNeitherBeTypedNorPasted()
    {
        menuUjFelhasznaloForm s;
        showActive(s);
        const QString longText(40, u'ő');
        for (QLineEdit *f : {s.Text1, s.Text2, s.Text3, s.Text4}) {
            QGuiApplication::clipboard()->setText(longText);
            f->clear();
            f->paste();
            QCOMPARE(f->text().size(), f->maxLength());
            QTest::keyClicks(f, QStringLiteral("abc"));
            QCOMPARE(f->text().size(), f->maxLength());
        }
    }

    // ---- names that hold quotes and stars ----

    void namesWithQuotesAndStarsAreCreatedAndIdentify()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Kiss"), QStringLiteral("k"), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        const QList<QPair<QString, QString>> hostile{{QStringLiteral("O'Brien"), QStringLiteral("it's")},
                                                     {QStringLiteral("a\"b"), QStringLiteral("\"q\"")},
                                                     {QStringLiteral("K*"), QStringLiteral("*")}};
        for (const auto &[name, password] : hostile) {
            identifyAs(s, QStringLiteral("demo"), QStringLiteral("kuvo"));
            fillNewUser(s, name, password, QStringLiteral("1"));
            s.command3->click();
        }
        QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Kiss"), QStringLiteral("O'Brien"),
                                                     QStringLiteral("a\"b"), QStringLiteral("K*")}));

        for (const auto &[name, password] : hostile) {
            menuUjFelhasznaloForm t;
            identifyAs(t, name, password);
            QVERIFY2(entering(t) || !t.Text1->isEnabled(), qPrintable(name));
            // a name already there, in other letter case, is refused
            fillNewUser(t, name.toUpper(), QStringLiteral("x"), QStringLiteral("1"));
            t.command3->click();
            QCOMPARE(platform->lastText(), kTaken);
        }
        // the star is no wildcard: "K*" is not "Kiss", and "K*" as a password is not "k"
        menuUjFelhasznaloForm u;
        identifyAs(u, QStringLiteral("K*"), QStringLiteral("k"));
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));
        identifyAs(u, QStringLiteral("Kiss"), QStringLiteral("*"));
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"));
        QCOMPARE(userRows(set->dir()).size(), 5);
    }

    // ---- another program adding the same name ----

    void aNameAddedByAnotherProgramMeanwhileIsRefused()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QString(), 1}});
        menuUjFelhasznaloForm s;
        showActive(s);
        identifyAs(s, QStringLiteral("demo"), QString());
        QVERIFY(entering(s));

        QProcess peer;
        peer.start(QStringLiteral(USERPEER), {set->dir().path(), QStringLiteral("Közös Név")});
        QVERIFY(peer.waitForFinished(30000));
        QCOMPARE(peer.readAllStandardOutput().trimmed(), QByteArray("SAVED"));

        fillNewUser(s, QStringLiteral("KÖZÖS NÉV"), QStringLiteral("pw"), QStringLiteral("2"));
        s.command3->click();
        QCOMPARE(messageTexts(), QStringList{kTaken});
        QVERIFY(s.Text3->hasFocus());
        QVERIFY(entering(s));
        QCOMPARE(userNames(set->dir()), (QStringList{QStringLiteral("demo"), QStringLiteral("Közös Név")}));
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Közös Név")), QStringList{QStringLiteral("peer")});
        // the screen goes on: another name saves
        s.Text3->setText(QStringLiteral("Saját Név"));
        s.command3->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(userNames(set->dir()).size(), 3);
    }

    void twoProgramsAddingTheSameNamesStoreEachOnce()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QString(), 1}});
        QStringList names;
        for (int i = 0; i < 25; ++i)
            names << QStringLiteral("név %1").arg(i);
        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->start(QStringLiteral(USERPEER), QStringList{set->dir().path()} + names);
        int saved = 0;
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
            for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
                QVERIFY2(line.isEmpty() || line == "SAVED" || line == "TAKEN", line.constData());
                saved += line == "SAVED";
            }
        }
        QCOMPARE(saved, names.size());
        QStringList stored = userNames(set->dir());
        QCOMPARE(stored.size(), names.size() + 1);
        stored.sort();
        stored.removeDuplicates();
        QCOMPARE(stored.size(), names.size() + 1);
    }

    // ---- closing ----

    void exitRoutineClosesBothSourcesOnce()
    {
        menuUjFelhasznaloForm s;
        showActive(s);
        QVERIFY(s.RegisztData.isOpen());
        QVERIFY(s.Regisztralas.isOpen());
        s.Text1->setText(QStringLiteral("senki"));  // the name check does not run on the way out
        s.Kilepes_->trigger();
        QVERIFY(!s.isVisible());
        QVERIFY(!s.RegisztData.isOpen());
        QVERIFY(!s.Regisztralas.isOpen());
        QVERIFY(!s.exitOnClose());
        QVERIFY(platform->messages.isEmpty());

        menuUjFelhasznaloForm t;
        showActive(t);
        QVERIFY(t.close());
        QVERIFY(!t.RegisztData.isOpen());
        QVERIFY(platform->messages.isEmpty());
    }
};

QTEST_MAIN(TestNewUserScreen)
#include "tst_menuujfelhasznaloform.moc"
