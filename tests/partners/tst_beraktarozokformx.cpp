#include "common/datagrid.h"
#include "common/hungarian.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "data/datasource.h"
#include "partners/beraktarozokformx.h"
#include "partners/partnertestkit.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTest>

#include <csignal>

using namespace tvx;
using tvx::data::DataSource;

class TestBeraktarozokFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }

    static QVariant currentId(BeraktarozokFormX &screen) { return screen.Beraktarozok.value(QStringLiteral("recordID")); }
    static QString currentName(BeraktarozokFormX &screen)
    {
        return screen.Beraktarozok.value(QStringLiteral("BerNev")).toString();
    }


private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void theTableNeverStaysEmpty()
    {
        {
            BeraktarozokFormX screen;
            QCOMPARE(screen.Beraktarozok.recordCount(), 1);
            QCOMPARE(currentId(screen).toInt(), 1);
            // the placeholder made when the screen opens has an empty name, not a missing one
            QVERIFY(!screen.Beraktarozok.value(QStringLiteral("BerNev")).isNull());
            QCOMPARE(currentName(screen), QString());
            screen.activation();
            QCOMPARE(screen.Beraktarozok.recordCount(), 1);

            platform->answers.enqueue(Answer::Yes);
            screen.deletePartner();
            QCOMPARE(platform->messages.last().text, QStringLiteral("Biztosan törli?"));
            QCOMPARE(platform->messages.last().title,
                     QStringLiteral("FIGYELEM! A törlés után egyes adatok helytelenül maradhatnak a rendszerben!"));
            QCOMPARE(screen.Beraktarozok.recordCount(), 1);
            QCOMPARE(currentId(screen).toInt(), 1);
            QVERIFY(screen.Beraktarozok.value(QStringLiteral("BerNev")).isNull());
            platform->answers.enqueue(Answer::No);  // no full check
            screen.Kilepes();
        }
        // No keeps the partner; deleting it never touches other tables
        addPartners(dir(), {{QStringLiteral("Marad Kft."), 7}});
        DataSource entries(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dir());
        QVERIFY(entries.refresh() && entries.addNew());
        QVERIFY(entries.setValue(QStringLiteral("PartnerNeve"), QStringLiteral("Marad Kft.")));
        QVERIFY(entries.setValue(QStringLiteral("PartnerID"), 7));
        QVERIFY(entries.update());
        BeraktarozokFormX screen;
        QVERIFY(screen.Beraktarozok.findFirst(QStringLiteral("[recordID] = 7")));
        platform->answers.enqueue(Answer::No);
        screen.deletePartner();
        QCOMPARE(currentName(screen), QStringLiteral("Marad Kft."));
        QCOMPARE(storedPartners(dir()).size(), 2);
        platform->answers.enqueue(Answer::Yes);
        screen.deletePartner();
        QCOMPARE(storedPartners(dir()).size(), 1);
        QVERIFY(entries.refresh());
        QCOMPARE(entries.recordCount(), 1);
        QCOMPARE(entries.value(QStringLiteral("PartnerID")).toInt(), 7);
    }

    void newPartnerTakesTheNextIdentifierAndIsLogged()
    {
        addPartners(dir(), {{QStringLiteral("Zöld Kft."), 41}, {QStringLiteral("Alma Bt."), 3}, {QStringLiteral("Kék Zrt."), 17}});
        BeraktarozokFormX screen;
        // sorted by name, descending: the highest identifier is not the last row
        QVERIFY(screen.PartnerGrid->sortByColumn(0));
        QVERIFY(screen.PartnerGrid->sortByColumn(0));
        QCOMPARE(currentName(screen), QStringLiteral("Zöld Kft."));

        screen.newPartner();
        QCOMPARE(currentId(screen).toInt(), 42);
        QVERIFY(screen.Beraktarozok.value(QStringLiteral("BerNev")).isNull());
        QCOMPARE(screen.Beraktarozok.recordCount(), 4);
        screen.newPartner();
        QCOMPARE(currentId(screen).toInt(), 43);
        QVERIFY(!platform->busy);

        DataSource log(QStringLiteral("Regiszt.tvd"), QStringLiteral("Regisztrálás"), nullptr, dir());
        QVERIFY(log.refresh());
        QCOMPARE(log.recordCount(), 2);
        QVERIFY(log.moveLast());
        QCOMPARE(log.value(QStringLiteral("AkcióLeírás")).toString(), QStringLiteral("Új beszállító felvitele"));
        QCOMPARE(log.value(QStringLiteral("AkcióDátuma")).toDate(), QDate(2024, 3, 7));
        QCOMPARE(log.value(QStringLiteral("AkcióKönyvtár")).toString(), QDir::currentPath());
        for (const char *untouched : {"AkcióFelhasználó", "AkcióJelszó", "AkcióSzint", "AkcióProgram", "AkcióKód", "AkcióModul"})
            QVERIFY2(log.value(QString::fromUtf8(untouched)).isNull(), untouched);
    }

    void okRepairsAMissingIdentifierWithPartnersAddedMeanwhile()
    {
        addPartners(dir(), {{QStringLiteral("Első Kft."), 1}, {QStringLiteral("Azonosító nélkül"), QVariant()},
                            {QStringLiteral("Nullás"), 0}});
        BeraktarozokFormX screen;
        addPartners(dir(), {{QStringLiteral("Máshol felvett"), 50}});  // another workstation

        QVERIFY(screen.Beraktarozok.moveTo(1));
        typeText(screen.BerCimText, QStringLiteral("Fő utca 2."));
        screen.confirmPartner();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(currentId(screen).toInt(), 51);
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("BerCim")).toString(), QStringLiteral("Fő utca 2."));
        QVERIFY(screen.Beraktarozok.moveTo(2));
        screen.confirmPartner();
        QCOMPARE(currentId(screen).toInt(), 52);
        // a partner with an identifier keeps it
        QVERIFY(screen.Beraktarozok.moveFirst());
        screen.confirmPartner();
        QCOMPARE(currentId(screen).toInt(), 1);
    }

    void workstationsCreatingPartnersAtOnceNeverShareAnIdentifier()
    {
        addNumberedPartners(dir(), 5);
        QProcess first, second;
        for (QProcess *peer : {&first, &second})
            peer->start(QStringLiteral(PARTNERPEER), {dir().path(), QStringLiteral("60")});
        {
            BeraktarozokFormX screen;
            for (int i = 0; i < 30; ++i)
                screen.newPartner();
            QVERIFY(platform->messages.isEmpty());
            platform->answers.enqueue(Answer::No);
            screen.Kilepes();
        }
        for (QProcess *peer : {&first, &second}) {
            QVERIFY(peer->waitForFinished(60000));
            QVERIFY(peer->readAllStandardOutput().contains("DONE"));
        }
        const auto rows = storedPartners(dir());
        QCOMPARE(rows.size(), 5 + 60 + 60 + 30);
        QSet<int> ids;
        for (const auto &row : rows)
            ids.insert(row.second.toInt());
        QCOMPARE(ids.size(), rows.size());
        QCOMPARE(*std::max_element(ids.begin(), ids.end()), rows.size());
    }

    void aPartnerLockedElsewhereLosesNothing()
    {
        addPartners(dir(), {{QStringLiteral("Zárolt Kft."), 1}, {QString(), 2}, {QStringLiteral("Szabad Bt."), 3}});
        LockPeer holder;
        QVERIFY(holder.holdRecord(dir(), QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER"), 0));
        BeraktarozokFormX screen;

        screen.confirmPartner();
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages.last().text, QStringLiteral("Táblázatba bevitelkor Enter-t kell ütni!"));
        QCOMPARE(screen.Beraktarozok.absolutePosition(), 2);  // re-read, on the last partner

        QVERIFY(screen.Beraktarozok.moveFirst());
        platform->answers.enqueue(Answer::Yes);
        screen.deletePartner();
        QCOMPARE(platform->messages.last().title, QStringLiteral("Adatzárolás!"));
        QCOMPARE(platform->messages.last().text, QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        QCOMPARE(storedPartners(dir()).size(), 3);

        // typing into it is refused with the same message; the text stays in the field
        const int shown = platform->messages.size();
        QTest::keyClicks(screen.BerCimText, QStringLiteral("x"));
        QCOMPARE(platform->messages.size(), shown + 1);
        QCOMPARE(platform->messages.last().text, QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        QCOMPARE(screen.BerCimText->text(), QStringLiteral("x"));

        // the full check deletes the nameless partner and leaves the locked one alone
        platform->answers.enqueue(Answer::Yes);
        screen.Kilepes();
        const auto rows = storedPartners(dir());
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].first.toString(), QStringLiteral("Zárolt Kft."));
        QCOMPARE(rows[1].first.toString(), QStringLiteral("Szabad Bt."));
    }

    void fullCheckDeletesExactlyTheNamelessPartners_data()
    {
        QTest::addColumn<bool>("saveAndExit");
        QTest::newRow("Mégse") << false;
        QTest::newRow("Mentés-Kilépés") << true;
    }
    void fullCheckDeletesExactlyTheNamelessPartners()
    {
        QFETCH(bool, saveAndExit);
        addPartners(dir(), {{QStringLiteral("Első"), 1}, {QString(), 2}, {QVariant(), 3}, {QStringLiteral(" "), 4},
                            {QStringLiteral("Utolsó"), 5}, {QVariant(), 6}});
        BeraktarozokFormX screen;
        screen.show();
        bool progressShown = false;
        platform->onMessage = [&](const ShownMessage &m) {
            if (m.text == QStringLiteral("Kéri az adatok teljes ellenőrzését?"))
                progressShown = screen.ProgressBar1->isVisible() || saveAndExit == false;
        };
        platform->answers.enqueue(Answer::Yes);
        if (saveAndExit)
            screen.MentesKilepes->trigger();
        else
            screen.close();  // the title bar's close runs the same routine as "Mégse"
        QCOMPARE(platform->messages.last().title, QStringLiteral("Ellenőrzés"));
        QVERIFY(progressShown);
        QCOMPARE(screen.ProgressBar1->maximum(), 6);
        QVERIFY(!screen.isVisible());
        QVERIFY(!screen.Beraktarozok.isOpen());
        QVERIFY(!screen.Regisztralas.isOpen());
        const auto rows = storedPartners(dir());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].second.toInt(), 1);
        QCOMPARE(rows[1].second.toInt(), 4);  // a blank is a name
        QCOMPARE(rows[2].second.toInt(), 5);
    }

    void saveAndExitKeepsTheScreenWhenThePartnerCannotBeSaved()
    {
        addPartners(dir(), {{QStringLiteral("Első"), 1}, {QStringLiteral("Második"), 2}});
        BeraktarozokFormX screen;
        screen.show();
        QVERIFY(screen.Beraktarozok.setValue(QStringLiteral("BerIrszam"), QStringLiteral("nem szám, túl hosszú")));
        screen.MentesKilepes->trigger();
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM! HIBA!"));
        // and why the partner could not be saved
        QCOMPARE(platform->messages.last().text, QStringLiteral("Lépjen ki a MÉGSE gombbal a főmenüre!\n"
                                                                "A(z) „BerIrszam” mező értéke nem megfelelő: legfeljebb 7 karakter lehet, de 20 karakter."));
        QCOMPARE(platform->messages.last().icon, MessageIcon::Critical);
        QVERIFY(screen.isVisible());
        QVERIFY(!screen.exitOnClose());
    }

    void liveFilterFindsAsYouType()
    {
        addPartners(dir(), {{QStringLiteral("Alfa Kft."), 1}, {QStringLiteral("kis Pál Bt."), 2}, {QStringLiteral("Kiss Kft."), 3},
                            {QStringLiteral("Árvíztűrő Kft."), 4}, {QStringLiteral("Bella's \"Café\" Kft."), 5}, {QStringLiteral("Omega"), 6}});
        BeraktarozokFormX screen;
        typeText(screen.SzuroText, QStringLiteral("Ki"));
        QCOMPARE(currentId(screen).toInt(), 2);  // letter case does not count
        typeText(screen.SzuroText, QStringLiteral("ss"));
        QCOMPARE(currentId(screen).toInt(), 3);
        screen.SzuroText->clear();
        typeText(screen.SzuroText, QStringLiteral("árv"));
        QCOMPARE(currentId(screen).toInt(), 4);
        screen.SzuroText->clear();
        typeText(screen.SzuroText, QStringLiteral("Bella's \"C"));
        QCOMPARE(currentId(screen).toInt(), 5);
        screen.SzuroText->clear();
        typeText(screen.SzuroText, QStringLiteral("*ega"));  // wildcards stay wildcards
        QCOMPARE(currentId(screen).toInt(), 6);
        // nothing found, or an emptied box: the current partner stays, without a message
        typeText(screen.SzuroText, QStringLiteral("xyz"));
        QTest::keyClick(screen.SzuroText, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(screen.SzuroText, Qt::Key_Backspace);
        QCOMPARE(currentId(screen).toInt(), 6);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
    }

    void promptedNameSearch()
    {
        addPartners(dir(), {{QVariant(), 1}, {QStringLiteral("Első Kft."), 2}, {QStringLiteral("O'Brien \"és\" Társa"), 3}});
        BeraktarozokFormX screen;
        platform->inputs.enqueue(QStringLiteral("o'brien \"és"));
        screen.searchByName();
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés (cég)névre|Kérem a beraktározó nevét:"));
        QCOMPARE(currentId(screen).toInt(), 3);

        platform->inputs.enqueue(QStringLiteral("Nincs ilyen"));
        screen.searchByName();
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.last().text, QStringLiteral("Nincs ilyen beraktározó! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages.last().title, QString());
        QCOMPARE(screen.Beraktarozok.absolutePosition(), 0);

        screen.searchByName();  // Cancel: the first partner that has a name
        QCOMPARE(currentId(screen).toInt(), 2);
    }

    void countryChoice()
    {
        addPartners(dir(), {{QStringLiteral("Első Kft."), 1}});
        BeraktarozokFormX screen;
        screen.show();
        QVERIFY(!screen.OrszagGrid->isVisible());
        platform->inputs.enqueue(QStringLiteral("magyar"));
        screen.findCountry();
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés országra|Kérem az ország nevét:"));
        QVERIFY(screen.OrszagGrid->isVisible());
        QCOMPARE(screen.Data1.value(QStringLiteral("Ország")).toString(), QStringLiteral("Magyarország"));
        screen.chooseCountry();
        QVERIFY(!screen.OrszagGrid->isVisible());
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("BerOrszag")).toString(), QStringLiteral("HU"));
        QCOMPARE(screen.BerOrszagLabel->text(), QStringLiteral("HU"));
        QCOMPARE(screen.Beraktarozok.editMode(), data::Recordset::EditMode::None);  // saved

        // by keyboard: Enter on a row chooses it
        platform->inputs.enqueue(QStringLiteral("ausztr"));
        screen.findCountry();
        QTest::keyClick(screen.OrszagGrid, Qt::Key_Return);
        QVERIFY(!screen.OrszagGrid->isVisible());
        QCOMPARE(screen.BerOrszagLabel->text(), QStringLiteral("AT"));

        platform->inputs.enqueue(QStringLiteral("Atlantisz"));
        screen.findCountry();
        QCOMPARE(platform->messages.last().text, QStringLiteral("Nincs ilyen ország! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(screen.Data1.absolutePosition(), 0);
        QVERIFY(screen.OrszagGrid->isVisible());

        QVERIFY(screen.Data1.moveLast());
        screen.findCountry();  // Cancel: the first country that has a name
        QCOMPARE(screen.Data1.absolutePosition(), 0);
        QVERIFY(!screen.Data1.value(QStringLiteral("Ország")).toString().isEmpty());
    }

    void fieldsTakeOnlyWhatFits()
    {
        BeraktarozokFormX screen;
        QTest::keyClicks(screen.BerIrszamText, QStringLiteral("1a2"));
        QCOMPARE(screen.BerIrszamText->text(), QStringLiteral("12"));
        QCOMPARE(platform->beeps, 1);
        QTest::keyClicks(screen.UgyfelStatusText, QStringLiteral("34"));
        QCOMPARE(screen.UgyfelStatusText->text(), QStringLiteral("3"));
        typeText(screen.BerNevText, QString(60, u'é'));
        QCOMPARE(screen.BerNevText->text(), QString(50, u'é'));
        screen.confirmPartner();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("BerNev")).toString(), QString(50, u'é'));
        QCOMPARE(screen.Beraktarozok.value(QStringLiteral("UgyfelStatus")).toString(), QStringLiteral("3"));
    }

    void opensWithTheFocusInTheFilterBoxAndAddsAPlaceholderWhenEmptied()
    {
        addPartners(dir(), {{QStringLiteral("Egyetlen"), 1}});
        BeraktarozokFormX screen;
        // emptied by another workstation before the screen shows
        DataSource other(QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER"), nullptr, dir());
        QVERIFY(other.refresh() && other.deleteCurrent());
        QVERIFY(screen.Beraktarozok.requery());
        screen.show();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        QVERIFY(screen.SzuroText->hasFocus());
        QCOMPARE(screen.Beraktarozok.recordCount(), 1);
        QCOMPARE(currentId(screen).toInt(), 1);
        QVERIFY(screen.Beraktarozok.value(QStringLiteral("BerNev")).isNull());
    }

    void aMissingPartnerFileIsSaidAndNothingBreaks()
    {
        QVERIFY(set->removeFile(QStringLiteral("Torzsek.tvd")));
        BeraktarozokFormX screen;
        screen.show();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages.last().text.toLower(), QStringLiteral("nem található a(z) torzsek.tvd állomány!"));
        QCOMPARE(platform->messages.last().icon, MessageIcon::Critical);
        screen.newPartner();
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QVERIFY(platform->messages.last().text != QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        screen.searchByName();
        screen.confirmPartner();
        screen.deletePartner();
        screen.printList();
        QCOMPARE(platform->messages.last().text, QStringLiteral("Nincs nyomtatandó adat!"));
        screen.Kilepes();  // no full-check question on a table that is not there
        QVERIFY(!screen.isVisible());
        QVERIFY(!QFile::exists(set->path(QStringLiteral("Torzsek.tvd"))));
    }

    void helpNamesThisScreen()
    {
        BeraktarozokFormX screen;
        handOver().helpScreenId.clear();
        screen.Segedlet->trigger();
        QCOMPARE(handOver().helpScreenId, QStringLiteral("BeraktarozokFormX"));
        QCOMPARE(platform->modalRuns, isScreenRegistered(QStringLiteral("HelpFormX")) ? 1 : 0);
    }
};

QTEST_MAIN(TestBeraktarozokFormX)
#include "tst_beraktarozokformx.moc"
