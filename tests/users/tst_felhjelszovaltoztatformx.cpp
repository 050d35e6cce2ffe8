#include "common/colors.h"
#include "common/hungarian.h"
#include "common/session.h"
#include "data/connection.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"
#include "users/felhjelszovaltoztatformx.h"
#include "support/usertable.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>

#include <csignal>

using namespace tvx;

namespace {


}  // namespace

class TestPasswordChangeScreen : public QObject, private ScreenTestBed {
    Q_OBJECT

    // the three stages with the given texts; OK - 3 is pressed last
    void change(FelhJelszoValtoztatFormX &s, const QString &old, const QString &fresh, const QString &again)
    {
        s.Text1->setText(old);
        s.Command1->click();
        s.Text2->setText(fresh);
        s.Command2->click();
        s.Text3->setText(again);
        s.Command3->click();
    }
    bool firstStageOnly(FelhJelszoValtoztatFormX &s)
    {
        return s.Text1->isEnabled() && s.Command1->isEnabled() && !s.Text2->isEnabled() && !s.Command2->isEnabled() &&
               !s.Text3->isEnabled() && !s.Command3->isEnabled();
    }
    void loggedInAs(const QString &name, const QString &password)
    {
        currentUser().name = name;
        currentUser().password = password;
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup()
    {
        data::setBusyTimeout(5000);
        tearDown();
    }

    void windowCarriesItsCaptionsFieldsAndOrder()
    {
        FelhJelszoValtoztatFormX s;
        QCOMPARE(s.objectName(), QStringLiteral("FelhJelszoValtoztatFormX"));
        QCOMPARE(s.windowTitle(), QStringLiteral("Jelszó megváltoztatása - Tarvix"));
        QCOMPARE(s.RegisztJ.objectName(), QStringLiteral("RegisztJ"));
        QCOMPARE(s.Label1->text(), QStringLiteral("Régi jelszó:"));
        QCOMPARE(s.Label2->text(), QStringLiteral("Új jelszó (max. 10 karakter):"));
        QCOMPARE(s.Label3->text(), QStringLiteral("Új jelszó ismét:"));
        QCOMPARE(s.Command1->text(), QStringLiteral("OK - 1"));
        QCOMPARE(s.Command2->text(), QStringLiteral("OK - 2"));
        QCOMPARE(s.Command3->text(), QStringLiteral("OK - 3"));
        for (QLineEdit *f : {s.Text1, s.Text2, s.Text3}) {
            QCOMPARE(f->maxLength(), 10);
            QCOMPARE(f->echoMode(), QLineEdit::Password);
        }
        QStringList bar;
        for (QAction *a : s.menuBar()->actions())
            bar << a->objectName() + u'=' + a->text();
        QCOMPARE(bar, QStringList{QStringLiteral("Kilepes=&Vissza")});
        QVERIFY(firstStageOnly(s));

        s.show();
        s.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        QVERIFY(s.Text1->hasFocus());
        // no focus highlight here
        QVERIFY(s.Text1->palette().color(QPalette::Base) != vbColor(kFocusColor));
        for (QWidget *w : {static_cast<QWidget *>(s.Text2), static_cast<QWidget *>(s.Command2), static_cast<QWidget *>(s.Text3),
                           static_cast<QWidget *>(s.Command3)})
            w->setEnabled(true);
        QStringList order;
        QWidget *w = s.Text1;
        for (int i = 0; i < 6; ++i) {
            order << w->objectName();
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order, (QStringList{QStringLiteral("Text1"), QStringLiteral("Command1"), QStringLiteral("Text2"), QStringLiteral("Command2"),
                                     QStringLiteral("Text3"), QStringLiteral("Command3")}));
    }

    // ---- the stages ----

    void oldPasswordMustMatchWithItsLetterCase()
    {
        addUsers(set->dir(), {{QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        loggedInAs(QStringLiteral("Kiss Éva"), QStringLiteral("titok"));
        FelhJelszoValtoztatFormX s;
        s.Text1->setText(QStringLiteral("TITOK"));
        s.Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nem megfelelő jelszó!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QCOMPARE(platform->beeps, 1);
        QVERIFY(firstStageOnly(s));

        s.Text1->setText(QStringLiteral("titok"));
        s.Command1->click();
        QVERIFY(s.Text2->isEnabled() && s.Command2->isEnabled());
        QVERIFY(!s.Text3->isEnabled() && !s.Command3->isEnabled());
        // OK - 2 takes any new password, the empty one too
        s.Command2->click();
        QVERIFY(s.Text3->isEnabled() && s.Command3->isEnabled());
        QCOMPARE(platform->messages.size(), 1);
        // a wrong old password, confirmed again, locks the later stages
        s.Text1->setText(QStringLiteral("rossz"));
        s.Command1->click();
        QVERIFY(firstStageOnly(s));
    }

    void differentRepetitionGoesBackToTheSecondStage()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        loggedInAs(QStringLiteral("demo"), QStringLiteral("kuvo"));
        FelhJelszoValtoztatFormX s;
        s.show();
        s.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        change(s, QStringLiteral("kuvo"), QStringLiteral("újjelszó"), QStringLiteral("ÚJJELSZÓ"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nem megfelelő jelszóegyezés!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QVERIFY(!s.Text3->isEnabled() && !s.Command3->isEnabled());
        QVERIFY(s.Text2->isEnabled() && s.Command2->isEnabled());
        QVERIFY(s.Text2->hasFocus());
        QCOMPARE(currentUser().password, QStringLiteral("kuvo"));
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QStringLiteral("kuvo")});
    }

    void newPasswordIsStoredAndCurrentAtOnce()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        loggedInAs(QStringLiteral("Kiss Éva"), QStringLiteral("titok"));
        FelhJelszoValtoztatFormX s;
        change(s, QStringLiteral("titok"), QStringLiteral("Új'Jel\"*"), QStringLiteral("Új'Jel\"*"));
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(!platform->busy);
        QVERIFY(firstStageOnly(s));
        QCOMPARE(currentUser().password, QStringLiteral("Új'Jel\"*"));
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss Éva")), QStringList{QStringLiteral("Új'Jel\"*")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QStringLiteral("kuvo")});
        // the next change starts from the new password
        s.Text1->setText(QStringLiteral("titok"));
        s.Command1->click();
        QCOMPARE(platform->lastText(), QStringLiteral("Nem megfelelő jelszó!"));
        // fields keep their texts
        QCOMPARE(s.Text2->text(), QStringLiteral("Új'Jel\"*"));
    }

    void emptyNewPasswordIsStoredEmpty()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        loggedInAs(QStringLiteral("demo"), QStringLiteral("kuvo"));
        FelhJelszoValtoztatFormX s;
        change(s, QStringLiteral("kuvo"), QString(), QString());
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(currentUser().password, QString());
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QString()});
    }

    void noUserAtAll()
    {
        FelhJelszoValtoztatFormX s;
        s.Text1->setText(QStringLiteral("kuvo"));
        s.Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs felhasználó felvéve!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
        QVERIFY(firstStageOnly(s));
    }

    // ---- whose row changes ----

    void theLoggedInUsersOwnRowChangesAmongNamesDifferingInCase()
    {
        addUsers(set->dir(), {{QStringLiteral("Kiss"), QStringLiteral("egy"), 1}, {QStringLiteral("kiss"), QStringLiteral("kettő"), 1}});
        loggedInAs(QStringLiteral("kiss"), QStringLiteral("kettő"));
        {
            FelhJelszoValtoztatFormX s;
            change(s, QStringLiteral("kettő"), QStringLiteral("kisbetűs"), QStringLiteral("kisbetűs"));
        }
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss")), QStringList{QStringLiteral("egy")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("kiss")), QStringList{QStringLiteral("kisbetűs")});

        loggedInAs(QStringLiteral("Kiss"), QStringLiteral("egy"));
        {
            FelhJelszoValtoztatFormX s;
            change(s, QStringLiteral("egy"), QStringLiteral("Nagybetűs"), QStringLiteral("Nagybetűs"));
        }
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss")), QStringList{QStringLiteral("Nagybetűs")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("kiss")), QStringList{QStringLiteral("kisbetűs")});
        QVERIFY(platform->messages.isEmpty());

        // without a row spelt exactly so, the first row of the name changes
        loggedInAs(QStringLiteral("KISS"), QStringLiteral("x"));
        {
            FelhJelszoValtoztatFormX s;
            change(s, QStringLiteral("x"), QStringLiteral("harmadik"), QStringLiteral("harmadik"));
        }
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss")), QStringList{QStringLiteral("harmadik")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("kiss")), QStringList{QStringLiteral("kisbetűs")});
    }

    void quotesAndStarsInTheNameFindTheRightRow()
    {
        addUsers(set->dir(), {{QStringLiteral("Kiss"), QStringLiteral("k"), 1},
                              {QStringLiteral("O'Brien"), QStringLiteral("o"), 1},
                              {QStringLiteral("a\"b"), QStringLiteral("a"), 1},
                              {QStringLiteral("K*"), QStringLiteral("s"), 1}});
        for (const QString &name : {QStringLiteral("O'Brien"), QStringLiteral("a\"b"), QStringLiteral("K*")}) {
            loggedInAs(name, QStringLiteral("régi"));
            FelhJelszoValtoztatFormX s;
            change(s, QStringLiteral("régi"), name.left(1) + QStringLiteral("-új"), name.left(1) + QStringLiteral("-új"));
            QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
        }
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss")), QStringList{QStringLiteral("k")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("O'Brien")), QStringList{QStringLiteral("O-új")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("a\"b")), QStringList{QStringLiteral("a-új")});
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("K*")), QStringList{QStringLiteral("K-új")});
    }

    void aUserWithoutARowIsReported()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        loggedInAs(QStringLiteral("Törölt"), QStringLiteral("x"));
        FelhJelszoValtoztatFormX s;
        change(s, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("y"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("SÚLYOS HIBA!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen felhasználó!"));
        QCOMPARE(platform->messages[0].buttons, MessageButtons::Ok);
        QVERIFY(!platform->busy);
        QCOMPARE(currentUser().password, QStringLiteral("y"));
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QStringLiteral("kuvo")});
    }

    // ---- rows another program holds ----

    void aRowLockedElsewhereKeepsItsPasswordTheProgramTakesTheNewOne()
    {
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}, {QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2}});
        loggedInAs(QStringLiteral("Kiss Éva"), QStringLiteral("titok"));
        FelhJelszoValtoztatFormX s;
        {
            LockPeer other;
            QVERIFY(other.holdRecord(set->dir(), QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), 1));
            change(s, QStringLiteral("titok"), QStringLiteral("új"), QStringLiteral("új"));
            QCOMPARE(platform->messages.size(), 1);
            QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM! Rekord lock!"));
            QCOMPARE(platform->messages[0].text, QStringLiteral("Az adat zárolt!"));
            QCOMPARE(platform->messages[0].buttons, MessageButtons::Ok);
            QVERIFY(!platform->busy);
            QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss Éva")), QStringList{QStringLiteral("titok")});
            QCOMPARE(currentUser().password, QStringLiteral("új"));
            // the stages stay open for another try, which must start with the new password
            QVERIFY(s.Command3->isEnabled());
            s.Text1->setText(QStringLiteral("titok"));
            s.Command1->click();
            QCOMPARE(platform->lastText(), QStringLiteral("Nem megfelelő jelszó!"));
        }
        // once the other program lets go, the change goes through
        change(s, QStringLiteral("új"), QStringLiteral("újabb"), QStringLiteral("újabb"));
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("Kiss Éva")), QStringList{QStringLiteral("újabb")});
    }

    void aSaveThatFailsKeepsTheStoredPassword()
    {
        TVX_FILES_ONLY("another program holding the file through SQLite");
        addUsers(set->dir(), {{QStringLiteral("demo"), QStringLiteral("kuvo"), 1}});
        loggedInAs(QStringLiteral("demo"), QStringLiteral("kuvo"));
        data::setBusyTimeout(50);  // for the screen's connection
        FelhJelszoValtoztatFormX s;
        data::setBusyTimeout(5000);
        sqlite3 *writer = nullptr;  // another program in the middle of writing the file
        QCOMPARE(sqlite3_open_v2(set->path(QStringLiteral("regiszt.tvd")).toUtf8().constData(), &writer, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        change(s, QStringLiteral("kuvo"), QStringLiteral("új"), QStringLiteral("új"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM! RegisztJ update hiba!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Az adat nem menthető!"));
        QCOMPARE(platform->messages[0].buttons, MessageButtons::Ok);
        QVERIFY(!platform->busy);
        QCOMPARE(currentUser().password, QStringLiteral("új"));
        QCOMPARE(sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(writer);
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QStringLiteral("kuvo")});
        QCOMPARE(s.RegisztJ.editMode(), data::Recordset::EditMode::None);
        // nothing is left locked: the next change is stored
        change(s, QStringLiteral("új"), QStringLiteral("végre"), QStringLiteral("végre"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QStringLiteral("végre")});
    }

    void exitRoutineClosesTheSource()
    {
        FelhJelszoValtoztatFormX s;
        QVERIFY(s.RegisztJ.isOpen());
        s.Kilepes_->trigger();
        QVERIFY(!s.RegisztJ.isOpen());
        QVERIFY(!s.exitOnClose());
        FelhJelszoValtoztatFormX t;
        t.show();
        QVERIFY(t.close());
        QVERIFY(!t.RegisztJ.isOpen());
    }
};

QTEST_MAIN(TestPasswordChangeScreen)
#include "tst_felhjelszovaltoztatformx.moc"
