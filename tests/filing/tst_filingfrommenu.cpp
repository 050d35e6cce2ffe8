#include "common/datagrid.h"
#include "common/hungarian.h"
#include "common/session.h"
#include "filing/filingtestkit.h"
#include "filing/iktatasformx.h"
#include "filing/parameterformx.h"
#include "partners/partnertestkit.h"
#include "shell/screens.h"
#include "shell/tarvixformx.h"
#include "support/login.h"
#include "support/screentestbed.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tvx;
using tvx::data::DataSource;

// A typical filing as the main window opens it: log in, open "Iktató", make
// an entry, choose a partner and take its template, OK, find it again,
// delete it into the archive.
class TestFilingFromMenu : public QObject, private ScreenTestBed {
    Q_OBJECT

    void login(TarvixFormX &w)
    {
        w.start();  // the first start writes "demo" with an empty password
        QVERIFY(loginAs(w, *platform, QStringLiteral("demo"), QString()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        useHungarianLocale();
        registerScreens();
    }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void aTypicalFiling()
    {
        const QString partner = QStringLiteral("Kovács és Társa Bt.");
        addPartners(set->dir(), {{QStringLiteral("Alma Kft."), 1}, {partner, 2}});
        {
            DataSource templates(QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), nullptr, set->dir());
            QVERIFY(templates.refresh() && templates.addNew());
            const QVariantList row{QStringLiteral("SZ"), QStringLiteral("/K"), QStringLiteral("2024"), QStringLiteral("-"), QString(), 2, partner};
            for (int i = 0; i < row.size(); ++i)
                QVERIFY(templates.setValue(i, row[i]));
            QVERIFY(templates.update());
        }
        TarvixFormX w;
        login(w);
        QString made;
        platform->onModal = [&](Screen &screen) {
            auto *s = qobject_cast<IktatasFormX *>(&screen);
            QVERIFY(s);
            QVERIFY(w.isVisible());  // the main window stays behind it
            s->activation();         // the first entry of an empty table
            made = handOver().currentFilingId;
            s->modify();
            QVERIFY(s->PartnerData.findFirst(QStringLiteral("[BerNev] = \"Kovács és Társa Bt.\"")));
            emit s->DBGrid2->rowDoubleClicked(s->PartnerData.absolutePosition());
            QCOMPARE(platform->lastText(), QStringLiteral("Kéri a partner iktatási formáját alkalmazni?"));
            s->Text2->setText(QStringLiteral("K-2024/17"));
            emit s->Text2->textEdited(s->Text2->text());
            s->Oke->trigger();
            QCOMPARE(s->Label18->text(), QStringLiteral("SZ/K2024-"));
            s->Modositas->trigger();
            s->UjAdat->trigger();  // a second entry, left empty
            s->Command1->click();  // back to the first
            QCOMPARE(s->Label2->text(), made);
            platform->inputs << QStringLiteral("SZ/K*");
            s->Command5->click();
            QCOMPARE(s->TarvixData.recordCount(), 1);
            QCOMPARE(s->Text1->text(), partner);
            platform->answers << Answer::Yes;
            s->Torles->trigger();  // the only one found: the screen closes
            QCOMPARE(platform->lastText(), QStringLiteral("Minden adat törölve! Kilépés a főmenüre!"));
        };
        platform->answers << Answer::Yes;  // the template
        w.Iktato->trigger();
        QVERIFY(!made.isEmpty());
        QVERIFY(w.isVisible());
        const QList<QVariantList> archived = storedEntries(set->dir(), QStringLiteral("TarvixArchiv.tvd"));
        QCOMPARE(archived.size(), 1);
        QCOMPARE(archived[0][0].toString(), made);
        QCOMPARE(archived[0][1].toString(), partner);
        QCOMPARE(archived[0][3].toString(), QStringLiteral("K-2024/17"));
        QCOMPARE(archived[0][20].toString(), QStringLiteral("SZ/K2024-"));
        QCOMPARE(storedEntries(set->dir()).size(), 1);  // the empty second entry stays
    }

    void theTemplatesOpenWithTheMainWindowHidden()
    {
        TarvixFormX w;
        login(w);
        bool hidden = false;
        platform->onModal = [&](Screen &screen) {
            QVERIFY(qobject_cast<ParameterFormX *>(&screen));
            hidden = !w.isVisible();
        };
        w.Parameter->trigger();
        QVERIFY(hidden);
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TestFilingFromMenu)
#include "tst_filingfrommenu.moc"
