#include "filing/iktatasformx.h"

#include "common/caught.h"
#include "common/datagrid.h"
#include "common/datefield.h"
#include "common/datepicker.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/formwidgets.h"
#include "common/menus.h"
#include "common/funcs.h"
#include "common/navigator.h"
#include "common/platform.h"
#include "common/screenregistry.h"
#include "common/search.h"
#include "filing/partnergrid.h"
#include "common/session.h"
#include "data/jetsql.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvx {

namespace {

const QString kStatusNew = QStringLiteral("ÚJ ADAT");
const QString kStatusEditing = QStringLiteral("JAVÍTÁS");
const QString kStatusSaved = QStringLiteral("MENTVE");

const QList<GridColumn> kPartnerColumns = filing::partnerGridColumns({
    QStringLiteral("Partner"),
    QStringLiteral("Irányítószám"),
    QStringLiteral("Székhely"),
    QStringLiteral("Cím"),
    QStringLiteral("Telefon"),
    QStringLiteral("FAX"),
    QStringLiteral("Mobil"),
    QStringLiteral("Adószám"),
    QStringLiteral("Számlaszám"),
    QStringLiteral("recordID"),
    QStringLiteral("Kapcsolattartó"),
    QStringLiteral("Ország jele"),
    QStringLiteral("Ügyfél státusz"),
    QStringLiteral("EU Adószám"),
    QStringLiteral("VPID"),
    QStringLiteral("Azonosító ügyfélkód"),
});

// The five filing-number parts and the template fields they take.
struct NumberPart {
    const char *entryField;
    const char *templateField;
};
const NumberPart kNumberParts[] = {
    {"IktatószámJelleg", "Jelleg"}, {"IktatószámJel", "Jel"}, {"IktatószámSzám", "Szám"},
    {"IktatószámAlszám", "Alszám"}, {"IktatószámEgyébjel", "EgyébJel"},
};

QCheckBox *checkBox(const char *name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setLayoutDirection(Qt::RightToLeft);  // the caption stands left of the box
    return box;
}

}  // namespace

IktatasFormX::IktatasFormX(QWidget *parent) : Screen(parent), binder_(new FieldBinder(&TarvixData, this))
{
    setObjectName(QStringLiteral("IktatasFormX"));
    setWindowTitle(QStringLiteral("Iktatás - Tarvix"));
    // the exit routine closes them in this order
    addDataSource(ParameterData);
    addDataSource(TarvixData);
    addDataSource(UgyintezoData);
    addDataSource(TarvixArchivData);
    addDataSource(PartnerData);
    buildWindow();
    buildMenus();

    // A source whose file is missing stays closed; the command that needs it says so.
    for (data::DataSource *source : {&TarvixData, &PartnerData, &ParameterData, &TarvixArchivData, &UgyintezoData}) {
        source->refresh();
        if (source == &TarvixData)
            openError_ = source->lastError();
        source->clearError();
    }
    fillClerks();
}

IktatasFormX::~IktatasFormX() = default;

