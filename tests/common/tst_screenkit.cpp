#include "common/activitylog.h"
#include "common/caught.h"
#include "common/datefield.h"
#include "common/datepicker.h"
#include "common/fieldbinder.h"
#include "common/funcs.h"
#include "common/hungarian.h"
#include "common/modeswitch.h"
#include "common/search.h"
#include "common/session.h"
#include "data/datasource.h"
#include "support/screentestbed.h"
#include "support/scriptedplatform.h"
#include "support/testdataset.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using namespace tvx;
using tvx::data::DataSource;

namespace {

const QStringList kPartnerNames{QStringLiteral("Alfa Kft."), QStringLiteral("O'Brien és Társa Bt."), QStringLiteral("Béta \"Bt\""),
                                QStringLiteral("Gamma Zrt.")};

SearchPrompt partnerSearch()
{
    SearchPrompt s;
    s.title = QStringLiteral("Keresés (cég)névre");
    s.text = QStringLiteral("Kérem a beraktározó nevét:");
    s.criteriaPrefix = QStringLiteral("[BerNev] like ");
    s.appended = QStringLiteral("*");
    s.notFoundText = QStringLiteral("Nincs ilyen beraktározó! Keressen újra, vagy válasszon a listából!");
    return s;
}

}  // namespace

class TestScreenKit : public QObject, private ScreenTestBed {
    Q_OBJECT


