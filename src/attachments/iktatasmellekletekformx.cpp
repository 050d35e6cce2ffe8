#include "attachments/iktatasmellekletekformx.h"

#include "common/caught.h"
#include "common/datagrid.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/formwidgets.h"
#include "common/menus.h"
#include "common/funcs.h"
#include "common/navigator.h"
#include "common/platform.h"
#include "common/screenregistry.h"
#include "common/search.h"
#include "common/session.h"
#include "data/jetsql.h"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tvx {

using attachments::Kind;

namespace {

const QString kAllStatement = QStringLiteral("select * from Mellekletek order by Iktatószám, IktatasrecordID");
const QString kNoData = QStringLiteral("Nincs adat!");
const QString kWarning = QStringLiteral("FIGYELEM!");

// The searches of the frame: the field, the prompt's title and text, and what a miss says.
struct FieldSearch {
    const char *field, *title, *prompt, *notFound;
};
const FieldSearch kSearches[] = {
    {"Iktatószám", "Keresés iktatószámra", "Kérem a teljes iktatószámot vagy annak első részét csillaggal:",
     "Nincs ilyen iktatószám! Keressen újra, vagy válasszon a listából!"},
    {"FotóÚtvonalaNeve", "Keresés fotó útvonalra", "Kérem a teljes fotó útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen fotó útvonal! Keressen újra, vagy válasszon a listából!"},
    {"DokumentumÚtvonalaNeve", "Keresés dokumentumra", "Kérem a teljes dokumentum útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen dokumentum útvonal! Keressen újra, vagy válasszon a listából!"},
    {"TáblázatÚtvonalaNeve", "Keresés táblázatra", "Kérem a teljes táblázat útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen táblázat elérési útvonallal! Keressen újra, vagy válasszon a listából!"},
    {"AdatbázisÚtvonalaNeve", "Keresés adatbázisra", "Kérem a teljes adatbázis útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen adatbázis útvonal! Keressen újra, vagy válasszon a listából!"},
    {"EmailÚtvonalaNeve", "Keresés E-mail-re", "Kérem a teljes e-mail helyét vagy annak első részét csillaggal:",
     "Nincs ilyen E-mail! Keressen újra, vagy válasszon a listából!"},
    {"HangÚtvonalNeve", "Keresés hang útvonalra", "Kérem a teljes hang útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen hang útvonal! Keressen újra, vagy válasszon a listából!"},
    {"VideoÚtvonalNeve", "Keresés videó útvonalra", "Kérem a teljes videó útvonalat vagy annak első részét csillaggal:",
     "Nincs ilyen videó útvonal! Keressen újra, vagy válasszon a listából!"},
};

const QStringList kSearchCaptions{QStringLiteral("Iktatószám"), QStringLiteral("Fotó"),     QStringLiteral("Dokumentum"),
                                  QStringLiteral("Táblázat"),   QStringLiteral("Adatbázis"), QStringLiteral("E-mail"),
                                  QStringLiteral("Hang"),       QStringLiteral("Videó")};

}  // namespace

IktatasMellekletekFormX::IktatasMellekletekFormX(QWidget *parent)
    : Screen(parent), officeSuite(attachments::installedOfficeSuite()), binder_(new FieldBinder(&MellekletekData, this))
{
    setObjectName(QStringLiteral("IktatasMellekletekFormX"));
    setWindowTitle(QStringLiteral("Iktatáshoz melléklet megadása - Tarvix"));
    // closing writes a typed or picked path that is still pending
    addDataSource(MellekletekData);
    buildWindow();
    buildMenus();
    // only the file opens here: every activation sets the statement and runs
    // it, and says when the file is missing
    MellekletekData.database();
    MellekletekData.clearError();
    setFolder(QDir::currentPath());
}

IktatasMellekletekFormX::~IktatasMellekletekFormX() = default;

