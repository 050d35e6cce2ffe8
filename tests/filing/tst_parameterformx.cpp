#include "common/datagrid.h"
#include "common/hungarian.h"
#include "common/screen.h"
#include "data/datasource.h"
#include "filing/parameterformx.h"
#include "partners/partnertestkit.h"
#include "partners/screens.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <csignal>

using namespace tvx;
using tvx::data::DataSource;
using Search = ParameterFormX::TemplateSearch;

namespace {

// Jelleg, Jel, Szám, Alszám, EgyébJel, PartnerID, PartnerNeve
using Template = QVariantList;

void addTemplates(const QDir &dir, const QList<Template> &rows)
{
    DataSource templates(QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), nullptr, dir);
    QVERIFY(templates.refresh());
    for (const Template &row : rows) {
        QVERIFY(templates.addNew());
        for (int i = 0; i < row.size(); ++i)
            QVERIFY(templates.setValue(i, row[i]));
        QVERIFY2(templates.update(), qPrintable(templates.lastError().message));
    }
}

QList<QVariantList> storedTemplates(const QDir &dir)
{
    return tableRows(dir, QStringLiteral("Parameter.tvd"), QStringLiteral("select * from Iktatoszam"));
}

}  // namespace

class TestParameterFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }

    static QString current(ParameterFormX &screen, const char *field)
    {
        return screen.ParameterData.value(QString::fromUtf8(field)).toString();
    }
    // The named field of every template the screen lists, in list order.
    static QStringList listed(ParameterFormX &screen, const char *field)
    {
        QStringList values;
        const data::Bookmark back = screen.ParameterData.bookmark();
        for (bool ok = screen.ParameterData.moveFirst(); ok && !screen.ParameterData.eof(); ok = screen.ParameterData.moveNext())
            values << current(screen, field);
        screen.ParameterData.setBookmark(back);
        return values;
    }
    QString currentPartner(ParameterFormX &screen) { return screen.PartnerData.value(QStringLiteral("BerNev")).toString(); }