void IktatasFormX::buildWindow()
{
    auto *central = new QWidget(this);
    auto *page = new QVBoxLayout(central);

    // top: the partner grid on the left, the entry on the right
    auto *top = new QHBoxLayout;
    auto *partnerColumn = new QVBoxLayout;
    auto *partnerCaption = new QLabel(QStringLiteral("Dupla kattintással választ"), central);
    partnerColumn->addWidget(partnerCaption);
    DBGrid2 = new DataGrid(central);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setDataSource(&PartnerData, kPartnerColumns);
    DBGrid2->setColumnWidth(0, 200);
    partnerColumn->addWidget(DBGrid2, 1);
    PartnerNavigator = new DataNavigator(central);
    PartnerNavigator->setObjectName(QStringLiteral("PartnerNavigator"));
    PartnerNavigator->setDataSource(&PartnerData);
    PartnerNavigator->setCaption(QString(4, u' ') + QStringLiteral("Partnertörzs"));
    partnerColumn->addWidget(PartnerNavigator);
    top->addLayout(partnerColumn, 2);

    auto *entry = new QGridLayout;
    Text1 = namedLineEdit("Text1", central);
    Label3 = valueLabel("Label3", central);
    Label3->setMinimumWidth(50);
    Label2 = identifierLabel("Label2", central);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(Text1, 1);
    nameRow->addWidget(Label3);
    nameRow->addSpacing(12);
    nameRow->addWidget(new QLabel(QStringLiteral("RecordID:"), central));
    nameRow->addWidget(Label2);
    entry->addLayout(nameRow, 0, 0, 1, 4);

    Text2 = namedLineEdit("Text2", central);
    Text3 = namedLineEdit("Text3", central);
    Text5 = namedLineEdit("Text5", central);
    Text6 = namedLineEdit("Text6", central);
    Text8 = namedLineEdit("Text8", central);
    Combo1 = new QComboBox(central);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(110);
    Check7 = checkBox("Check7", QStringLiteral("Számlatartozás van:"), central);
    Check1 = checkBox("Check1", QStringLiteral("Előzmények vannak:"), central);
    Datum1 = new DateField(central);
    Datum2 = new DateField(central);
    Datum3 = new DateField(central);
    for (DateField *date : {Datum1, Datum2, Datum3}) {
        date->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        date->setMinimumWidth(130);
    }
    Label20 = Datum1->label();
    Label21 = Datum2->label();
    Label22 = Datum3->label();
    DTPicker1 = Datum1->picker();
    DTPicker2 = Datum2->picker();
    DTPicker3 = Datum3->picker();
    Label20->setObjectName(QStringLiteral("Label20"));
    Label21->setObjectName(QStringLiteral("Label21"));
    Label22->setObjectName(QStringLiteral("Label22"));
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker2->setObjectName(QStringLiteral("DTPicker2"));
    DTPicker3->setObjectName(QStringLiteral("DTPicker3"));

    entry->addWidget(captionFor(Text2, QStringLiteral("Szerződés száma:"), central), 1, 0);
    entry->addWidget(Text2, 1, 1);
    entry->addWidget(captionFor(DTPicker1, QStringLiteral("Szerződés dátuma:"), central), 1, 2);
    entry->addWidget(Datum1, 1, 3);
    entry->addWidget(captionFor(Text3, QStringLiteral("Ügy jellege:"), central), 2, 0);
    entry->addWidget(Text3, 2, 1);
    entry->addWidget(captionFor(DTPicker2, QStringLiteral("Felvitel dátuma:"), central), 2, 2);
    entry->addWidget(Datum2, 2, 3);
    entry->addWidget(captionFor(Text5, QStringLiteral("Kezelési feljegyzés:"), central), 3, 0);
    entry->addWidget(Text5, 3, 1);
    entry->addWidget(captionFor(DTPicker3, QStringLiteral("Irattárba helyezés dátuma:"), central), 3, 2);
    entry->addWidget(Datum3, 3, 3);
    auto *clerkRow = new QHBoxLayout;
    clerkRow->addWidget(Combo1);
    clerkRow->addWidget(Text8, 1);
    entry->addWidget(captionFor(Combo1, QStringLiteral("Ügyintéző:"), central), 4, 0);
    entry->addLayout(clerkRow, 4, 1);
    entry->addWidget(captionFor(Text6, QStringLiteral("Irattári alszám:"), central), 4, 2);
    entry->addWidget(Text6, 4, 3);
    entry->addWidget(Check7, 5, 0, 1, 2, Qt::AlignLeft);
    entry->addWidget(Check1, 5, 2, 1, 2, Qt::AlignLeft);

    // the filing number: five parts, the composite and the status
    auto *parts = new QGridLayout;
    Text9 = namedLineEdit("Text9", central);
    Text10 = namedLineEdit("Text10", central);
    Text11 = namedLineEdit("Text11", central);
    Text12 = namedLineEdit("Text12", central);
    Text13 = namedLineEdit("Text13", central);
    const QList<QPair<QLineEdit *, QString>> partCaptions{
        {Text9, QStringLiteral("Iktatószám jellege:")}, {Text10, QStringLiteral("Iktatószám jele:")},
        {Text11, QStringLiteral("Iktatószám száma:")},  {Text12, QStringLiteral("Iktatószám alszáma:")},
        {Text13, QStringLiteral("Iktatószám egyéb jel:")},
    };
    for (int i = 0; i < partCaptions.size(); ++i) {
        parts->addWidget(captionFor(partCaptions[i].first, partCaptions[i].second, central), 0, i);
        parts->addWidget(partCaptions[i].first, 1, i);
    }
    Label18 = valueLabel("Label18", central);
    QFont bold = Label18->font();
    bold.setBold(true);
    Label18->setFont(bold);
    Label7 = new QLabel(central);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setFont(bold);
    Label7->setMinimumWidth(90);
    Label7->setAlignment(Qt::AlignCenter);
    parts->addWidget(Label18, 2, 0, 1, 4);
    parts->addWidget(Label7, 2, 4);
    entry->addLayout(parts, 6, 0, 1, 4);
    entry->setRowStretch(7, 1);  // the fields keep their height; the room is left below
    entry->setColumnStretch(1, 1);
    entry->setColumnStretch(3, 1);
    top->addLayout(entry, 3);
    page->addLayout(top, 3);

    page->addWidget(captionFor(nullptr, QStringLiteral("Megjegyzés:"), central));
    Text7 = new QPlainTextEdit(central);
    Text7->setObjectName(QStringLiteral("Text7"));
    Text7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text7->setTabChangesFocus(true);
    Text7->setMaximumHeight(70);
    page->addWidget(Text7);

    auto *markers = new QHBoxLayout;
    Check2 = checkBox("Check2", QStringLiteral("Fotó van:"), central);
    Check3 = checkBox("Check3", QStringLiteral("Dokumentum van:"), central);
    Check4 = checkBox("Check4", QStringLiteral("Táblázat van:"), central);
    Check5 = checkBox("Check5", QStringLiteral("Adatbázis van:"), central);
    Check6 = checkBox("Check6", QStringLiteral("E-mail van:"), central);
    for (QCheckBox *box : {Check2, Check3, Check4, Check5, Check6})
        markers->addWidget(box);
    markers->addStretch();
    page->addLayout(markers);

    // the searches
    Frame1 = new QGroupBox(QStringLiteral("Iktatószámra kereső-szűrő (a * jel /csillag/ használható a kereséshez-szűréshez):"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *searchRow = new QHBoxLayout(Frame1);
    QList<QPushButton *> searchButtons;
    for (const filing::FieldSearch &search : filing::fieldSearches()) {
        auto *button = new QPushButton(search.caption, Frame1);
        button->setObjectName(search.button);
        connect(button, &QPushButton::clicked, this, [this, &search] { searchBy(search); });
        searchRow->addWidget(button);
        searchButtons << button;
    }
    Command11 = new QPushButton(QStringLiteral("Szűrés kikapcsolása"), Frame1);
    Command11->setObjectName(QStringLiteral("Command11"));
    connect(Command11, &QPushButton::clicked, this, &IktatasFormX::removeFilter);
    searchRow->addWidget(Command11);
    Command5 = searchButtons[0];
    Command6 = searchButtons[1];
    Command7 = searchButtons[2];
    Command8 = searchButtons[3];
    Command9 = searchButtons[4];
    Command10 = searchButtons[5];
    page->addWidget(Frame1);

    // the list of entries: the first twenty fields, captioned by name
    QList<GridColumn> listColumns;
    for (int i = 0; i < 20; ++i)
        listColumns << GridColumn{filing::entryFields()[i], filing::entryFields()[i]};
    DBGrid1 = new DataGrid(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(&TarvixData, listColumns);
    page->addWidget(DBGrid1, 2);
    TarvixNavigator = new DataNavigator(central);
    TarvixNavigator->setObjectName(QStringLiteral("TarvixNavigator"));
    TarvixNavigator->setDataSource(&TarvixData);
    TarvixNavigator->setCaption(QString(83, u' ') + QStringLiteral("Iktatás adatok listája - Mozgás a nyilakkal"));
    auto navigationButton = [central](const char *name, const QString &text, const QString &tip) {
        auto *button = new QPushButton(text, central);
        button->setObjectName(QString::fromUtf8(name));
        button->setToolTip(tip);
        button->setMaximumWidth(40);
        return button;
    };
    Command1 = navigationButton("Command1", QStringLiteral("<<"), QStringLiteral("Első adat"));
    Command2 = navigationButton("Command2", QStringLiteral("<"), QStringLiteral("Előző"));
    Command3 = navigationButton("Command3", QStringLiteral(">"), QStringLiteral("Következő"));
    Command4 = navigationButton("Command4", QStringLiteral(">>"), QStringLiteral("Utolsó adat"));
    TarvixNavigator->coverArrows(Command1, Command2, Command3, Command4);
    page->addWidget(TarvixNavigator);
    setCentralWidget(central);

    // bindings: control, field, input limit
    const QList<std::tuple<QLineEdit *, const char *, int>> textFields{
        {Text1, "PartnerNeve", 60},      {Text2, "SzerzödésSzáma", 50},   {Text3, "ÜgyJellege", 50},
        {Text5, "KezelésiFeljegyzés", -1}, {Text6, "IrattáriAlszám", 50}, {Text8, "Ügyintézö", 50},
        {Text9, "IktatószámJelleg", 30}, {Text10, "IktatószámJel", 30},   {Text11, "IktatószámSzám", 30},
        {Text12, "IktatószámAlszám", 30}, {Text13, "IktatószámEgyébjel", 30},
    };
    for (const auto &[field, name, limit] : textFields) {
        binder_->bind(field, QString::fromUtf8(name), limit);
        highlightOnFocus(field);
    }
    binder_->bind(Text7, QStringLiteral("Megjegyzés"));
    highlightOnFocus(Text7);
    binder_->bind(Label2, QStringLiteral("recordID"));
    binder_->bind(Label3, QStringLiteral("PartnerID"));
    binder_->bind(Label18, QStringLiteral("Iktatószám"));
    binder_->bind(Datum1, QStringLiteral("SzerzödésDátuma"));
    binder_->bind(Datum2, QStringLiteral("FelvitelDátuma"));
    binder_->bind(Datum3, QStringLiteral("IrattárbaHelyezésDátuma"));
    const QList<QPair<QCheckBox *, const char *>> boxes{
        {Check7, "SzámlaTartozás"}, {Check1, "Elözmények"}, {Check2, "Foto"}, {Check3, "Dokumentum"},
        {Check4, "Táblázat"},       {Check5, "Adatbázis"},  {Check6, "Email"},
    };
    for (const auto &[box, name] : boxes)
        binder_->bind(box, QString::fromUtf8(name));

    connect(Command1, &QPushButton::clicked, this, &IktatasFormX::moveFirst);
    connect(Command2, &QPushButton::clicked, this, &IktatasFormX::movePrevious);
    connect(Command3, &QPushButton::clicked, this, &IktatasFormX::moveNext);
    connect(Command4, &QPushButton::clicked, this, &IktatasFormX::moveLast);
    connect(DBGrid1, &DataGrid::rowClicked, this, [this] { modes.setMode(ModeSwitch::Browse); });
    connect(DBGrid2, &DataGrid::rowDoubleClicked, this, &IktatasFormX::choosePartner);
    DBGrid2->installEventFilter(this);  // Enter chooses, as a double click does
    connect(Combo1, &QComboBox::activated, this, &IktatasFormX::chooseClerk);
    reportRefusedRecord(this, DBGrid1, TarvixNavigator, binder_, [this](const data::Error &) { refused(false); });
    resize(1200, 800);
}

void IktatasFormX::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto action = [bar](QMenu *menu, const char *name, const QString &caption) { return addNamedAction(bar, menu, name, caption); };
    auto disabledItem = [this, action](QMenu *menu, const QString &caption) {
        menu->addSeparator();
        action(menu, "", caption)->setEnabled(false);
    };

    Oke = action(nullptr, "Oké", QStringLiteral("&OK"));
    Modositas = action(nullptr, "Modositas", QStringLiteral("&Módosítás"));
    UjAdat = action(nullptr, "UjAdat", QStringLiteral("&Új adat"));
    Mellekletek = bar->addMenu(QStringLiteral("&Mellékletek"));
    Mellekletek->setObjectName(QStringLiteral("Mellekletek"));
    MindenMelleklet = action(Mellekletek, "MindenMelleklet", QStringLiteral("Minden melléklet"));
    Mellekletek->addSeparator();
    Szamlatartozas = action(Mellekletek, "Szamlatartozas", QStringLiteral("Számlatartozás"));
    for (const QString &caption : {QStringLiteral("Fotók"), QStringLiteral("Dokumentumok"), QStringLiteral("Táblázatok"),
                                   QStringLiteral("Adatbázisok"), QStringLiteral("E-mail")})
        disabledItem(Mellekletek, caption);
    Torzsek = bar->addMenu(QStringLiteral("&Törzsek"));
    Torzsek->setObjectName(QStringLiteral("Torzsek"));
    Partnertorzs = action(Torzsek, "Partnertorzs", QStringLiteral("Partnertörzs"));
    for (const QString &caption :
         {QStringLiteral("Ügyintézők törzs"), QStringLiteral("Kezelési feljegyzés törzs"), QStringLiteral("Ügy jellege törzs")})
        disabledItem(Torzsek, caption);
    Parameterezes = bar->addMenu(QStringLiteral("&Paraméterezés"));
    Parameterezes->setObjectName(QStringLiteral("Parameterezes"));
    Iktatoszamok = action(Parameterezes, "Iktatoszamok", QStringLiteral("Iktatószámok"));
    addMenuSpacer(bar);
    Torles = action(nullptr, "Torles", QStringLiteral("&Törlés"));
    addMenuSpacer(bar);
    Nyomtatas = action(nullptr, "Nyomtatas", QStringLiteral("&Nyomtatás"));
    Nyomtatas->setEnabled(false);
    Segedlet = action(nullptr, "Segedlet", QStringLiteral("&Segédlet"));
    Segedlet->setEnabled(false);
    KilepesItem = action(nullptr, "Kilepes", QStringLiteral("&Kilépés"));

    // as the screen opens: OK and "Új adat" wait for edit mode
    Oke->setEnabled(false);
    UjAdat->setEnabled(false);

    connect(Oke, &QAction::triggered, this, &IktatasFormX::ok);
    connect(Modositas, &QAction::triggered, this, &IktatasFormX::modify);
    connect(UjAdat, &QAction::triggered, this, &IktatasFormX::newEntry);
    connect(MindenMelleklet, &QAction::triggered, this, &IktatasFormX::allAttachments);
    connect(Szamlatartozas, &QAction::triggered, this, &IktatasFormX::invoiceDebts);
    connect(Partnertorzs, &QAction::triggered, this, &IktatasFormX::partnerMaster);
    connect(Iktatoszamok, &QAction::triggered, this, &IktatasFormX::filingNumberTemplates);
    connect(Torles, &QAction::triggered, this, &IktatasFormX::deleteEntry);
    connect(KilepesItem, &QAction::triggered, this, &IktatasFormX::Kilepes);

    // browse mode: nothing can be typed, the dates are labels
    modes.editOnly({Text1, Text2, Text3, Text5, Text6, Text7, Text8, Text9, Text10, Text11, Text12, Text13, Check1, Check2, Check3,
                    Check4, Check5, Check6, Check7, DBGrid2, Combo1});
    modes.editOnly({UjAdat});
    modes.disabledInBrowse({Oke});
    modes.dateFields({Datum1, Datum2, Datum3});
    modes.onSwitch([this](ModeSwitch::Mode mode) {
        if (mode == ModeSwitch::Browse)
            Label7->clear();
    });
    modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::fillClerks()
{
    Combo1->clear();
    if (!UgyintezoData.isOpen())
        return;
    auto users = UgyintezoData.recordset();
    const int name = users->fieldIndex(QStringLiteral("Felhasználó"));
    for (int row = 0; name >= 0 && row < users->recordCount(); ++row) {
        const QString user = Funcs::NullToEmpty(users->valueAt(row, name));
        if (!user.isEmpty() && Combo1->findText(user, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
            Combo1->addItem(user);
    }
    Combo1->setCurrentIndex(-1);
}

bool IktatasFormX::refused(bool stepOk) { return refusedStep(this, TarvixData, stepOk, lockmessages::kFilingEntryLocked); }

bool IktatasFormX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choosePartner();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}

void IktatasFormX::activation()
{
    platform().setBusyPointer(false);
    if (openError_) {
        const data::Error error = std::exchange(openError_, data::Error{});
        platform().beep();
        platform().message(this, QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical, MessageButtons::Ok);
    }
    if (!TarvixData.isOpen())
        return;
    if (!hasEntries()) {
        Label7->setText(kStatusNew);
        QString identifier;
        if (refused(filing::addEntry(TarvixData, TarvixArchivData, platform().clock(), identifier)))
            return;
        handOver().currentFilingId = identifier;
        modes.setMode(ModeSwitch::Edit);
        return;
    }
    Label7->clear();
    if (refused(TarvixData.moveLast()))
        return;
    modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::moveFirst()
{
    if (hasEntries() && !refused(TarvixData.moveFirst()))
        modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::movePrevious()
{
    if (!hasEntries())
        return;
    if (refused(TarvixData.movePrevious()))
        return;
    if (TarvixData.bof() && refused(TarvixData.moveFirst()))
        return;
    modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::moveNext()
{
    if (!hasEntries())
        return;
    if (refused(TarvixData.moveNext()))
        return;
    if (TarvixData.eof() && refused(TarvixData.moveLast()))
        return;
    modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::moveLast()
{
    if (hasEntries() && !refused(TarvixData.moveLast()))
        modes.setMode(ModeSwitch::Browse);
}

void IktatasFormX::modify()
{
    Label7->setText(kStatusEditing);
    modes.setMode(ModeSwitch::Edit);
    Oke->setEnabled(true);
}

void IktatasFormX::newEntry()
{
    if (!UjAdat->isEnabled())
        return;
    platform().setBusyPointer(true);
    QString identifier;
    const bool added = filing::addEntry(TarvixData, TarvixArchivData, platform().clock(), identifier);
    platform().setBusyPointer(false);
    if (refused(added))
        return;
    handOver().currentFilingId = identifier;
    UjAdat->setEnabled(false);
    Modositas->setEnabled(false);
    Oke->setEnabled(true);
    Label7->setText(kStatusNew);
}

void IktatasFormX::choosePartner()
{
    UjAdat->setEnabled(false);
    if (PartnerData.recordCount() < 1) {
        reportProblem(this, QStringLiteral("FIGYELEM!"), QStringLiteral("A partnertörzsben nincsenek adatok!"), MessageIcon::Critical);
        return;
    }
    if (!hasEntries())
        return;
    const QString name = Funcs::NullToEmpty(PartnerData.value(kPartnerColumns[filing::kPartnerNameColumn].field));
    const QVariant id = PartnerData.value(kPartnerColumns[filing::kPartnerIdColumn].field);
    PartnerData.clearError();
    if (refused(TarvixData.setValue(QStringLiteral("PartnerNeve"), name) && TarvixData.setValue(QStringLiteral("PartnerID"), id)))
        return;
    offerTemplate(name);
}

void IktatasFormX::offerTemplate(const QString &partnerName)
{
    // exact equality on the name, taken literally
    ParameterData.setRecordSource(QStringLiteral("select * from Iktatoszam where PartnerNeve = ") + data::jet::quoted(partnerName));
    if (refusedStep(this, ParameterData, ParameterData.refresh(), lockmessages::kFilingEntryLocked))
        return;
    if (ParameterData.recordCount() < 1)
        return;
    platform().setBusyPointer(false);
    platform().beep();
    if (platform().message(this, QStringLiteral("FIGYELEM!"), QStringLiteral("Kéri a partner iktatási formáját alkalmazni?"),
                           MessageIcon::None, MessageButtons::YesNo) != Answer::Yes)
        return;
    // the partner's template is the last of its rows in table order
    if (refusedStep(this, ParameterData, ParameterData.moveLast(), lockmessages::kFilingEntryLocked))
        return;
    for (const NumberPart &part : kNumberParts) {
        const QString value = Funcs::NullToEmpty(ParameterData.value(QString::fromUtf8(part.templateField)));
        ParameterData.clearError();
        if (refused(TarvixData.setValue(QString::fromUtf8(part.entryField), value)))
            return;
    }
}

void IktatasFormX::ok()
{
    // an entry file that could not be opened took nothing: no "MENTVE" for it
    if (!TarvixData.isOpen()) {
        refused(TarvixData.writePending());
        return;
    }
    if (hasEntries()) {
        const QString number = filing::composeFilingNumber({Text9->text(), Text10->text(), Text11->text(), Text12->text(), Text13->text()});
        // saved where it stands, without moving; a save the lock refuses keeps
        // the typed changes and is not reported as saved
        if (refused(TarvixData.setValue(QStringLiteral("Iktatószám"), number) && TarvixData.writePending()))
            return;
    }
    Modositas->setEnabled(true);
    Label7->setText(kStatusSaved);
}

void IktatasFormX::searchBy(const filing::FieldSearch &search)
{
    if (!hasEntries())
        return;
    SearchPrompt prompt;
    prompt.title = search.title;
    prompt.text = search.prompt;
    prompt.criteriaPrefix = QStringLiteral("[%1] like ").arg(search.field);
    prompt.notFoundText = search.notFound;
    prompt.afterMiss = SearchPrompt::AfterMiss::PreviousRecord;
    const SearchResult result = promptAndFind(this, TarvixData, prompt);
    if (result == SearchResult::Failed) {
        refused(false);
        return;
    }
    if (result != SearchResult::Found)
        return;
    const QString found = Funcs::NullToEmpty(TarvixData.value(search.field));
    refused(TarvixData.runRecordSource(filing::filterStatement(search, found)));
}

void IktatasFormX::removeFilter()
{
    refused(TarvixData.runRecordSource(filing::wholeTableStatement()));
}

void IktatasFormX::deleteEntry()
{
    if (!hasEntries()) {
        Torles->setEnabled(false);
        platform().setBusyPointer(false);
        return;
    }
    Torles->setEnabled(true);
    platform().setBusyPointer(false);
    platform().beep();
    if (platform().message(this, QStringLiteral("FIGYELEM! TÖRLÉS ARCHIVÁLÁSSAL! "), QStringLiteral("Valóban törli a lap tartalmát (adatot)?"),
                           MessageIcon::None, MessageButtons::YesNo) != Answer::Yes) {
        platform().setBusyPointer(false);
        return;
    }
    platform().setBusyPointer(true);
    const filing::ArchivingResult result = filing::archiveAndDelete(TarvixData, TarvixArchivData);
    if (result.outcome != filing::Archiving::Deleted) {
        platform().setBusyPointer(false);
        platform().beep();
        // a lock is another workstation's; a file that cannot be written is not
        const bool locked = !result.error || result.error.code == data::ErrorCode::Locked || result.error.code == data::ErrorCode::Busy;
        const QString text = result.outcome != filing::Archiving::EntryLocked
                                 ? QStringLiteral("Az adat archiválása nem sikerült, ezért semmi sem törlődött!")
                             : locked ? QStringLiteral("Az adatot egy másik munkahely éppen használja, ezért nem törlődött! Próbálja újra!")
                                      : QStringLiteral("Az adat archiválva lett, de a törlése nem sikerült, ezért megmaradt!");
        const QString reason = result.error ? QStringLiteral("\n\n") + result.error.message : QString();
        platform().message(this, QStringLiteral("FIGYELEM!"), text + reason, MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    if (!hasEntries()) {
        reportProblem(this, QStringLiteral("FIGYELEM!"), QStringLiteral("Minden adat törölve! Kilépés a főmenüre!"),
                      MessageIcon::Exclamation);
        Kilepes();
        return;
    }
    if (TarvixData.eof())
        TarvixData.moveLast();
    TarvixData.clearError();
    platform().setBusyPointer(false);
}

bool IktatasFormX::openScreen(const QString &name)
{
    if (!isScreenRegistered(name))
        return false;
    Screen *screen = createScreen(name, this);
    if (!screen)
        return false;
    screen->showModal();
    delete screen;
    return true;
}

void IktatasFormX::allAttachments()
{
    handOver().singleEntryAttachments = true;
    handOver().currentFilingId = Label2->text();
    if (openScreen(QStringLiteral("IktatasMellekletekFormX")))
        activation();
}

void IktatasFormX::invoiceDebts()
{
    handOver().currentFilingId = Label2->text();
    handOver().currentPartnerName = Text1->text();
    handOver().currentFilingNumber = Label18->text();
    const QString debts = QStringLiteral("SzamlaTartozasFormX");
    if (!isScreenRegistered(debts))
        return;
    hide();
    openScreen(debts);
    show();  // activation runs as the screen shows again
    activateWindow();
}

void IktatasFormX::partnerMaster()
{
    if (!openScreen(QStringLiteral("BeraktarozokFormX")))
        return;
    PartnerData.requery();
    PartnerData.clearError();
    activation();
}

void IktatasFormX::filingNumberTemplates()
{
    if (!isScreenRegistered(QStringLiteral("ParameterFormX")))
        return;
    setEnabled(false);
    openScreen(QStringLiteral("ParameterFormX"));
    setEnabled(true);
    activation();
}

void IktatasFormX::chooseClerk(int index)
{
    if (index < 0 || !hasEntries())
        return;
    refused(TarvixData.setValue(QStringLiteral("Ügyintézö"), Combo1->itemText(index)));
}

}  // namespace tvx