    std::unique_ptr<DataSource> source(const QString &file, const QString &recordSource)
    {
        auto ds = std::make_unique<DataSource>(file, recordSource, nullptr, set->dir());
        if (!ds->refresh())
            qWarning("cannot open %s", qPrintable(recordSource));
        return ds;
    }
    void addPartners(const QStringList &names)
    {
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        int id = 1;
        for (const QString &name : names) {
            QVERIFY(ds->addNew());
            QVERIFY(ds->setValue(0, name));
            QVERIFY(ds->setValue(9, id++));
            QVERIFY(ds->update());
        }
    }
    QString partnerName(DataSource &ds) { return Funcs::NullToEmpty(ds.value(QStringLiteral("BerNev"))); }
    QList<QVariantList> logRows()
    {
        auto ds = source(QStringLiteral("regiszt.tvd"), QStringLiteral("Regisztrálás"));
        QList<QVariantList> rows;
        for (bool ok = ds->moveFirst(); ok && !ds->eof(); ok = ds->moveNext()) {
            QVariantList row;
            for (int i = 0; i < ds->recordset()->fieldCount(); ++i)
                row << ds->value(i);
            rows << row;
        }
        return rows;
    }

private Q_SLOTS:
    void initTestCase() { useHungarianLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // --- the caught step ---

    void caughtStepShowsTheScreenMessageWithTheArrowAndClearsTheFailure()
    {
        addPartners(kPartnerNames);
        auto other = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        auto mine = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(other->edit());  // another screen holds the first partner
        QVERIFY(other->setValue(0, QStringLiteral("Átnevezve")));
        platform->busy = true;

        const bool failed = caught(nullptr, *mine, mine->edit(), lockmessages::kPartnerLocked);
        QVERIFY(failed);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("Adatzárolás!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::None);
        QCOMPARE(platform->messages[0].buttons, MessageButtons::Ok);
        QVERIFY(!platform->busy);
        QCOMPARE(platform->beeps, 1);
        QVERIFY(!mine->lastError());
        QCOMPARE(mine->editMode(), data::Recordset::EditMode::None);
        QCOMPARE(partnerName(*mine), QStringLiteral("Alfa Kft."));

        // a screen that does not beep there
        QVERIFY(caught(nullptr, *mine, mine->edit(), lockmessages::kUserRowNotSaved, Beep::No));
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM! RegisztJ update hiba!"));
        QCOMPARE(platform->messages.last().text, QStringLiteral("Az adat nem menthető!"));
        QVERIFY(!mine->lastError());
    }

    void caughtStepLetsASucceededStepPass()
    {
        addPartners(kPartnerNames);
        auto mine = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        platform->busy = true;
        QVERIFY(!caught(nullptr, *mine, mine->edit(), lockmessages::kUserRowLocked));
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
        QVERIFY(platform->busy);
        QCOMPARE(mine->editMode(), data::Recordset::EditMode::Edit);
        QCOMPARE(lockmessages::kUserRowLocked.title, QStringLiteral("FIGYELEM! Rekord lock!"));
        QCOMPARE(lockmessages::kUserRowLocked.text, QStringLiteral("Az adat zárolt!"));
    }

    // --- the prompted search ---

    void searchCriteriaQuoteTheAnswer()
    {
        QCOMPARE(findCriteria(QStringLiteral("[BerNev] like "), QStringLiteral("a\"b*")), QStringLiteral("[BerNev] like \"a\"\"b*\""));
        QCOMPARE(findCriteria(QStringLiteral("[BerNev] like "), QStringLiteral("O'B?")), QStringLiteral("[BerNev] like \"O'B?\""));
    }

    void searchFindsAnswersWithApostrophesAndDoubleQuotes()
    {
        addPartners(kPartnerNames);
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        platform->inputs << QStringLiteral("o'brien") << QStringLiteral("béta \"B") << QStringLiteral("*zrt?");
        QCOMPARE(promptAndFind(nullptr, *ds, partnerSearch()), SearchResult::Found);
        QCOMPARE(partnerName(*ds), QStringLiteral("O'Brien és Társa Bt."));
        QCOMPARE(promptAndFind(nullptr, *ds, partnerSearch()), SearchResult::Found);
        QCOMPARE(partnerName(*ds), QStringLiteral("Béta \"Bt\""));
        QCOMPARE(promptAndFind(nullptr, *ds, partnerSearch()), SearchResult::Found);  // wildcards keep their meaning
        QCOMPARE(partnerName(*ds), QStringLiteral("Gamma Zrt."));
        QCOMPARE(platform->prompts.first(), QStringLiteral("Keresés (cég)névre|Kérem a beraktározó nevét:"));
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
        QVERIFY(!ds->lastError());
    }

    void searchWithoutAMatchTellsAndMovesToTheFirstRecord()
    {
        addPartners(kPartnerNames);
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveLast());
        platform->busy = true;
        platform->inputs << QStringLiteral("Nincs ilyen");
        QCOMPARE(promptAndFind(nullptr, *ds, partnerSearch()), SearchResult::NotFound);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QString());  // the program's title
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen beraktározó! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::None);
        QCOMPARE(platform->beeps, 1);
        QVERIFY(!platform->busy);
        QCOMPARE(ds->absolutePosition(), 0);
        QCOMPARE(partnerName(*ds), QStringLiteral("Alfa Kft."));
        QVERIFY(!ds->lastError());
    }

    void searchWithoutAMatchCanReturnToThePreviousRecord()
    {
        addPartners(kPartnerNames);
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveTo(2));
        SearchPrompt search = partnerSearch();
        search.afterMiss = SearchPrompt::AfterMiss::PreviousRecord;
        platform->inputs << QStringLiteral("Nincs ilyen");
        QCOMPARE(promptAndFind(nullptr, *ds, search), SearchResult::NotFound);
        QCOMPARE(partnerName(*ds), QStringLiteral("Béta \"Bt\""));

        // no record to return to (the current one was deleted): the first one
        QVERIFY(ds->deleteCurrent());
        platform->inputs << QStringLiteral("Nincs ilyen");
        QCOMPARE(promptAndFind(nullptr, *ds, search), SearchResult::NotFound);
        QCOMPARE(partnerName(*ds), QStringLiteral("Alfa Kft."));
        QVERIFY(!ds->lastError());
    }

    void emptyAnswerOrCancelDoesNothing()
    {
        addPartners(kPartnerNames);
        auto ds = source(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"));
        QVERIFY(ds->moveLast());
        QCOMPARE(promptAndFind(nullptr, *ds, partnerSearch()), SearchResult::Cancelled);  // Cancel answers empty
        QCOMPARE(platform->prompts.size(), 1);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(platform->beeps, 0);
        QCOMPARE(partnerName(*ds), QStringLiteral("Gamma Zrt."));

        // the partner screen searches with the star alone then
        SearchPrompt search = partnerSearch();
        search.emptyAnswerSearches = true;
        QCOMPARE(promptAndFind(nullptr, *ds, search), SearchResult::Found);
        QCOMPARE(partnerName(*ds), QStringLiteral("Alfa Kft."));
    }

    // --- the activity log ---

    void activityLogFullRowCarriesTheUserAndTheMainMenu()
    {
        currentUser() = CurrentUser{QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2};
        platform->fixedClock.set(QDateTime(QDate(2024, 3, 8), QTime(9, 15, 30)));
        auto log = source(QStringLiteral("regiszt.tvd"), QStringLiteral("select * from Regisztrálás order by AkcióDátuma"));
        QVERIFY(writeActivityLogRow(*log, QStringLiteral("Felhasználóváltás kérése")));
        QVERIFY(writeActivityLogRow(*log, QStringLiteral("második")));
        QCOMPARE(Funcs::NullToEmpty(log->value(4)), QStringLiteral("második"));  // on the row just written
        const auto rows = logRows();
        QCOMPARE(rows.size(), 2);
        const QVariantList expected{QStringLiteral("Kiss Éva"), QStringLiteral("titok"), QDate(2024, 3, 8), QTime(9, 15, 30),
                                    QStringLiteral("Felhasználóváltás kérése"), QDir::toNativeSeparators(QDir::currentPath()), 2,
                                    QStringLiteral("Tarvix"), 0, QStringLiteral("Főmenü")};
        QCOMPARE(rows[0], expected);
        QVERIFY(!log->lastError());
    }

    void activityLogActionRowFillsPositionsThreeToSixOnly()
    {
        platform->fixedClock.set(QDateTime(QDate(2024, 3, 7), QTime(12, 35, 8)));
        auto log = source(QStringLiteral("Regiszt.tvd"), QStringLiteral("Regisztrálás"));
        QVERIFY(writeActivityLogRow(*log, QStringLiteral("Új beszállító felvitele"), ActivityLogFields::ActionOnly));
        const auto rows = logRows();
        QCOMPARE(rows.size(), 1);
        const QVariantList &row = rows[0];
        QCOMPARE(row.size(), 10);
        QCOMPARE(row[2].toDate(), QDate(2024, 3, 7));
        QCOMPARE(row[3].toTime(), QTime(12, 35, 8));
        QCOMPARE(row[4].toString(), QStringLiteral("Új beszállító felvitele"));
        QCOMPARE(row[5].toString(), QDir::toNativeSeparators(QDir::currentPath()));
        for (int i : {0, 1, 6, 7, 8, 9})
            QVERIFY2(row[i].isNull(), qPrintable(QString::number(i + 1)));
    }

    void activityLogThatCannotBeWrittenLeavesNoRowAndNoFailure()
    {
        DataSource closed(QStringLiteral("regiszt.tvd"), QStringLiteral("Regisztrálás"), nullptr, set->dir());  // never opened
        QVERIFY(!writeActivityLogRow(closed, QStringLiteral("x")));
        QVERIFY(!closed.lastError());
        set->removeFile(QStringLiteral("regiszt.tvd"));
        DataSource missing(QStringLiteral("regiszt.tvd"), QStringLiteral("Regisztrálás"), nullptr, set->dir());
        missing.refresh();
        QVERIFY(!writeActivityLogRow(missing, QStringLiteral("x"), ActivityLogFields::ActionOnly));
        QVERIFY(!missing.lastError());
        QVERIFY(platform->messages.isEmpty());
    }

    // --- browse and edit mode ---

    void modeSwitchSetsEveryListedControlInOneCall()
    {
        QWidget screen;
        auto *text = new QLineEdit(&screen);
        auto *check = new QCheckBox(&screen);
        auto *note = new QPlainTextEdit(&screen);
        auto *label = new QLabel(&screen);
        auto *date = new DateField(&screen);
        auto *gone = new QLineEdit(&screen);
        QAction newEntry(QStringLiteral("&Új adat")), ok(QStringLiteral("&OK"));
        ModeSwitch modes;
        modes.editOnly({text, check, gone});
        modes.editOnly({&newEntry});
        modes.disabledInBrowse({&ok});
        modes.readOnlyInBrowse({note});
        modes.dateFields({date});
        QList<ModeSwitch::Mode> steps;
        modes.onSwitch([&](ModeSwitch::Mode m) {
            steps << m;
            label->setText(m == ModeSwitch::Browse ? QString() : QStringLiteral("JAVÍTÁS"));
        });
        screen.show();
        delete gone;  // a control the screen dropped is skipped

        modes.setMode(ModeSwitch::Edit);
        QVERIFY(text->isEnabled() && check->isEnabled() && newEntry.isEnabled());
        QVERIFY(!note->isReadOnly());
        QVERIFY(date->isEditing());
        QVERIFY(date->picker()->isVisible() && date->label()->isVisible());
        QVERIFY(ok.isEnabled());
        QCOMPARE(label->text(), QStringLiteral("JAVÍTÁS"));

        modes.setMode(ModeSwitch::Browse);
        QCOMPARE(modes.mode(), ModeSwitch::Browse);
        QVERIFY(!text->isEnabled() && !check->isEnabled() && !newEntry.isEnabled() && !ok.isEnabled());
        QVERIFY(note->isEnabled() && note->isReadOnly());
        QVERIFY(!date->isEditing());
        QVERIFY(!date->picker()->isVisible() && date->label()->isVisible());
        QCOMPARE(label->text(), QString());

        // edit mode leaves OK as it is
        modes.setMode(ModeSwitch::Edit);
        QVERIFY(!ok.isEnabled());
        QCOMPARE(steps, (QList<ModeSwitch::Mode>{ModeSwitch::Edit, ModeSwitch::Browse, ModeSwitch::Edit}));
    }

    // --- the date shown as a label with a picker over it ---

    void dateFieldShowsTheBoundDateAndWritesWhatIsPicked()
    {
        {
            auto entries = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"));
            for (const QVariant &d : {QVariant(QDate(2024, 3, 7)), QVariant(), QVariant(QDate(2023, 12, 31))}) {
                QVERIFY(entries->addNew());
                QVERIFY(entries->setValue(QStringLiteral("recordID"), QStringLiteral("id%1").arg(entries->recordCount())));
                if (!d.isNull())
                    QVERIFY(entries->setValue(QStringLiteral("SzerzödésDátuma"), d));
                QVERIFY(entries->update());
            }
        }
        auto ds = source(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"));
        QWidget screen;
        auto *date = new DateField(&screen);
        FieldBinder binder(ds.get());
        binder.bind(date, QStringLiteral("SzerzödésDátuma"));
        screen.show();

        QCOMPARE(date->label()->text(), QStringLiteral("2024.03.07."));
        QVERIFY(date->label()->isVisible());
        QVERIFY(!date->picker()->isVisible());
        QVERIFY(ds->moveNext());
        QCOMPARE(date->label()->text(), QString());  // null shows empty
        QVERIFY(date->value().isNull());
        QVERIFY(ds->moveNext());
        QCOMPARE(date->label()->text(), QStringLiteral("2023.12.31."));

        // in edit mode the picker is over the label; what is picked is the field's new value
        date->setEditing(true);
        QVERIFY(date->picker()->isVisible());
        QCOMPARE(date->picker()->geometry(), date->label()->geometry());
        date->picker()->setDate(QDate(2024, 1, 15));
        QCOMPARE(ds->value(QStringLiteral("SzerzödésDátuma")).toDate(), QDate(2024, 1, 15));
        QCOMPARE(date->label()->text(), QStringLiteral("2024.01.15."));
        QVERIFY(ds->moveFirst());  // moving saves it
        QCOMPARE(date->label()->text(), QStringLiteral("2024.03.07."));
        QVERIFY(ds->moveLast());
        QCOMPARE(date->label()->text(), QStringLiteral("2024.01.15."));
    }
};

QTEST_MAIN(TestScreenKit)
#include "tst_screenkit.moc"
