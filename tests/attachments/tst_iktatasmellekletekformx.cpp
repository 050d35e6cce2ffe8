#include "attachments/iktatasmellekletekformx.h"
#include "attachments/viewers.h"
#include "common/datagrid.h"
#include "common/hungarian.h"
#include "common/navigator.h"
#include "common/screenregistry.h"
#include "common/session.h"
#include "data/datasource.h"
#include "filing/screens.h"
#include "support/lockpeer.h"
#include "support/screentestbed.h"
#include "support/tablerows.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tvx;
using tvx::attachments::Kind;
using tvx::data::DataSource;

namespace {

enum Pos { EntryId = 0, Number = 1, Photo = 2, Document = 3, Sheet = 4, Database = 5, Mail = 6, Sound = 7, Video = 8 };

const QString kNoData = QStringLiteral("Nincs adat!");

// Each attachment: entry identifier, filing number, then paths in kind order.
void addAttachments(const QDir &dir, const QList<QStringList> &rows)
{
    DataSource table(QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), nullptr, dir);
    QVERIFY(table.refresh());
    for (const QStringList &row : rows) {
        QVERIFY(table.addNew());
        for (int i = 0; i < row.size(); ++i)
            QVERIFY(table.setValue(i, row[i]));
        QVERIFY2(table.update(), qPrintable(table.lastError().message));
    }
}

QList<QVariantList> stored(const QDir &dir)
{
    return tableRows(dir, QStringLiteral("Tarvix.tvd"), QStringLiteral("select * from Mellekletek"));
}

QStringList storedField(const QDir &dir, int position)
{
    QStringList values;
    for (const QVariantList &row : stored(dir))
        values << row.value(position).toString();
    return values;
}

void typeText(QWidget *field, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString native(const QString &folder, const QString &name) { return QDir::toNativeSeparators(QDir(folder).filePath(name)); }

// Names a shell would split or expand.
const QStringList kHostileNames{QStringLiteral("a b.odt"), QStringLiteral("it's \"q\".doc"), QStringLiteral("x&y;$z.xls"),
                                QStringLiteral("ékezetes ő.txt")};

}  // namespace

class TestIktatasMellekletekFormX : public QObject, private ScreenTestBed {
    Q_OBJECT

    QDir dir() const { return set->dir(); }

    static QStringList listed(IktatasMellekletekFormX &screen, int position)
    {
        QStringList values;
        auto rs = screen.MellekletekData.recordset();
        for (int row = 0; row < rs->recordCount(); ++row)
            values << rs->valueAt(row, position).toString();
        return values;
    }
    static QString current(IktatasMellekletekFormX &screen, int position) { return screen.MellekletekData.value(position).toString(); }
    static bool recordCommands(IktatasMellekletekFormX &screen) { return screen.Oke->isEnabled() && screen.Torol->isEnabled(); }
    static bool noRecordCommands(IktatasMellekletekFormX &screen) { return !screen.Oke->isEnabled() && !screen.Torol->isEnabled(); }
    static void openView(bool single, const QString &id)
    {
        handOver().singleEntryAttachments = single;
        handOver().currentFilingId = id;
    }
    void checkNoDataShown(int beepsBefore)
    {
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
        QCOMPARE(platform->messages[0].text, kNoData);
        QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
        QCOMPARE(platform->beeps, beepsBefore + 1);
        QVERIFY(!platform->busy);
    }
    // the three entries' attachments most tests start from
    void addThree()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("B/2"), QStringLiteral("/f/b.jpg")},
                               {QStringLiteral("E2"), QStringLiteral("A/1"), QStringLiteral("/f/a.jpg")},
                               {QStringLiteral("E1"), QStringLiteral("A/1"), QStringLiteral("/f/c.jpg")}});
    }

