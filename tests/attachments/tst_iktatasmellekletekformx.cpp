#include "attachments/iktatasmellekletekformx.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "filing/screens.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"
#include "support/tablerows.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tvx;
using tvx::attachments::Kind;

namespace {

enum Pos { EntryId = 0, Number = 1, Photo = 2, Document = 3, Video = 8 };

// Each row: entry identifier, filing number, then the paths in kind order.
void addAttachments(const QDir &dir, const QList<QStringList> &rows)
{
    data::DataSource table(QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), nullptr, dir);
    QVERIFY(table.refresh());
    for (const QStringList &row : rows) {
        QVERIFY(table.addNew());
        for (int i = 0; i < row.size(); ++i)
            QVERIFY(table.setValue(i, row[i]));
        QVERIFY(table.update());
    }
}

QStringList storedField(const QDir &dir, int position)
{
    QStringList values;
    for (const QVariantList &row : tableRows(dir, QStringLiteral("Tarvix.tvd"), QStringLiteral("select * from Mellekletek")))
        values << row.value(position).toString();
    return values;
}

void typeText(QWidget *field, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Names a command interpreter would split or expand.
const QStringList kHostileNames{QStringLiteral("a b.odt"), QStringLiteral("it's \"q\".doc"), QStringLiteral("x&y;$z.xls"),
                                QStringLiteral("ékezetes ő.txt")};

}  // namespace

class TestIktatasMellekletekFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }
    static QStringList listed(IktatasMellekletekFormX &screen, int position)
    {
        QStringList values;
        for (int row = 0; row < screen.MellekletekData.recordCount(); ++row)
            values << screen.MellekletekData.recordset()->valueAt(row, position).toString();
        return values;
    }
    static QString current(IktatasMellekletekFormX &screen, int position) { return screen.MellekletekData.value(position).toString(); }
    static bool recordCommands(IktatasMellekletekFormX &screen) { return screen.Oke->isEnabled() && screen.Torol->isEnabled(); }
    static void activate(IktatasMellekletekFormX &screen, bool single, const QString &id)
    {
        handOver().singleEntryAttachments = single;
        handOver().currentFilingId = id;
        screen.activation();
    }
    void checkNoData()
    {
        QCOMPARE(platform->messages.last().text, QStringLiteral("Nincs adat!"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages.last().icon, MessageIcon::Exclamation);
    }
    // a folder of files with awkward names, shown in the picking panel
    static void showFolder(IktatasMellekletekFormX &screen, const QTemporaryDir &folder)
    {
        for (const QString &name : kHostileNames)
            QVERIFY(QFile(QDir(folder.path()).filePath(name)).open(QIODevice::WriteOnly));
        screen.setFolder(folder.path());
    }
    static QString picked(const QTemporaryDir &folder, const QString &name)
    {
        return QDir::toNativeSeparators(QDir(folder.path()).filePath(name));
    }

private Q_SLOTS:
    void initTestCase() { registerFilingScreens(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void bothViewsAndTheirCommands()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("B/2")},
                               {QStringLiteral("E2"), QStringLiteral("A/1")},
                               {QStringLiteral("E1"), QStringLiteral("A/1")}});
        IktatasMellekletekFormX screen;
        QCOMPARE(screen.kinds->checkedId(), -1);
        activate(screen, true, QStringLiteral("E1"));
        QCOMPARE(listed(screen, Number), (QStringList{QStringLiteral("A/1"), QStringLiteral("B/2")}));
        QCOMPARE(screen.Text1->text(), QStringLiteral("A/1"));
        QVERIFY(screen.SzuresBe->isEnabled() && recordCommands(screen));
        activate(screen, false, QStringLiteral("E1"));
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E1"), QStringLiteral("E2"), QStringLiteral("E1")}));
        QVERIFY(!screen.SzuresBe->isEnabled());
        // an identifier that would widen a joined statement lists nothing
        activate(screen, true, QStringLiteral("x' or '1'='1"));
        QCOMPARE(screen.MellekletekData.recordCount(), 0);
        QVERIFY(!screen.Oke->isEnabled() && !screen.Torol->isEnabled());
        QVERIFY(platform->messages.isEmpty());

        // filters: off widens, "Szűrés ki" is the entry's own even in the all view
        activate(screen, true, QStringLiteral("E2"));
        screen.SzuresKi->trigger();
        QCOMPARE(screen.MellekletekData.recordCount(), 3);
        QTest::mouseClick(screen.Command18, Qt::LeftButton);
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E2")});
        activate(screen, false, QString());
        screen.removeFilter();
        checkNoData();
        QVERIFY(!recordCommands(screen));
        screen.filterOff();
        QVERIFY(recordCommands(screen));
    }

    void newOkAndDelete()
    {
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E9"));
        screen.UjMelleklet->trigger();
        screen.UjMelleklet->trigger();
        QVERIFY(recordCommands(screen));
        QCOMPARE(storedField(dir(), EntryId), (QStringList{QStringLiteral("E9"), QStringLiteral("E9")}));
        QCOMPARE(screen.MellekletekData.absolutePosition(), 1);
        // typed, written by OK, and the record stays current
        screen.MellekletekData.moveFirst();
        typeText(screen.Text1, QStringLiteral("Ő'\"/1"));
        QCOMPARE(storedField(dir(), Number)[0], QString());
        screen.Oke->trigger();
        QCOMPARE(storedField(dir(), Number)[0], QStringLiteral("Ő'\"/1"));
        QCOMPARE(screen.MellekletekData.absolutePosition(), 0);

        screen.deleteAttachment();  // answered No
        QCOMPARE(platform->messages[0].text, QStringLiteral("Törli véglegesen a kijelölt adatsort?"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Question);
        QCOMPARE(storedField(dir(), EntryId).size(), 2);
        platform->answers << Answer::Yes << Answer::Yes;
        screen.deleteAttachment();
        screen.deleteAttachment();
        QVERIFY(storedField(dir(), EntryId).isEmpty());
        checkNoData();
        QVERIFY(!recordCommands(screen));
        platform->messages.clear();
        screen.ok();
        checkNoData();

        // from the main window before any entry was handed over: an empty link
        activate(screen, false, QString());
        screen.newAttachment();
        QCOMPARE(storedField(dir(), EntryId), QStringList{QString()});
    }

    void searchesFilterByTheFoundValueLiterally()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("ABC/1"), QStringLiteral("/p/a*.jpg")},
                               {QStringLiteral("E2"), QStringLiteral("ABC/2"), QStringLiteral("/p/abc.jpg")},
                               {QStringLiteral("E3"), QStringLiteral("abc/1"), QString(), QStringLiteral("/d/O'Neil \"x\".doc")},
                               {QStringLiteral("E4"), QStringLiteral("X"), QString(), QString(), QString(), QString(), QString(),
                                QString(), QStringLiteral("/v/[1]#.mp4")}});
        IktatasMellekletekFormX screen;
        activate(screen, false, QString());
        platform->inputs << QStringLiteral("ABC*");
        QTest::mouseClick(screen.Command10, Qt::LeftButton);
        QCOMPARE(platform->prompts[0], QStringLiteral("Keresés iktatószámra|Kérem a teljes iktatószámot vagy annak első részét csillaggal:"));
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E1"), QStringLiteral("E3")}));  // ABC/1, letter case ignored
        // wildcards and quotes inside found values stand for themselves
        const QList<std::tuple<int, QString, QStringList>> searches{
            {1, QStringLiteral("/p/a*"), {QStringLiteral("E1")}},
            {2, QStringLiteral("/d/O'Neil \"x\".doc"), {QStringLiteral("E3")}},
            {7, QStringLiteral("/v/?1?*"), {QStringLiteral("E4")}},
        };
        for (const auto &[search, answer, entries] : searches) {
            screen.filterOff();
            platform->inputs << answer;
            screen.searchBy(search);
            QCOMPARE(listed(screen, EntryId), entries);
        }
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés videó útvonalra|Kérem a teljes videó útvonalat vagy annak első részét csillaggal:"));
        QVERIFY(platform->messages.isEmpty());

        // a miss: the whole value is compared, the list and the record stay
        screen.filterOff();
        screen.MellekletekData.moveLast();
        platform->inputs << QStringLiteral("ABC") << QStringLiteral("nope") << QStringLiteral("nope");
        screen.searchBy(0);
        screen.searchBy(4);
        screen.searchBy(6);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen iktatószám! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::None);
        QCOMPARE(platform->messages[0].title, QString());
        QCOMPARE(platform->messages[1].text, QStringLiteral("Nincs ilyen adatbázis útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[2].text, QStringLiteral("Nincs ilyen hang útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->beeps, 3);
        QCOMPARE(screen.MellekletekData.recordCount(), 4);
        QCOMPARE(screen.MellekletekData.absolutePosition(), 3);
    }

    void singleViewFindsAmongItsOwnButFiltersAcrossEntries()
    {
        addAttachments(dir(), {{QStringLiteral("E2"), QStringLiteral("N"), QStringLiteral("/f/other.jpg")},
                               {QStringLiteral("E1"), QStringLiteral("N"), QStringLiteral("/f/own.jpg")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        platform->inputs << QStringLiteral("/f/other*") << QStringLiteral("n");
        screen.searchBy(1);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen fotó útvonal! Keressen újra, vagy válasszon a listából!"));
        screen.searchBy(0);
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E2"), QStringLiteral("E1")}));
        // back from the debt screen: the entry's own again
        QString opened;
        platform->onModal = [&](Screen &debts) {
            opened = debts.objectName();
            debts.Kilepes();
        };
        QTest::mouseClick(screen.Command1, Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("SzamlaTartozasFormX"));
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E1")});
    }

    void theFirstSixFieldsShowTheFocus()
    {
        IktatasMellekletekFormX screen;
        for (QLineEdit *field : {screen.Text1, screen.Text2, screen.Text3, screen.Text4, screen.Text5, screen.Text6, screen.Text7, screen.Text8}) {
            QFocusEvent in(QEvent::FocusIn);
            QApplication::sendEvent(field, &in);
            const bool cyan = field->palette().color(QPalette::Base) == QColor(0x80, 0xFF, 0xFF);
            QCOMPARE(cyan, field != screen.Text7 && field != screen.Text8);
        }
    }

    void theFolderList()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("sub dir")));
        QVERIFY(QFile(QDir(folder.path()).filePath(QStringLiteral("sub dir/inner.txt"))).open(QIODevice::WriteOnly));
        IktatasMellekletekFormX screen;
        QCOMPARE(screen.folder(), QDir::currentPath());
        screen.setFolder(folder.path());
        QCOMPARE(screen.folderItems(), (QStringList{QStringLiteral(".."), QStringLiteral("sub dir")}));
        emit screen.Dir1->doubleClicked(screen.Dir1->model()->index(1, 0));
        QCOMPARE(screen.fileItems(), QStringList{QStringLiteral("inner.txt")});
        screen.Dir1->setCurrentIndex(screen.Dir1->model()->index(0, 0));
        QTest::keyClick(screen.Dir1, Qt::Key_Return);
        QCOMPARE(screen.folder(), folder.path());
        // a folder that cannot be read lists nothing (root reads it all the same)
        const QString locked = QDir(folder.path()).filePath(QStringLiteral("sub dir"));
        QFile::setPermissions(locked, QFileDevice::Permissions{});
        screen.enterFolder(QStringLiteral("sub dir"));
        if (QDir(locked).entryList(QDir::Files).isEmpty())
            QVERIFY(screen.fileItems().isEmpty());
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void pickingOneFileFillsTheChosenKind()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1"), QStringLiteral("/old.jpg")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        QTemporaryDir folder;
        showFolder(screen, folder);
        screen.pickFile(kHostileNames[0]);  // no kind chosen: nothing
        QCOMPARE(screen.Text2->text(), QStringLiteral("/old.jpg"));
        const QList<QLineEdit *> edits{screen.Text2, screen.Text3, screen.Text4, screen.Text5, screen.Text6, screen.Text7, screen.Text8};
        for (int k = 0; k < attachments::kKindCount; ++k) {
            screen.kinds->button(k)->setChecked(true);
            const QString name = kHostileNames[k % kHostileNames.size()];
            emit screen.File1->doubleClicked(screen.File1->model()->index(screen.fileItems().indexOf(name), 0));
            QCOMPARE(edits[k]->text(), picked(folder, name));
            QCOMPARE(current(screen, Photo + k), picked(folder, name));
        }
        // Enter on a file picks it too
        screen.kinds->button(0)->setChecked(true);
        screen.File1->setCurrentIndex(screen.File1->model()->index(screen.fileItems().indexOf(kHostileNames[1]), 0));
        QTest::keyClick(screen.File1, Qt::Key_Return);
        QCOMPARE(screen.Text2->text(), picked(folder, kHostileNames[1]));
        QCOMPARE(storedField(dir(), Photo), QStringList{QStringLiteral("/old.jpg")});  // pending until written
        screen.ok();
        QCOMPARE(storedField(dir(), Video), QStringList{picked(folder, kHostileNames[2])});
        QCOMPARE(storedField(dir(), Number), QStringList{QStringLiteral("1")});
    }

    void aLongPickedPathStaysWhole()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        QTemporaryDir folder;
        const QString deep = folder.path() + u'/' + QString(60, u'é') + u'/' + QString(60, u'ő');
        QVERIFY(QDir().mkpath(deep));
        QFile file(deep + QStringLiteral("/jegyzőkönyv.odt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        screen.setFolder(deep);
        screen.kinds->button(Document - Photo)->setChecked(true);
        screen.pickFile(QStringLiteral("jegyzőkönyv.odt"));
        const QString path = QDir::toNativeSeparators(deep + QStringLiteral("/jegyzőkönyv.odt"));
        QVERIFY(path.size() > 100);
        QCOMPARE(screen.Text3->text(), path);
        screen.Text3->end(false);
        typeText(screen.Text3, QStringLiteral("x"));  // typing on keeps all of it
        screen.ok();
        QCOMPARE(storedField(dir(), Document), QStringList{path + u'x'});
    }

    void pickingSeveralFilesMakesARecordEach()
    {
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E7"));
        QTemporaryDir folder;
        showFolder(screen, folder);
        QTest::mouseClick(screen.Command9, Qt::LeftButton);  // nothing selected: nothing
        QVERIFY(storedField(dir(), EntryId).isEmpty());
        const QStringList names = screen.fileItems();
        for (int row : {3, 0, 2})  // selected out of order, picked in list order
            screen.File1->selectionModel()->select(screen.File1->model()->index(row, 0), QItemSelectionModel::Select);
        screen.Option2->setChecked(true);
        screen.pickSelected();
        QCOMPARE(storedField(dir(), EntryId), QStringList(3, QStringLiteral("E7")));
        QCOMPARE(storedField(dir(), Document), (QStringList{picked(folder, names[0]), picked(folder, names[2]), QString()}));
        screen.Kilepes();  // the last one was pending: closing writes it
        QCOMPARE(storedField(dir(), Document).last(), picked(folder, names[3]));

        // no kind chosen: empty records
        IktatasMellekletekFormX again;
        activate(again, true, QStringLiteral("E8"));
        showFolder(again, folder);
        again.File1->selectAll();
        again.pickSelected();
        again.ok();
        QCOMPARE(storedField(dir(), EntryId).count(QStringLiteral("E8")), 4);
        QCOMPARE(storedField(dir(), Photo).mid(3), QStringList(4, QString()));
        QVERIFY(platform->messages.isEmpty());
    }

    void openingHandsTheShownPathOverAsOneArgument()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        screen.officeSuite = QStringLiteral("/opt/office/soffice");
        const QString hostile = QStringLiteral("/tmp/it's \"q\" & $HOME; ő.doc");
        typeText(screen.Text3, hostile);
        typeText(screen.Text4, hostile);
        typeText(screen.Text2, QStringLiteral("/tmp/a b;rm -rf ~.jpg"));
        typeText(screen.Text8, QStringLiteral("/m/b c.mkv"));
        for (QAction *item : {screen.Dokumentum, screen.Excel, screen.Foto, screen.VideoFile})
            item->trigger();
#ifndef Q_OS_WIN
        QCOMPARE(platform->started, (QStringList{QStringLiteral("/opt/office/soffice|--writer ") + hostile + u'|',
                                                 QStringLiteral("/opt/office/soffice|--calc ") + hostile + u'|',
                                                 QStringLiteral("/tmp/a b;rm -rf ~.jpg"), QStringLiteral("/m/b c.mkv")}));
        screen.officeSuite.clear();  // none installed: the desktop opens it
        screen.open(Kind::Dokumentum);
        QCOMPARE(platform->started.last(), hostile);
#endif
        QCOMPARE(storedField(dir(), Document), QStringList{QString()});  // opened before it was written
        QVERIFY(platform->messages.isEmpty());
    }

    void openingSaysWhatIsMissing()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        const QList<std::tuple<QAction *, QLineEdit *, QString, QString>> kinds{
            {screen.Foto, screen.Text2, QStringLiteral("Nincs magadva fotó elérési útvonala!"), QStringLiteral("Nem található kép-megtekintő szoftver!")},
            {screen.Dokumentum, screen.Text3, QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!"),
             QStringLiteral("Nem található MS Word szövegszerkesztő!")},
            {screen.Excel, screen.Text4, QStringLiteral("Nincs magadva táblázat elérési útvonala!"), QStringLiteral("Nem található MS Excel táblázatkezelő!")},
            {screen.Adatbazis, screen.Text5, QStringLiteral("Nincs magadva adatbázis elérési útvonala!"),
             QStringLiteral("Nem található MS Access adatbázis kezelő!")},
            {screen.Email, screen.Text6, QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!"),
             QStringLiteral("Nem található Outlook Express levelezőrendszer!")},
            {screen.HangAnyag, screen.Text7, QStringLiteral("Nincs magadva hang elérési útvonala!"), QStringLiteral("Nem található hang lejátszó szoftver!")},
            {screen.VideoFile, screen.Text8, QStringLiteral("Nincs magadva videó elérési útvonala!"), QStringLiteral("Nem található videó lejátszó szoftver!")},
        };
        platform->startSucceeds = false;
        for (const auto &[item, field, empty, missing] : kinds) {
            const int started = platform->started.size();
            platform->messages.clear();
            platform->beeps = 0;
            item->trigger();
            QCOMPARE(platform->started.size(), started);
            QCOMPARE(platform->beeps, 1);
            typeText(field, QStringLiteral("/nowhere/x"));
            item->trigger();
            QCOMPARE(platform->started.size(), started + 1);
            QCOMPARE(platform->beeps, 3);
            QCOMPARE(platform->messages.size(), 2);
            QCOMPARE(platform->messages[0].text, empty);
            QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(platform->messages[1].text, missing);
            QCOMPARE(platform->messages[1].icon, MessageIcon::Critical);
            QCOMPARE(platform->messages[1].title, QStringLiteral("FIGYELEM!"));
        }
    }

    void aRecordAnotherWorkstationHoldsIsSaidAndKept()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}, {QStringLiteral("E1"), QStringLiteral("2")}});
        IktatasMellekletekFormX screen;
        activate(screen, true, QStringLiteral("E1"));
        LockPeer holder;
        QVERIFY(holder.holdRecord(dir(), QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), 0));
        screen.Option1->setChecked(true);
        screen.pickFile(QStringLiteral("a.jpg"));
        QCOMPARE(platform->messages.last().title, QStringLiteral("Adatzárolás!"));
        platform->answers << Answer::Yes;
        screen.deleteAttachment();
        QCOMPARE(platform->lastText(), QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        QCOMPARE(storedField(dir(), Photo), (QStringList{QString(), QString()}));
        screen.MellekletekData.moveLast();  // the other one is free
        screen.pickFile(QStringLiteral("b.jpg"));
        screen.ok();
        QCOMPARE(storedField(dir(), Photo).last(), QDir::toNativeSeparators(QDir(screen.folder()).filePath(QStringLiteral("b.jpg"))));
        QCOMPARE(platform->messages.size(), 3);
    }
};

QTEST_MAIN(TestIktatasMellekletekFormX)
#include "tst_iktatasmellekletekformx.moc"
