#include "common/hungarian.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "shell/screens.h"
#include "shell/tarvixformx.h"
#include "support/login.h"
#include "support/screentestbed.h"
#include "users/felhjelszovaltoztatformx.h"
#include "users/menuujfelhasznaloform.h"
#include "support/usertable.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tvx;

// The user screens as the main window opens them: a new user made by "demo"
// logs in after a user switch, changes the password, and the new password
// holds at the next start.
class TestUsersFromMenu : public QObject, private ScreenTestBed {
    Q_OBJECT

    bool loginAs(TarvixFormX &w, const QString &name, const QString &password) { return ::loginAs(w, *platform, name, password); }
    QStringList listed(TarvixFormX &w)
    {
        QStringList items;
        for (int i = 0; i < w.Combo1->count(); ++i)
            items << w.Combo1->itemText(i);
        return items;
    }

private Q_SLOTS:
    void initTestCase()
    {
        useHungarianLocale();
        registerScreens();
    }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void bothScreensAreRegistered()
    {
        QVERIFY(isScreenRegistered(QStringLiteral("menuUjFelhasznaloForm")));
        QVERIFY(isScreenRegistered(QStringLiteral("FelhJelszoValtoztatFormX")));
    }

    void aNewUserLogsInChangesThePasswordAndKeepsItAtTheNextStart()
    {
        const QString name = QStringLiteral("O'Brien \"Ő\"");
        bool hidden = false;
        {
            TarvixFormX w;
            w.start();  // the first start writes "demo" with an empty password
            QVERIFY(loginAs(w, QStringLiteral("demo"), QString()));

            platform->onModal = [&](Screen &screen) {
                hidden = !w.isVisible();
                auto *s = qobject_cast<menuUjFelhasznaloForm *>(&screen);
                QVERIFY(s);
                s->Text1->setText(QStringLiteral("demo"));
                s->Command1->click();
                s->Text3->setText(name);
                s->Text4->setText(QStringLiteral("it's*"));
                s->Text5->setText(QStringLiteral("0"));
                s->command3->click();
                s->Kilepes();
            };
            w.UjFelhasznalo->trigger();
            QCOMPARE(platform->modalRuns, 1);
            QVERIFY(hidden);
            QVERIFY(w.isVisible());
            QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));
            // the drop-down lists the new user once the main window is back
            QCOMPARE(listed(w), (QStringList{QStringLiteral("demo"), name}));
            const QList<QVariantList> rows = userRows(set->dir());
            QCOMPARE(rows.size(), 2);
            QCOMPARE(rows[1].mid(0, 4), (QVariantList{name, QStringLiteral("it's*"), 0, QStringLiteral("demo")}));

            w.FelhasznaloValtas->trigger();
            QVERIFY(!loginAs(w, name, QStringLiteral("IT'S*")));  // the login respects letter case
            QVERIFY(loginAs(w, name, QStringLiteral("it's*")));
            QCOMPARE(currentUser().accessLevel, short(0));

            hidden = false;
            platform->onModal = [&](Screen &screen) {
                hidden = !w.isVisible();
                auto *s = qobject_cast<FelhJelszoValtoztatFormX *>(&screen);
                QVERIFY(s);
                s->Text1->setText(QStringLiteral("it's*"));
                s->Command1->click();
                s->Text2->setText(QStringLiteral("Új\"jelszó"));
                s->Command2->click();
                s->Text3->setText(QStringLiteral("Új\"jelszó"));
                s->Command3->click();
                s->Kilepes();
            };
            const qsizetype before = platform->messages.size();
            w.FelhasznaloModositas->trigger();
            QCOMPARE(platform->modalRuns, 2);
            QVERIFY(hidden);
            QVERIFY(w.isVisible());
            QCOMPARE(platform->messages.size(), before);
            QCOMPARE(currentUser().password, QStringLiteral("Új\"jelszó"));
            w.Kilepes();
        }

        // the next start
        currentUser() = CurrentUser{};
        TarvixFormX again;
        again.start();
        QVERIFY(!loginAs(again, name, QStringLiteral("it's*")));
        QVERIFY(loginAs(again, name, QStringLiteral("Új\"jelszó")));
        QCOMPARE(storedPasswords(set->dir(), QStringLiteral("demo")), QStringList{QString()});
    }
};

QTEST_MAIN(TestUsersFromMenu)
#include "tst_usersfrommenu.moc"