private Q_SLOTS:
    void initTestCase()
    {
        useHungarianLocale();
        registerFilingScreens();
    }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void theWindowAsItOpens()
    {
        IktatasMellekletekFormX screen;
        QCOMPARE(screen.windowTitle(), QStringLiteral("Iktatáshoz melléklet megadása - Tarvix"));
        QCOMPARE(screen.DBGrid1->model()->columnCount(), 7);
        QCOMPARE(screen.DBGrid1->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("EmailÚtvonalaNeve"));
        QVERIFY(screen.DBGrid1->isSortable());
        QCOMPARE(screen.MellekletekNavigator->caption(),
                 QString(51, u' ') + QStringLiteral("Iktatáshoz mellékletek - Mozgás a nyilakkal - Sorba rendezés oszlopnévre kattintva"));
        QCOMPARE(screen.Text1->maxLength(), 120);
        QCOMPARE(screen.Text8->maxLength(), 100);
        // seven narrow options in one group, none chosen
        QVERIFY(screen.kinds->exclusive());
        QCOMPARE(screen.kinds->buttons().size(), 7);
        QCOMPARE(screen.kinds->checkedId(), -1);
        QVERIFY(screen.Option1->text().isEmpty());
        screen.Option2->setChecked(true);
        screen.Option7->setChecked(true);
        QVERIFY(!screen.Option2->isChecked());
        // the menus
        QStringList top;
        for (QAction *a : screen.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{QStringLiteral("&OK"), QStringLiteral("Ú&j melléklet"), QStringLiteral("&Megtekint"),
                                   QStringLiteral("&Szűrés-Frissítés"), QStringLiteral("&Törlés"), QStringLiteral("&Vissza")}));
        QStringList views;
        for (QAction *a : screen.Megtekint->actions())
            views << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(views.join(u'|'), QStringLiteral("Fotó|-|Dokumentum (MS Word)|-|Táblázat (MS Excel)|-|Adatbázis (MS Access)|-|"
                                                  "E-mail (Outlook)|-|Hang|-|Videó"));
        QCOMPARE(screen.SzuresBe->text(), QStringLiteral("Bekapcsolás-frissítés"));
        QCOMPARE(screen.SzuresKi->text(), QStringLiteral("Kikapcsolás-frissítés"));
        QCOMPARE(screen.Command9->text(), QString());
        QVERIFY(!screen.Command9->icon().isNull());
        QCOMPARE(screen.Command9->toolTip(), QStringLiteral("Választ (több kijelölés)"));
        QCOMPARE(screen.Command18->text(), QStringLiteral("Szűrés ki"));
        QCOMPARE(screen.folder(), QDir::currentPath());
    }

    void bothViews()
    {
        addThree();
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        QCOMPARE(listed(screen, Number), (QStringList{QStringLiteral("A/1"), QStringLiteral("B/2")}));
        QCOMPARE(screen.Text2->text(), QStringLiteral("/f/c.jpg"));
        QVERIFY(screen.SzuresBe->isEnabled());
        QVERIFY(recordCommands(screen));

        openView(false, QStringLiteral("E1"));
        screen.activation();
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E1"), QStringLiteral("E2"), QStringLiteral("E1")}));
        QCOMPARE(listed(screen, Number), (QStringList{QStringLiteral("A/1"), QStringLiteral("A/1"), QStringLiteral("B/2")}));
        QVERIFY(!screen.SzuresBe->isEnabled());
        QVERIFY(platform->messages.isEmpty());

        // an entry without attachments, and an identifier that is no statement
        openView(true, QStringLiteral("x' or '1'='1"));
        screen.activation();
        QCOMPARE(screen.MellekletekData.recordCount(), 0);
        QVERIFY(noRecordCommands(screen));
        QVERIFY(platform->messages.isEmpty());
    }

    void newAttachmentIsLinkedToTheCurrentEntry()
    {
        addThree();
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E9"));
        screen.activation();
        QVERIFY(noRecordCommands(screen));
        screen.UjMelleklet->trigger();
        QVERIFY(recordCommands(screen));
        QCOMPARE(current(screen, EntryId), QStringLiteral("E9"));
        QCOMPARE(screen.MellekletekData.recordCount(), 1);
        QCOMPARE(storedField(dir(), EntryId).last(), QStringLiteral("E9"));
        QVERIFY(stored(dir()).last()[Number].isNull());

        // from the main window before any entry was handed over: an empty link
        openView(false, QString());
        screen.activation();
        screen.newAttachment();
        QCOMPARE(screen.MellekletekData.absolutePosition(), 4);
        QCOMPARE(current(screen, EntryId), QString());
        QCOMPARE(stored(dir()).size(), 5);
        QCOMPARE(stored(dir()).last()[EntryId].toString(), QString());
    }

    void okWritesWhatWasTypedAndStays()
    {
        addThree();
        IktatasMellekletekFormX screen;
        openView(false, QString());
        screen.activation();
        screen.MellekletekData.moveNext();
        typeText(screen.Text4, QStringLiteral("/t/ő'\".ods"));
        QCOMPARE(storedField(dir(), Sheet), (QStringList{QString(), QString(), QString()}));
        screen.Oke->trigger();
        QCOMPARE(storedField(dir(), Sheet)[1], QStringLiteral("/t/ő'\".ods"));
        QCOMPARE(screen.MellekletekData.absolutePosition(), 1);
        QCOMPARE(screen.Text4->text(), QStringLiteral("/t/ő'\".ods"));
        QVERIFY(platform->messages.isEmpty());

        openView(true, QStringLiteral("none"));
        screen.activation();
        screen.Oke->setEnabled(true);
        screen.ok();
        checkNoDataShown(0);
        QVERIFY(noRecordCommands(screen));
    }

    void deleteAsksAndSaysWhenNothingIsLeft()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}, {QStringLiteral("E1"), QStringLiteral("2")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        screen.deleteAttachment();  // answered No
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Törli véglegesen a kijelölt adatsort?"));
        QCOMPARE(platform->messages[0].icon, MessageIcon::Question);
        QCOMPARE(platform->messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(stored(dir()).size(), 2);

        screen.MellekletekData.moveLast();
        platform->answers << Answer::Yes;
        screen.deleteAttachment();
        QCOMPARE(storedField(dir(), Number), QStringList{QStringLiteral("1")});
        QCOMPARE(current(screen, Number), QStringLiteral("1"));  // past the end: back to the last
        QVERIFY(recordCommands(screen));

        platform->messages.clear();
        platform->beeps = 0;
        platform->answers << Answer::Yes;
        screen.deleteAttachment();
        QVERIFY(stored(dir()).isEmpty());
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(platform->messages[1].text, kNoData);
        QCOMPARE(platform->messages[1].icon, MessageIcon::Exclamation);
        QVERIFY(noRecordCommands(screen));

        platform->messages.clear();
        screen.Torol->trigger();  // disabled: nothing
        screen.deleteAttachment();
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->lastText(), kNoData);
    }

    void filtersOnAndOff()
    {
        addThree();
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E2"));
        screen.activation();
        screen.SzuresKi->trigger();
        QCOMPARE(screen.MellekletekData.recordCount(), 3);
        screen.SzuresBe->trigger();
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E2")});
        screen.filterOff();
        screen.removeFilter();  // "Szűrés ki" is the per-entry filter
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E2")});
        QVERIFY(platform->messages.isEmpty());

        // all-attachments view, no entry handed over: an empty list and its message
        openView(false, QString());
        screen.activation();
        QVERIFY(!screen.SzuresBe->isEnabled());
        QCOMPARE(screen.MellekletekData.recordCount(), 3);
        QTest::mouseClick(screen.Command18, Qt::LeftButton);
        QCOMPARE(screen.MellekletekData.recordCount(), 0);
        checkNoDataShown(0);
        QVERIFY(noRecordCommands(screen));
        screen.filterOff();
        QVERIFY(recordCommands(screen));
    }

    void searchFiltersByTheFoundValue()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("ABC/1")},
                               {QStringLiteral("E2"), QStringLiteral("ABC/2")},
                               {QStringLiteral("E3"), QStringLiteral("abc/1")},
                               {QStringLiteral("E4"), QStringLiteral("X")}});
        IktatasMellekletekFormX screen;
        openView(false, QString());
        screen.activation();
        platform->inputs << QStringLiteral("ABC*");
        QTest::mouseClick(screen.Command10, Qt::LeftButton);
        QCOMPARE(platform->prompts,
                 QStringList{QStringLiteral("Keresés iktatószámra|Kérem a teljes iktatószámot vagy annak első részét csillaggal:")});
        // the first match's value, with letter case ignored, not the pattern
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E1"), QStringLiteral("E3")}));
        QCOMPARE(current(screen, EntryId), QStringLiteral("E1"));
        QVERIFY(recordCommands(screen));

        // a pattern without a wildcard is the whole value
        screen.filterOff();
        platform->inputs << QStringLiteral("ABC");
        screen.MellekletekData.moveLast();
        const QString before = current(screen, EntryId);
        screen.searchBy(0);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen iktatószám! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[0].title, QString());
        QCOMPARE(platform->messages[0].icon, MessageIcon::None);
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(current(screen, EntryId), before);  // back where it was
        QCOMPARE(screen.MellekletekData.recordCount(), 4);

        // cancelled: nothing; an empty list: no prompt at all
        screen.searchBy(0);
        QCOMPARE(screen.MellekletekData.recordCount(), 4);
        openView(true, QStringLiteral("none"));
        screen.activation();
        screen.searchBy(0);
        QCOMPARE(platform->prompts.size(), 3);
    }

    void hostileValuesSearchAsTheyAre()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1"), QStringLiteral("/p/a*.jpg")},
                               {QStringLiteral("E2"), QStringLiteral("2"), QStringLiteral("/p/abc.jpg")},
                               {QStringLiteral("E3"), QStringLiteral("3"), QString(), QStringLiteral("/d/O'Neil \"x\".doc")},
                               {QStringLiteral("E4"), QStringLiteral("4"), QString(), QStringLiteral("/d/O'Neil \"x\".doc")},
                               {QStringLiteral("E5"), QStringLiteral("5"), QString(), QString(), QString(), QString(), QString(),
                                QString(), QStringLiteral("/v/[1]#.mp4")}});
        IktatasMellekletekFormX screen;
        openView(false, QString());
        screen.activation();
        // a found path with a wildcard filters to itself
        platform->inputs << QStringLiteral("/p/a*");
        screen.searchBy(1);
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E1")});

        screen.filterOff();
        platform->inputs << QStringLiteral("/d/O'Neil \"x\".doc");
        screen.searchBy(2);
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E3"), QStringLiteral("E4")}));

        screen.filterOff();
        platform->inputs << QStringLiteral("/v/?1?*");
        screen.searchBy(7);
        QCOMPARE(platform->prompts.last(), QStringLiteral("Keresés videó útvonalra|Kérem a teljes videó útvonalat vagy annak első részét csillaggal:"));
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E5")});
        QVERIFY(platform->messages.isEmpty());

        // the searches of the kinds that had none, and the database miss
        screen.filterOff();
        platform->inputs << QStringLiteral("nope") << QStringLiteral("nope") << QStringLiteral("nope");
        screen.searchBy(4);
        screen.searchBy(6);
        screen.searchBy(7);
        QCOMPARE(platform->messages[0].text, QStringLiteral("Nincs ilyen adatbázis útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[1].text, QStringLiteral("Nincs ilyen hang útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->messages[2].text, QStringLiteral("Nincs ilyen videó útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(platform->prompts[4], QStringLiteral("Keresés hang útvonalra|Kérem a teljes hang útvonalat vagy annak első részét csillaggal:"));
    }

    void singleViewFindsAmongItsOwnButFiltersAcrossEntries()
    {
        addAttachments(dir(), {{QStringLiteral("E2"), QStringLiteral("N"), QStringLiteral("/f/other.jpg")},
                               {QStringLiteral("E1"), QStringLiteral("N"), QStringLiteral("/f/own.jpg")},
                               {QStringLiteral("E3"), QStringLiteral("M")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        platform->inputs << QStringLiteral("/f/other*");
        screen.searchBy(1);
        QCOMPARE(platform->lastText(), QStringLiteral("Nincs ilyen fotó útvonal! Keressen újra, vagy válasszon a listából!"));
        QCOMPARE(screen.MellekletekData.recordCount(), 1);
        platform->inputs << QStringLiteral("n");
        screen.searchBy(0);
        QCOMPARE(listed(screen, EntryId), (QStringList{QStringLiteral("E2"), QStringLiteral("E1")}));
        // back from the debt screen: the entry's own again, from the first
        QString opened;
        platform->onModal = [&](Screen &debts) {
            opened = debts.objectName();
            debts.Kilepes();
        };
        QTest::mouseClick(screen.Command1, Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("SzamlaTartozasFormX"));
        QCOMPARE(listed(screen, EntryId), QStringList{QStringLiteral("E1")});
        QCOMPARE(screen.MellekletekData.absolutePosition(), 0);
    }

    void headerClicksSort()
    {
        addThree();
        IktatasMellekletekFormX screen;
        openView(false, QString());
        screen.activation();
        QVERIFY(screen.DBGrid1->sortByColumn(2));
        QCOMPARE(listed(screen, Photo).first(), QStringLiteral("/f/a.jpg"));
        QVERIFY(screen.DBGrid1->sortByColumn(2));
        QCOMPARE(listed(screen, Photo).first(), QStringLiteral("/f/c.jpg"));
    }

    void theFirstSixFieldsShowTheFocus()
    {
        IktatasMellekletekFormX screen;
        const QColor plain = screen.Text7->palette().color(QPalette::Base);
        for (QLineEdit *field : {screen.Text1, screen.Text2, screen.Text3, screen.Text4, screen.Text5, screen.Text6, screen.Text7, screen.Text8}) {
            QFocusEvent in(QEvent::FocusIn);
            QApplication::sendEvent(field, &in);
            const bool highlighted = field->palette().color(QPalette::Base) == QColor(0x80, 0xFF, 0xFF);
            QCOMPARE(highlighted, field != screen.Text7 && field != screen.Text8);
            QFocusEvent out(QEvent::FocusOut);
            QApplication::sendEvent(field, &out);
            QVERIFY(field->palette().color(QPalette::Base) != QColor(0x80, 0xFF, 0xFF));
        }
        QCOMPARE(screen.Text7->palette().color(QPalette::Base), plain);
    }

    void aLockedAttachmentIsSaidAndKept()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}, {QStringLiteral("E1"), QStringLiteral("2")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        LockPeer holder;
        QVERIFY(holder.holdRecord(dir(), QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), 0));
        screen.Option1->setChecked(true);
        screen.pickFile(QStringLiteral("a.jpg"));
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].title, QStringLiteral("Adatzárolás!"));
        QCOMPARE(platform->messages[0].text, QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        platform->answers << Answer::Yes;
        screen.deleteAttachment();
        QCOMPARE(platform->lastText(), QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"));
        QCOMPARE(stored(dir()).size(), 2);
        // the other record is free
        screen.MellekletekData.moveLast();
        screen.pickFile(QStringLiteral("b.jpg"));
        screen.ok();
        QCOMPARE(storedField(dir(), Photo), (QStringList{QString(), native(screen.folder(), QStringLiteral("b.jpg"))}));
        QCOMPARE(platform->messages.size(), 3);
    }

    void theFolderAndFileLists()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub dir")));
        for (const QString &name : kHostileNames + QStringList{QStringLiteral("sub dir/inner.txt")}) {
            QFile file(QDir(folder.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        IktatasMellekletekFormX screen;
        screen.setFolder(folder.path());
        QCOMPARE(screen.folderItems(), (QStringList{QStringLiteral(".."), QStringLiteral("sub dir")}));
        QCOMPARE(screen.fileItems().size(), 4);
        QVERIFY(screen.fileItems().contains(QStringLiteral("ékezetes ő.txt")));
        // entering by double click and by Enter, and back up
        emit screen.Dir1->doubleClicked(screen.Dir1->model()->index(1, 0));
        QCOMPARE(screen.folder(), QDir(folder.path()).filePath(QStringLiteral("sub dir")));
        QCOMPARE(screen.fileItems(), QStringList{QStringLiteral("inner.txt")});
        screen.Dir1->setCurrentIndex(screen.Dir1->model()->index(0, 0));
        QTest::keyClick(screen.Dir1, Qt::Key_Return);
        QCOMPARE(screen.folder(), QDir(folder.path()).absolutePath());
        // a folder that cannot be read lists nothing
        QDir locked(QDir(folder.path()).filePath(QStringLiteral("sub dir")));
        QFile::setPermissions(locked.path(), QFileDevice::Permissions{});
        screen.enterFolder(QStringLiteral("sub dir"));
        if (locked.entryList(QDir::Files).isEmpty())  // not when the tests run as root
            QCOMPARE(screen.fileItems(), QStringList());
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void pickingOneFileFillsTheChosenKind()
    {
        QTemporaryDir folder;
        for (const QString &name : kHostileNames) {
            QFile file(QDir(folder.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1"), QStringLiteral("/old.jpg"), QStringLiteral("/old.doc")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        screen.setFolder(folder.path());
        // no kind chosen: nothing
        screen.pickFile(kHostileNames[0]);
        QCOMPARE(screen.Text2->text(), QStringLiteral("/old.jpg"));
        const QList<QLineEdit *> edits{screen.Text2, screen.Text3, screen.Text4, screen.Text5, screen.Text6, screen.Text7, screen.Text8};
        for (int k = 0; k < attachments::kKindCount; ++k) {
            screen.kinds->button(k)->setChecked(true);
            const QString name = kHostileNames[k % kHostileNames.size()];
            const QModelIndex index = screen.File1->model()->index(screen.fileItems().indexOf(name), 0);
            emit screen.File1->doubleClicked(index);
            QCOMPARE(edits[k]->text(), native(folder.path(), name));
            QCOMPARE(current(screen, Photo + k), native(folder.path(), name));
        }
        QCOMPARE(current(screen, Number), QStringLiteral("1"));
        // a pending change until the record is written
        QCOMPARE(stored(dir())[0][Photo].toString(), QStringLiteral("/old.jpg"));
        screen.ok();
        QCOMPARE(stored(dir())[0][Video].toString(), native(folder.path(), kHostileNames[2]));
        QCOMPARE(stored(dir())[0][Document].toString(), native(folder.path(), kHostileNames[1]));
    }

    void pickingSeveralFilesMakesARecordEach()
    {
        QTemporaryDir folder;
        for (const QString &name : kHostileNames) {
            QFile file(QDir(folder.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E7"));
        screen.activation();
        screen.setFolder(folder.path());
        QTest::mouseClick(screen.Command9, Qt::LeftButton);  // nothing selected: nothing
        QVERIFY(stored(dir()).isEmpty());

        const QStringList names = screen.fileItems();
        auto *selection = screen.File1->selectionModel();
        for (int row : {3, 0, 2})  // selected out of order, picked in list order
            selection->select(screen.File1->model()->index(row, 0), QItemSelectionModel::Select);
        screen.Option2->setChecked(true);
        screen.pickSelected();
        QCOMPARE(storedField(dir(), EntryId), (QStringList{QStringLiteral("E7"), QStringLiteral("E7"), QStringLiteral("E7")}));
        // the last path is still pending on the current record
        QCOMPARE(storedField(dir(), Document), (QStringList{native(folder.path(), names[0]), native(folder.path(), names[2]), QString()}));
        QCOMPARE(screen.Text3->text(), native(folder.path(), names[3]));
        QVERIFY(recordCommands(screen));
        screen.Kilepes();  // closing writes it
        QCOMPARE(storedField(dir(), Document).last(), native(folder.path(), names[3]));
        QVERIFY(platform->messages.isEmpty());
    }

    void pickingSeveralWithoutAKindMakesEmptyRecords()
    {
        QTemporaryDir folder;
        for (const QString &name : kHostileNames.mid(0, 2)) {
            QFile file(QDir(folder.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E7"));
        screen.activation();
        screen.setFolder(folder.path());
        screen.File1->selectAll();
        screen.pickSelected();
        screen.ok();
        QCOMPARE(stored(dir()).size(), 2);
        for (const QVariantList &row : stored(dir())) {
            QCOMPARE(row[EntryId].toString(), QStringLiteral("E7"));
            for (int field = Photo; field <= Video; ++field)
                QVERIFY(row[field].toString().isEmpty());
        }
    }

    void viewersPerKind()
    {
#ifndef Q_OS_WIN
        const QString office = QStringLiteral("/opt/office/program/soffice");
        for (Kind kind : {Kind::Foto, Kind::Email, Kind::Hang, Kind::Video})
            QVERIFY(attachments::viewerFor(kind, office).desktop);
        const attachments::Viewer calc = attachments::viewerFor(Kind::Tablazat, office);
        QVERIFY(!calc.desktop);
        QCOMPARE(calc.program, office);
        QCOMPARE(calc.arguments, QStringList{QStringLiteral("--calc")});
        QCOMPARE(attachments::viewerFor(Kind::Adatbazis, office).arguments, QStringList{QStringLiteral("--base")});
        QVERIFY(attachments::viewerFor(Kind::Dokumentum, QString()).desktop);
#endif
        QCOMPARE(attachments::pathField(Kind::Video), QStringLiteral("VideoÚtvonalNeve"));
        QCOMPARE(attachments::pathField(Kind::Hang), QStringLiteral("HangÚtvonalNeve"));
    }

    void openingHandsTheTypedPathOverAsOneArgument()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        screen.officeSuite = QStringLiteral("/opt/office/program/soffice");
        const QString hostile = QStringLiteral("/tmp/it's \"q\" & $HOME; ő.doc");
        typeText(screen.Text3, hostile);
        typeText(screen.Text2, QStringLiteral("/tmp/a b;rm -rf ~.jpg"));
        screen.Dokumentum->trigger();
        screen.Foto->trigger();
#ifndef Q_OS_WIN
        QCOMPARE(platform->started, (QStringList{QStringLiteral("/opt/office/program/soffice|--writer ") + hostile + u'|',
                                                 QStringLiteral("/tmp/a b;rm -rf ~.jpg")}));
        screen.officeSuite.clear();
        screen.open(Kind::Dokumentum);
        QCOMPARE(platform->started.last(), hostile);
#endif
        QVERIFY(platform->messages.isEmpty());
        QVERIFY(stored(dir())[0][Document].isNull());  // opened before it was written

        // sound and video open too
        typeText(screen.Text7, QStringLiteral("/m/a.ogg"));
        typeText(screen.Text8, QStringLiteral("/m/b.mkv"));
        screen.HangAnyag->trigger();
        screen.VideoFile->trigger();
        QCOMPARE(platform->started.mid(platform->started.size() - 2), (QStringList{QStringLiteral("/m/a.ogg"), QStringLiteral("/m/b.mkv")}));
    }

    void openingSaysWhatIsMissing()
    {
        addAttachments(dir(), {{QStringLiteral("E1"), QStringLiteral("1")}});
        IktatasMellekletekFormX screen;
        openView(true, QStringLiteral("E1"));
        screen.activation();
        const QStringList empty{
            QStringLiteral("Nincs magadva fotó elérési útvonala!"),     QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!"),
            QStringLiteral("Nincs magadva táblázat elérési útvonala!"), QStringLiteral("Nincs magadva adatbázis elérési útvonala!"),
            QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!"), QStringLiteral("Nincs magadva hang elérési útvonala!"),
            QStringLiteral("Nincs magadva videó elérési útvonala!")};
        const QStringList missing{QStringLiteral("Nem található kép-megtekintő szoftver!"), QStringLiteral("Nem található MS Word szövegszerkesztő!"),
                                  QStringLiteral("Nem található MS Excel táblázatkezelő!"), QStringLiteral("Nem található MS Access adatbázis kezelő!"),
                                  QStringLiteral("Nem található Outlook Express levelezőrendszer!"), QStringLiteral("Nem található hang lejátszó szoftver!"),
                                  QStringLiteral("Nem található videó lejátszó szoftver!")};
        const QList<QAction *> items{screen.Foto, screen.Dokumentum, screen.Excel, screen.Adatbazis, screen.Email, screen.HangAnyag, screen.VideoFile};
        const QList<QLineEdit *> edits{screen.Text2, screen.Text3, screen.Text4, screen.Text5, screen.Text6, screen.Text7, screen.Text8};
        platform->startSucceeds = false;
        for (int k = 0; k < attachments::kKindCount; ++k) {
            platform->messages.clear();
            platform->beeps = 0;
            items[k]->trigger();
            QCOMPARE(platform->messages.size(), 1);
            QCOMPARE(platform->messages[0].title, QStringLiteral("FIGYELEM!"));
            QCOMPARE(platform->messages[0].text, empty[k]);
            QCOMPARE(platform->messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(platform->beeps, 1);
            QCOMPARE(platform->started.size(), k);  // nothing started

            typeText(edits[k], QStringLiteral("/nowhere/x"));
            platform->messages.clear();
            platform->beeps = 0;
            items[k]->trigger();
            QCOMPARE(platform->started.size(), k + 1);
            QCOMPARE(platform->messages.size(), 1);
            QCOMPARE(platform->messages[0].text, missing[k]);
            QCOMPARE(platform->messages[0].icon, MessageIcon::Critical);
            QCOMPARE(platform->beeps, 2);
            QVERIFY(!platform->busy);
        }
    }
};

QTEST_MAIN(TestIktatasMellekletekFormX)
#include "tst_iktatasmellekletekformx.moc"