private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void anEmptyTableGetsOneTemplateAndNewDataAppends()
    {
        ParameterFormX screen;
        screen.show();  // the first activation
        QCOMPARE(storedTemplates(dir()).size(), 1);
        screen.activation();
        QCOMPARE(storedTemplates(dir()).size(), 1);
        QVERIFY(platform->messages.isEmpty());

        typeText(screen.Text1, QStringLiteral("Szerződés"));
        screen.UjAdat->trigger();
        QCOMPARE(storedTemplates(dir()).size(), 2);
        QCOMPARE(screen.ParameterData.absolutePosition(), 1);
        QCOMPARE(screen.Text1->text(), QString());
        // the template left was saved by the append
        QCOMPARE(storedTemplates(dir()).at(0).at(0).toString(), QStringLiteral("Szerződés"));
        screen.Kilepes();
        QVERIFY(!screen.ParameterData.isOpen() && !screen.PartnerData.isOpen());
    }

    void doubleClickCopiesThePartnersNameAndIdentifier()
    {
        {
            // no partners: nothing is copied and nothing said
            ParameterFormX screen;
            screen.activation();
            emit screen.DBGrid1->doubleClicked(screen.DBGrid1->recordsetModel()->index(0, 0));
            screen.choosePartner();
            QVERIFY(screen.ParameterData.value(QStringLiteral("PartnerNeve")).isNull());
            QVERIFY(platform->messages.isEmpty());
            screen.Kilepes();
        }
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}, {QVariant(), 8}, {QStringLiteral("O'Neil \"Bt.\""), 12}});
        ParameterFormX screen;
        screen.activation();
        RecordsetModel *partners = screen.DBGrid1->recordsetModel();
        // in name order the nameless partner comes first
        emit screen.DBGrid1->doubleClicked(partners->index(2, 3));
        QCOMPARE(screen.Text6->text(), QStringLiteral("O'Neil \"Bt.\""));
        QCOMPARE(screen.Label8->text(), QStringLiteral("12"));
        emit screen.DBGrid1->doubleClicked(partners->index(0, 0));
        QCOMPARE(screen.Label8->text(), QStringLiteral("8"));
        QCOMPARE(screen.Text6->text(), QString());
        QVERIFY(!screen.ParameterData.value(QStringLiteral("PartnerNeve")).isNull());
        emit screen.DBGrid1->doubleClicked(partners->index(1, 0));
        screen.confirm();
        QCOMPARE(storedTemplates(dir()).at(0).mid(5), (QVariantList{5, QStringLiteral("Kovács Kft.")}));
        QVERIFY(platform->messages.isEmpty());
    }

    void thePartnerBoxFindsByTheBeginningOfTheName()
    {
        addPartners(dir(), {{QStringLiteral("Zeta Zrt."), 1}, {QStringLiteral("Kozma Bt."), 2}, {QStringLiteral("Alma Kft."), 3},
                            {QStringLiteral("Kovács Kft."), 4}, {QStringLiteral("D'Arc \"Kft\""), 5}});
        ParameterFormX screen;
        screen.show();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        screen.Text7->setFocus();
        typeText(screen.Text7, QStringLiteral("Ko"));
        QCOMPARE(currentPartner(screen), QStringLiteral("Kovács Kft."));
        typeText(screen.Text7, QStringLiteral("z"));
        QCOMPARE(currentPartner(screen), QStringLiteral("Kozma Bt."));
        // clearing moves nothing, nor does a name nobody has
        screen.Text7->clear();
        QCOMPARE(currentPartner(screen), QStringLiteral("Kozma Bt."));
        typeText(screen.Text7, QStringLiteral("Q"));
        QCOMPARE(currentPartner(screen), QStringLiteral("Kozma Bt."));
        screen.Text7->clear();
        QVERIFY(screen.PartnerData.moveFirst());
        screen.Text7->setText(QStringLiteral("D'Arc \""));
        QCOMPARE(currentPartner(screen), QStringLiteral("D'Arc \"Kft\""));
        screen.Text7->clear();
        typeText(screen.Text7, QStringLiteral("[*"));  // a broken pattern: nothing moves, nothing said
        QCOMPARE(currentPartner(screen), QStringLiteral("D'Arc \"Kft\""));
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(!platform->busy);

        screen.Text1->setFocus();
        QVERIFY(screen.Text1->hasFocus());
        QCOMPARE(screen.Text7->text(), QString());
        QCOMPARE(currentPartner(screen), QStringLiteral("D'Arc \"Kft\""));
    }

    void okSavesTheTemplateAndStaysOnIt()
    {
        addTemplates(dir(), {{"A"}, {"B"}, {"C"}});
        ParameterFormX screen;
        screen.activation();
        QVERIFY(screen.ParameterData.moveTo(1));
        typeText(screen.Text3, QStringLiteral("12/2024"));
        screen.Command1->click();
        QCOMPARE(screen.ParameterData.absolutePosition(), 1);
        QCOMPARE(storedTemplates(dir()).at(1).at(2).toString(), QStringLiteral("12/2024"));
        QVERIFY(platform->messages.isEmpty());

        // a value that does not fit is said, and the template keeps it for another try
        QVERIFY(screen.ParameterData.setValue(QStringLiteral("Jel"), QString(40, u'x')));
        screen.confirm();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QVERIFY(!platform->lastText().isEmpty());
        QCOMPARE(screen.ParameterData.absolutePosition(), 1);
        QCOMPARE(current(screen, "Jel"), QString(40, u'x'));
        screen.ParameterData.cancelUpdate();

        // the template remembered was deleted elsewhere: the last one stays current
        QVERIFY(screen.ParameterData.moveFirst());
        DataSource other(QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), nullptr, dir());
        QVERIFY(other.refresh() && other.deleteCurrent());
        screen.confirm();
        QCOMPARE(current(screen, "Jelleg"), QStringLiteral("C"));
        QCOMPARE(platform->messages.size(), 1);
    }

    void aTemplateLockedElsewhereIsSaidAndKeptAsItWas()
    {
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}});
        addTemplates(dir(), {{"A"}, {"B"}});
        LockPeer holder;
        QVERIFY(holder.holdRecord(dir(), QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), 0));
        ParameterFormX screen;
        screen.activation();
        QVERIFY(screen.ParameterData.moveFirst());

        // the typing is refused at once; OK then has nothing to save
        typeText(screen.Text1, QStringLiteral("X"));
        screen.confirm();
        QCOMPARE(platform->messages.size(), 1);
        for (const ShownMessage &m : platform->messages) {
            QCOMPARE(m.title, QStringLiteral("FIGYELEM!"));
            QVERIFY(!m.text.isEmpty());
        }
        screen.ParameterData.cancelUpdate();
        QVERIFY(screen.ParameterData.moveFirst());
        emit screen.DBGrid1->doubleClicked(screen.DBGrid1->recordsetModel()->index(0, 0));
        screen.confirm();
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(platform->messages.at(1).text, platform->messages.at(0).text);
        screen.ParameterData.cancelUpdate();
        screen.ParameterData.clearError();
        QCOMPARE(storedTemplates(dir()).at(0).at(0).toString(), QStringLiteral("A"));
        QVERIFY(storedTemplates(dir()).at(0).at(6).isNull());
        QVERIFY(screen.ParameterData.isOpen());
    }

    void eachSearchFiltersToTheFoundTemplatesValues()
    {
        addTemplates(dir(), {{"B1", "/C", "1", "a", "x", 1, "Béta Kft."},
                             {"A12", "/B", "2", "a", "y", 2, "Alfa Kft."},
                             {"A1", "/B", "3", "b", "x", 2, "Alfa Kft."},
                             {"A1", "/C", "4", "b", "y", 3, "Gamma Bt."},
                             {"a1", "/B", "3", "b", QVariant(), 4, "Alfa Kft."}});
        ParameterFormX screen;
        screen.activation();

        platform->inputs << QStringLiteral("A1");
        screen.searchItems[int(Search::Jelleg)]->trigger();
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés jellegre|Kérem a jelleget vagy annak részét csillaggal:"));
        QVERIFY(screen.filtered());
        QCOMPARE(listed(screen, "Szám"), (QStringList{"3", "4", "3"}));  // letter case is ignored, as in every comparison

        // a search looks among the listed templates only; the new filter replaces the old
        platform->inputs << QStringLiteral("/*");
        screen.searchTemplates(Search::Jel);
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A12", "A1", "a1"}));
        screen.removeFilter();
        QVERIFY(!screen.filtered());
        QCOMPARE(screen.ParameterData.recordCount(), 5);

        platform->inputs << QStringLiteral("A1*");  // the first of A12 and A1 in list order
        screen.searchTemplates(Search::Jelleg);
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A12"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("A*") << QStringLiteral("/C");
        screen.searchTemplates(Search::JellegJel);
        QCOMPARE(listed(screen, "Szám"), (QStringList{"4"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("a1") << QStringLiteral("/b") << QStringLiteral("3") << QStringLiteral("B");
        screen.searchTemplates(Search::JellegJelSzamAlszam);
        QCOMPARE(platform->prompts.mid(platform->prompts.size() - 4),
                 (QStringList{"Keresés jellegre|Kérem a jelleget vagy annak részét csillaggal:",
                              "Keresés jelre|Kérem a jelet vagy annak részét csillaggal:",
                              "Keresés számra|Kérem a számot vagy annak részét csillaggal:",
                              "Keresés alszámra|Kérem az alszámot vagy annak részét csillaggal:"}));
        QCOMPARE(listed(screen, "PartnerID"), (QStringList{"2", "4"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("*") << QStringLiteral("*") << QStringLiteral("3") << QStringLiteral("*")
                         << QStringLiteral("x");
        screen.searchTemplates(Search::AllParts);
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A1"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("2");
        screen.searchTemplates(Search::Szam);
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A12"}));
        platform->inputs << QStringLiteral("?");
        screen.searchTemplates(Search::Alszam);
        // found among the listed ones; the filter that replaces theirs takes the whole table
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"B1", "A12"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("y");
        screen.searchTemplates(Search::EgyebJel);
        QCOMPARE(listed(screen, "Szám"), (QStringList{"2", "4"}));
        screen.removeFilter();

        platform->inputs << QStringLiteral("*fa*");
        screen.searchTemplates(Search::PartnerNeve);
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés partner nevére|Kérem a partner nevét vagy annak részét csillaggal:"));
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A12", "A1", "a1"}));
        QCOMPARE(screen.ParameterData.absolutePosition(), 0);
        QVERIFY(platform->messages.isEmpty());
    }

    void aMissOrAnEmptyAnswerKeepsTheListAndThePosition()
    {
        addTemplates(dir(), {{"A1", "/B"}, {"A2", "/B"}, {"B1", "/C"}});
        ParameterFormX screen;
        screen.activation();
        platform->inputs << QStringLiteral("/B");
        screen.searchTemplates(Search::Jel);
        QVERIFY(screen.ParameterData.moveLast());

        platform->inputs << QStringLiteral("B*");
        screen.searchTemplates(Search::Jelleg);
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.size(), 1);
        const ShownMessage miss = platform->messages.last();
        QCOMPARE(miss.text, QStringLiteral("Nincs ilyen jelleg! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(miss.title, QString());  // the program's title
        QCOMPARE(miss.icon, MessageIcon::None);
        QCOMPARE(miss.buttons, MessageButtons::Ok);
        QCOMPARE(current(screen, "Jelleg"), QStringLiteral("A2"));
        QCOMPARE(listed(screen, "Jelleg"), (QStringList{"A1", "A2"}));

        platform->inputs << QStringLiteral("A*") << QStringLiteral("/C");
        screen.searchTemplates(Search::JellegJel);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen iktatószám-beállítás! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(current(screen, "Jelleg"), QStringLiteral("A2"));

        // an empty answer stops at once: no further prompt, no change
        const qsizetype prompts = platform->prompts.size();
        platform->inputs << QString();
        screen.searchTemplates(Search::AllParts);
        QCOMPARE(platform->prompts.size(), prompts + 1);
        QCOMPARE(platform->messages.size(), 2);
        QVERIFY(screen.filtered());
        QCOMPARE(current(screen, "Jelleg"), QStringLiteral("A2"));
    }

    void quotesAndWildcardsInValuesFilterToThemselves()
    {
        addTemplates(dir(), {{"a*b"}, {"a'b"}, {"a\"b"}, {"a?b"}, {"a#b"}, {"a[b"}, {"axb"}, {"a1b"}});
        ParameterFormX screen;
        screen.activation();
        const auto searchJelleg = [&](const QString &answer) {
            screen.removeFilter();
            platform->inputs << answer;
            screen.searchTemplates(Search::Jelleg);
            return listed(screen, "Jelleg");
        };
        // a found value compares literally, whatever the pattern that found it
        QCOMPARE(searchJelleg(QStringLiteral("a?b")), (QStringList{"a*b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a'b")), (QStringList{"a'b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a\"b")), (QStringList{"a\"b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a[?]b")), (QStringList{"a?b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a[#]b")), (QStringList{"a#b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a[[]b")), (QStringList{"a[b"}));
        QCOMPARE(searchJelleg(QStringLiteral("a#b")), (QStringList{"a1b"}));
        QVERIFY(platform->messages.isEmpty());

        // a broken pattern is said; the list stays as it was
        QCOMPARE(searchJelleg(QStringLiteral("a[b")).size(), 8);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QVERIFY(platform->lastText().contains(QStringLiteral("LIKE")));
        QVERIFY(screen.ParameterData.isOpen());
        QVERIFY(!screen.filtered());
    }

    void partnerRegisterOpensModallyAndItsPartnersShow()
    {
        registerPartnerScreens();
        addPartners(dir(), {{QStringLiteral("Régi Kft."), 1}});
        ParameterFormX screen;
        screen.activation();
        QString opened;
        platform->onModal = [&](Screen &partners) {
            opened = partners.objectName();
            QCOMPARE(partners.parentWidget(), &screen);
            addPartners(dir(), {{QStringLiteral("Új Partner Bt."), 2}});
            partners.Kilepes();
        };
        screen.Partnertorzs->trigger();
        QCOMPARE(opened, QStringLiteral("BeraktarozokFormX"));
        QCOMPARE(screen.PartnerData.recordCount(), 2);
        QCOMPARE(screen.DBGrid1->recordsetModel()->rowCount(), 2);
        QVERIFY(screen.PartnerData.findFirst(QStringLiteral("[BerNev] = \"Új Partner Bt.\"")) && !screen.PartnerData.noMatch());
        QCOMPARE(storedTemplates(dir()).size(), 1);
    }

    void aMissingTemplateFileIsSaidAndNothingBreaks()
    {
        addPartners(dir(), {{QStringLiteral("Kovács Kft."), 5}});
        QVERIFY(set->removeFile(QStringLiteral("Parameter.tvd")));
        ParameterFormX screen;
        screen.show();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->lastText(), QStringLiteral("Nem található a(z) PARAMETER.TVD állomány!"));
        const QString missing = platform->lastText();

        screen.newTemplate();
        screen.confirm();
        emit screen.DBGrid1->doubleClicked(screen.DBGrid1->recordsetModel()->index(0, 0));
        platform->inputs << QStringLiteral("*");
        screen.searchTemplates(Search::Jelleg);
        QVERIFY(platform->prompts.isEmpty());
        QCOMPARE(platform->messages.size(), 5);
        for (const ShownMessage &m : platform->messages)
            QCOMPARE(m.text, missing);
        screen.activation();  // said once, when the screen opened
        QCOMPARE(platform->messages.size(), 5);
        QVERIFY(!QFile::exists(set->path(QStringLiteral("Parameter.tvd"))));
        screen.close();
        QVERIFY(!screen.exitOnClose());
    }

    void aMissingPartnerFileIsSaidOnce()
    {
        QVERIFY(set->removeFile(QStringLiteral("Torzsek.tvd")));
        ParameterFormX screen;
        screen.activation();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->lastText(), QStringLiteral("Nem található a(z) TORZSEK.TVD állomány!"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        typeText(screen.Text7, QStringLiteral("Ko"));
        screen.choosePartner();
        typeText(screen.Text1, QStringLiteral("Jelleg"));
        screen.confirm();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(storedTemplates(dir()).at(0).at(0).toString(), QStringLiteral("Jelleg"));
    }

    void closingTheWindowRunsTheExitRoutineAndSaves()
    {
        ParameterFormX screen;
        screen.show();
        typeText(screen.Text5, QStringLiteral("E/1"));
        screen.close();
        QVERIFY(!screen.exitOnClose());
        QVERIFY(!screen.ParameterData.isOpen());
        QCOMPARE(storedTemplates(dir()).at(0).at(4).toString(), QStringLiteral("E/1"));
    }
};

QTEST_MAIN(TestParameterFormX)
#include "tst_parameterformx.moc"