void IktatasMellekletekFormX::buildWindow()
{
    auto *central = new QWidget(this);
    auto *page = new QVBoxLayout(central);

    // top: the rows on the left, the picking panel on the right
    auto *top = new QHBoxLayout;
    auto *rows = new QGridLayout;
    Text1 = namedLineEdit("Text1", central);
    Text2 = namedLineEdit("Text2", central);
    Text3 = namedLineEdit("Text3", central);
    Text4 = namedLineEdit("Text4", central);
    Text5 = namedLineEdit("Text5", central);
    Text6 = namedLineEdit("Text6", central);
    Text7 = namedLineEdit("Text7", central);
    Text8 = namedLineEdit("Text8", central);
    kinds = new QButtonGroup(this);
    kinds->setExclusive(true);
    const QStringList captions{
        QStringLiteral("Iktatószám (Ha lehet, ne javítsa!):"),
        QStringLiteral("Fotó (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("Dokumentum (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("Táblázat (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("Adatbázis (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("E-mail: (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("Hang: (meghajtó:\\path\\filenév.kiterjesztés):"),
        QStringLiteral("Videó: (meghajtó:\\path\\filenév.kiterjesztés):"),
    };
    const QList<QLineEdit *> edits{Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8};
    QList<QRadioButton *> options;
    for (int row = 0; row < edits.size(); ++row) {
        auto *label = new QLabel(captions[row], central);
        label->setBuddy(edits[row]);
        rows->addWidget(label, 2 * row, 1);
        rows->addWidget(edits[row], 2 * row + 1, 1);
        if (row == 0)
            continue;
        // narrow and without text: the row's label names it
        auto *option = new QRadioButton(central);
        option->setObjectName(QStringLiteral("Option%1").arg(row));
        option->setAccessibleName(captions[row]);
        kinds->addButton(option, row - 1);
        rows->addWidget(option, 2 * row + 1, 0);
        options << option;
    }
    Option1 = options[0];
    Option2 = options[1];
    Option3 = options[2];
    Option4 = options[3];
    Option5 = options[4];
    Option6 = options[5];
    Option7 = options[6];
    rows->setColumnStretch(1, 1);
    rows->setVerticalSpacing(2);
    top->addLayout(rows, 3);
    top->addLayout(buildPickingPanel(central), 2);
    page->addLayout(top);

    // the debts and the searches
    auto *commands = new QHBoxLayout;
    Command1 = new QPushButton(QStringLiteral("Számlatartozás"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Számlatartozások felvitele"));
    connect(Command1, &QPushButton::clicked, this, &IktatasMellekletekFormX::invoiceDebts);
    commands->addWidget(Command1);
    Frame1 = new QGroupBox(QStringLiteral("Keres-szűrés:"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *searchRow = new QHBoxLayout(Frame1);
    QList<QPushButton *> searchButtons;
    for (int i = 0; i < kSearchCaptions.size(); ++i) {
        auto *button = new QPushButton(kSearchCaptions[i], Frame1);
        button->setObjectName(QStringLiteral("Command%1").arg(10 + i));
        connect(button, &QPushButton::clicked, this, [this, i] { searchBy(i); });
        searchRow->addWidget(button);
        searchButtons << button;
    }
    Command10 = searchButtons[0];
    Command11 = searchButtons[1];
    Command12 = searchButtons[2];
    Command13 = searchButtons[3];
    Command14 = searchButtons[4];
    Command15 = searchButtons[5];
    Command16 = searchButtons[6];
    Command17 = searchButtons[7];
    Command18 = new QPushButton(QStringLiteral("Szűrés ki"), Frame1);
    Command18->setObjectName(QStringLiteral("Command18"));
    connect(Command18, &QPushButton::clicked, this, &IktatasMellekletekFormX::removeFilter);
    searchRow->addWidget(Command18);
    commands->addWidget(Frame1, 1);
    page->addLayout(commands);

    // the list: read only, without the sound and video paths
    page->addWidget(new QLabel(QStringLiteral("Mellékletek"), central));
    QList<GridColumn> columns;
    for (const char *field : {"IktatasrecordID", "Iktatószám", "FotóÚtvonalaNeve", "DokumentumÚtvonalaNeve", "TáblázatÚtvonalaNeve",
                              "AdatbázisÚtvonalaNeve", "EmailÚtvonalaNeve"})
        columns << GridColumn{QString::fromUtf8(field), QString::fromUtf8(field)};
    DBGrid1 = new DataGrid(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(&MellekletekData, columns);
    DBGrid1->setSortable(true);
    for (int column = 2; column < columns.size(); ++column)
        DBGrid1->setColumnWidth(column, 170);  // the paths: their captions readable
    page->addWidget(DBGrid1, 1);
    MellekletekNavigator = new DataNavigator(central);
    MellekletekNavigator->setObjectName(QStringLiteral("MellekletekNavigator"));
    MellekletekNavigator->setDataSource(&MellekletekData);
    MellekletekNavigator->setCaption(QString(51, u' ') +
                                     QStringLiteral("Iktatáshoz mellékletek - Mozgás a nyilakkal - Sorba rendezés oszlopnévre kattintva"));
    page->addWidget(MellekletekNavigator);
    setCentralWidget(central);

    binder_->bind(Text1, QStringLiteral("Iktatószám"), 120);
    // A path takes what its field holds: a picked full path is often longer
    // than a typed short one, and a field that cut it would show, open and
    // save it cut.
    for (int k = 0; k < attachments::kKindCount; ++k)
        binder_->bind(edits[k + 1], attachments::pathField(Kind(k)), 255);
    for (QLineEdit *edit : {Text1, Text2, Text3, Text4, Text5, Text6})
        highlightOnFocus(edit);

    reportRefusedRecord(this, DBGrid1, MellekletekNavigator, binder_, [this](const data::Error &) { refused(false); });
    resize(1150, 760);
}

QLayout *IktatasMellekletekFormX::buildPickingPanel(QWidget *parent)
{
    auto *panel = new QGridLayout;
    folders_ = new QStringListModel(this);
    files_ = new QStringListModel(this);

    Dir1 = new QListView(parent);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setToolTip(QStringLiteral("Belépés dupla kattintással"));
    Dir1->setModel(folders_);
    Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Dir1->installEventFilter(this);
    connect(Dir1, &QListView::doubleClicked, this, [this](const QModelIndex &index) { enterFolder(index.data().toString()); });

    PickHint = new QLabel(QStringLiteral("Dupla kattintással egyet választ:"), parent);
    PickHint->setObjectName(QStringLiteral("PickHint"));

    File1 = new QListView(parent);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setToolTip(QStringLiteral("Kijelölés Shift és kurzormozgató nyíl vagy Ctrl és bal egérgombbal kattintás"));
    File1->setModel(files_);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    File1->setUniformItemSizes(true);  // thousands of names lay out at once
    File1->installEventFilter(this);  // Enter picks, as a double click does
    connect(File1, &QListView::doubleClicked, this, [this](const QModelIndex &index) { pickFile(index.data().toString()); });

    Command9 = new QToolButton(parent);
    Command9->setObjectName(QStringLiteral("Command9"));
    Command9->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    Command9->setToolTip(QStringLiteral("Választ (több kijelölés)"));
    connect(Command9, &QToolButton::clicked, this, &IktatasMellekletekFormX::pickSelected);

    panel->addWidget(Dir1, 0, 0, 3, 1);
    panel->addWidget(Command9, 0, 1, Qt::AlignLeft);
    panel->addWidget(PickHint, 1, 1);
    panel->addWidget(File1, 2, 1);
    panel->setRowStretch(2, 1);
    return panel;
}

void IktatasMellekletekFormX::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto action = [bar](QMenu *menu, const char *name, const QString &caption) { return addNamedAction(bar, menu, name, caption); };
    Oke = action(nullptr, "Oké", QStringLiteral("&OK"));
    UjMelleklet = action(nullptr, "UjMelleklet", QStringLiteral("Ú&j melléklet"));
    Megtekint = bar->addMenu(QStringLiteral("&Megtekint"));
    Megtekint->setObjectName(QStringLiteral("Megtekint"));
    const QList<std::pair<const char *, QString>> viewItems{
        {"Foto", QStringLiteral("Fotó")},
        {"Dokumentum", QStringLiteral("Dokumentum (MS Word)")},
        {"Excel", QStringLiteral("Táblázat (MS Excel)")},
        {"Adatbazis", QStringLiteral("Adatbázis (MS Access)")},
        {"Email", QStringLiteral("E-mail (Outlook)")},
        {"HangAnyag", QStringLiteral("Hang")},
        {"VideoFile", QStringLiteral("Videó")},
    };
    QList<QAction *> views;
    for (int k = 0; k < viewItems.size(); ++k) {
        if (k > 0)
            Megtekint->addSeparator();
        QAction *item = action(Megtekint, viewItems[k].first, viewItems[k].second);
        connect(item, &QAction::triggered, this, [this, k] { open(Kind(k)); });
        views << item;
    }
    Foto = views[0];
    Dokumentum = views[1];
    Excel = views[2];
    Adatbazis = views[3];
    Email = views[4];
    HangAnyag = views[5];
    VideoFile = views[6];
    Szures = bar->addMenu(QStringLiteral("&Szűrés-Frissítés"));
    Szures->setObjectName(QStringLiteral("Szures"));
    SzuresBe = action(Szures, "SzuresBe", QStringLiteral("Bekapcsolás-frissítés"));
    SzuresKi = action(Szures, "SzuresKi", QStringLiteral("Kikapcsolás-frissítés"));
    Torol = action(nullptr, "Torol", QStringLiteral("&Törlés"));
    KilepesItem = action(nullptr, "Kilepes", QStringLiteral("&Vissza"));

    connect(Oke, &QAction::triggered, this, &IktatasMellekletekFormX::ok);
    connect(UjMelleklet, &QAction::triggered, this, &IktatasMellekletekFormX::newAttachment);
    connect(SzuresBe, &QAction::triggered, this, &IktatasMellekletekFormX::filterOn);
    connect(SzuresKi, &QAction::triggered, this, &IktatasMellekletekFormX::filterOff);
    connect(Torol, &QAction::triggered, this, &IktatasMellekletekFormX::deleteAttachment);
    connect(KilepesItem, &QAction::triggered, this, &IktatasMellekletekFormX::Kilepes);
}

bool IktatasMellekletekFormX::refused(bool stepOk)
{
    return refusedStep(this, MellekletekData, stepOk, lockmessages::kFilingEntryLocked);
}

void IktatasMellekletekFormX::setRecordCommands(bool enabled)
{
    Oke->setEnabled(enabled);
    Torol->setEnabled(enabled);
}

void IktatasMellekletekFormX::noData()
{
    reportProblem(this, kWarning, kNoData, MessageIcon::Exclamation);
    setRecordCommands(false);
}

QString IktatasMellekletekFormX::entryStatement() const
{
    return QStringLiteral("select * from Mellekletek where IktatasrecordID = ") + data::jet::quoted(handOver().currentFilingId) +
           QStringLiteral(" order by Iktatószám, IktatasrecordID");
}

void IktatasMellekletekFormX::activation()
{
    const bool single = handOver().singleEntryAttachments;
    SzuresBe->setEnabled(single);
    MellekletekData.setRecordSource(single ? entryStatement() : kAllStatement);
    if (refused(MellekletekData.refresh())) {
        setRecordCommands(false);
        return;
    }
    if (!hasRecords()) {
        setRecordCommands(false);
        return;
    }
    refused(MellekletekData.moveFirst());
    setRecordCommands(true);
}

bool IktatasMellekletekFormX::newAttachment()
{
    if (refused(MellekletekData.addNew()))
        return false;
    if (refused(MellekletekData.setValue(QStringLiteral("IktatasrecordID"), handOver().currentFilingId) && MellekletekData.update())) {
        MellekletekData.cancelUpdate();
        return false;
    }
    // it stays at the end of the list until the next re-query
    refused(MellekletekData.moveLast());
    setRecordCommands(true);
    return true;
}

void IktatasMellekletekFormX::ok()
{
    if (!hasRecords()) {
        noData();
        return;
    }
    if ((MellekletekData.bof() || MellekletekData.eof()) && refused(MellekletekData.moveLast()))
        return;
    const data::Bookmark saved = MellekletekData.bookmark();
    // the typed changes are written; a lock keeps them for another try
    if (refused(MellekletekData.writePending()))
        return;
    if (!MellekletekData.setBookmark(saved)) {
        // gone meanwhile (another workstation deleted it)
        MellekletekData.clearError();
        platform().beep();
        if (hasRecords())
            MellekletekData.moveLast();
        MellekletekData.clearError();
    }
}

void IktatasMellekletekFormX::deleteAttachment()
{
    if (!hasRecords()) {
        noData();
        return;
    }
    platform().setBusyPointer(false);
    platform().beep();
    if (platform().message(this, kWarning, QStringLiteral("Törli véglegesen a kijelölt adatsort?"), MessageIcon::Question,
                           MessageButtons::YesNo) != Answer::Yes)
        return;
    if (refused(MellekletekData.deleteCurrent()))
        return;
    MellekletekData.moveNext();
    MellekletekData.clearError();
    if (!hasRecords()) {
        noData();
        return;
    }
    if (MellekletekData.eof()) {
        MellekletekData.moveLast();
        MellekletekData.clearError();
    }
}

void IktatasMellekletekFormX::showStatement(const QString &statement)
{
    MellekletekData.setRecordSource(statement);
    if (refused(MellekletekData.refresh()))
        return;
    if (!hasRecords()) {
        noData();
        return;
    }
    refused(MellekletekData.moveFirst());
    setRecordCommands(true);
}

void IktatasMellekletekFormX::filterOn() { showStatement(entryStatement()); }

void IktatasMellekletekFormX::filterOff() { showStatement(kAllStatement); }

void IktatasMellekletekFormX::removeFilter() { filterOn(); }

void IktatasMellekletekFormX::searchBy(int search)
{
    if (search < 0 || search >= int(std::size(kSearches)) || !hasRecords())
        return;
    const FieldSearch &texts = kSearches[search];
    const QString field = QString::fromUtf8(texts.field);
    SearchPrompt prompt;
    prompt.title = QString::fromUtf8(texts.title);
    prompt.text = QString::fromUtf8(texts.prompt);
    prompt.criteriaPrefix = QStringLiteral("[%1] like ").arg(field);
    prompt.notFoundText = QString::fromUtf8(texts.notFound);
    prompt.afterMiss = SearchPrompt::AfterMiss::PreviousRecord;
    const SearchResult result = promptAndFind(this, MellekletekData, prompt);
    if (result == SearchResult::Failed) {
        refused(false);
        return;
    }
    if (result != SearchResult::Found)
        return;
    // every attachment with exactly the found value, in any entry
    const QString found = Funcs::NullToEmpty(MellekletekData.value(field));
    if (refused(MellekletekData.runRecordSource(QStringLiteral("select * from Mellekletek where %1 like ").arg(field) +
                                                data::jet::quoted(data::jet::likeLiteral(found)))))
        return;
    if (hasRecords()) {
        MellekletekData.moveLast();
        MellekletekData.moveFirst();
        MellekletekData.clearError();
    }
}

void IktatasMellekletekFormX::invoiceDebts()
{
    const QString debts = QStringLiteral("SzamlaTartozasFormX");
    if (!isScreenRegistered(debts))
        return;
    Screen *screen = createScreen(debts, this);
    if (!screen)
        return;
    screen->showModal();
    delete screen;
    activation();
}

QLineEdit *IktatasMellekletekFormX::pathEdit(Kind kind) const
{
    QLineEdit *const edits[] = {Text2, Text3, Text4, Text5, Text6, Text7, Text8};
    return edits[int(kind)];
}

QString IktatasMellekletekFormX::shownPath(Kind kind) const
{
    const QString text = pathEdit(kind)->text();
    // a picked path longer than the typing limit shows cut; the record holds it whole
    const QString held = MellekletekData.hasCurrent() ? MellekletekData.shownValue(attachments::pathField(kind)).toString() : QString();
    return !text.isEmpty() && held.size() > text.size() && held.startsWith(text) ? held : text;
}

void IktatasMellekletekFormX::open(Kind kind)
{
    const QString path = shownPath(kind);
    if (path.isEmpty()) {
        reportProblem(this, kWarning, attachments::emptyPathMessage(kind), MessageIcon::Exclamation);
        return;
    }
    // the path is one argument as it stands: no command line is ever built from it
    const attachments::Viewer viewer = attachments::viewerFor(kind, officeSuite);
    const bool started = viewer.desktop ? platform().openDocument(path)
                                        : platform().startProgram(viewer.program, viewer.arguments + QStringList{path}, viewer.workingFolder);
    if (started)
        return;
    platform().beep();
    reportProblem(this, kWarning, attachments::notStartedMessage(kind), MessageIcon::Critical);
}

// --- the picking panel ---

void IktatasMellekletekFormX::setFolder(const QString &path)
{
    QDir dir(path);
    folder_ = dir.absolutePath();
    // an unreadable folder lists nothing
    QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    if (!dir.isRoot())
        subfolders.prepend(QStringLiteral(".."));
    folders_->setStringList(subfolders);
    files_->setStringList(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware));
}

void IktatasMellekletekFormX::enterFolder(const QString &name)
{
    if (name.isEmpty())
        return;
    const QString target = QDir::cleanPath(QDir(folder_).filePath(name));
    if (QDir(target).exists())
        setFolder(target);
}

QStringList IktatasMellekletekFormX::folderItems() const { return folders_->stringList(); }

QStringList IktatasMellekletekFormX::fileItems() const { return files_->stringList(); }

QStringList IktatasMellekletekFormX::selectedFiles() const
{
    QModelIndexList selected = File1->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex &index : selected)
        names << index.data().toString();
    return names;
}

bool IktatasMellekletekFormX::chosenKind(Kind &kind) const
{
    const int id = kinds->checkedId();
    if (id < 0)
        return false;
    kind = Kind(id);
    return true;
}

QString IktatasMellekletekFormX::pickedPath(const QString &name) const { return QDir::toNativeSeparators(QDir(folder_).filePath(name)); }

void IktatasMellekletekFormX::pickFile(const QString &name)
{
    Kind kind;
    if (name.isEmpty() || !chosenKind(kind))
        return;
    // a pending change of the current record, written as a typed one is
    refused(MellekletekData.setValue(attachments::pathField(kind), pickedPath(name)));
}

void IktatasMellekletekFormX::pickSelected()
{
    Kind kind;
    const bool chosen = chosenKind(kind);
    for (const QString &name : selectedFiles()) {
        if (!newAttachment())
            return;  // said once: the rest would be refused as well
        if (chosen && refused(MellekletekData.setValue(attachments::pathField(kind), pickedPath(name))))
            return;
    }
}

bool IktatasMellekletekFormX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Dir1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterFolder(Dir1->currentIndex().data().toString());
            return true;
        }
    }
    // Enter on a file picks it, as a double click does
    if (watched == File1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && File1->currentIndex().isValid()) {
            pickFile(File1->currentIndex().data().toString());
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}

}  // namespace tvx
