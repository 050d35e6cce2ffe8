#include "partners/beraktarozokformx.h"

#include "common/activitylog.h"
#include "common/caught.h"
#include "common/datagrid.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/funcs.h"
#include "common/navigator.h"
#include "common/platform.h"
#include "common/screenregistry.h"
#include "common/search.h"
#include "common/session.h"
#include "partners/partnerlist.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace tvx {

namespace {

const QString kName = QStringLiteral("BerNev");
const QString kIdentifier = QStringLiteral("recordID");
const QString kCountry = QStringLiteral("BerOrszag");
const QString kDigits = QStringLiteral("0123456789");

const QString kCheckQuestion = QStringLiteral("Kéri az adatok teljes ellenőrzését?");
const QString kCheckTitle = QStringLiteral("Ellenőrzés");

// The entry fields: caption, field, input limit (-1: none), digits only.
struct EntryField {
    const char *object;
    const char *caption;
    const char *field;
    int limit;
    bool digitsOnly;
    bool highlighted;
};
const EntryField kEntryFields[] = {
    {"BerNevText", "Partner (cég) neve:", "BerNev", 50, false, true},
    {"BerIrszamText", "Postai irányítószám:", "BerIrszam", 7, true, true},
    {"BerSzekhelyText", "Székhely:", "BerSzekhely", 40, false, true},
    {"BerCimText", "Cím:", "BerCim", 40, false, true},
    {"BerTelefonText", "Telefon:", "BerTelefon", 15, true, true},
    {"BerFaxText", "FAX:", "BerFax", 15, true, true},
    {"BerMobilText", "Mobil:", "BerMobil", 15, true, true},
    {"BerAdoszamText", "Adószám:", "BerAdoszam", 15, true, true},
    {"BerSzamlaszamText", "Banki számlaszám:", "BerSzamlaszam", 25, true, true},
    {"KapcsolattartoText", "Kapcsolattartó neve:", "Kapcsolattartó", 50, false, true},
    {"UgyfelStatusText", "Ügyféli státusz:", "UgyfelStatus", 1, true, true},
    {"BerEUAdoszamText", "EU adószám:", "BerEUAdoszam", -1, false, false},
};

const QList<GridColumn> kPartnerColumns{
    {QStringLiteral("Partner neve"), QStringLiteral("BerNev")},
    {QStringLiteral("Irányítószám"), QStringLiteral("BerIrszam")},
    {QStringLiteral("Székhely"), QStringLiteral("BerSzekhely")},
    {QStringLiteral("Cím"), QStringLiteral("BerCim")},
    {QStringLiteral("Telefon"), QStringLiteral("BerTelefon")},
    {QStringLiteral("FAX"), QStringLiteral("BerFax")},
    {QStringLiteral("Mobil"), QStringLiteral("BerMobil")},
    {QStringLiteral("Adószám"), QStringLiteral("BerAdoszam")},
    {QStringLiteral("Számlaszám"), QStringLiteral("BerSzamlaszam")},
    {QStringLiteral("recordID"), QStringLiteral("recordID")},
    {QStringLiteral("Kapcsolattartó"), QStringLiteral("Kapcsolattartó")},
    {QStringLiteral("Ország jele"), QStringLiteral("BerOrszag")},
    {QStringLiteral("Ügyféli státus"), QStringLiteral("UgyfelStatus")},
    {QStringLiteral("EU adószám"), QStringLiteral("BerEUAdoszam")},
};

const QList<GridColumn> kCountryColumns{
    {QStringLiteral("Országjel"), QStringLiteral("Országjel")},
    {QStringLiteral("Ország"), QStringLiteral("Ország")},
};

bool isNameless(const QVariant &name) { return Funcs::NullToEmpty(name).isEmpty(); }

}  // namespace

BeraktarozokFormX::BeraktarozokFormX(QWidget *parent) : Screen(parent), binder_(new FieldBinder(&Beraktarozok, this))
{
    setObjectName(QStringLiteral("BeraktarozokFormX"));
    setWindowTitle(QStringLiteral("Partnerek - Tarvix"));
    addDataSource(Beraktarozok);
    addDataSource(Regisztralas);
    addDataSource(Data1);
    buildWindow();

    // initialisation: the data sources open with the window; one that cannot
    // open stays closed, and the steps that use it fail quietly
    for (data::DataSource *source : {&Beraktarozok, &Data1, &Regisztralas}) {
        if (!source->refresh() && source == &Beraktarozok)
            openError_ = source->lastError();  // said at the first activation
        source->clearError();
    }
    SetQui(true);
    if (tableIsEmpty() && Beraktarozok.isOpen()) {
        Beraktarozok.requery();
        addPlaceholder(true);
    }
    platform().setBusyPointer(false);

    // load
    ProgressBar1->setVisible(false);
    OrszagGrid->setVisible(false);
}

BeraktarozokFormX::~BeraktarozokFormX() = default;

void BeraktarozokFormX::buildWindow()
{
    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);

    // left: the partner's fields
    auto *left = new QVBoxLayout;
    auto *idRow = new QHBoxLayout;
    idRow->addStretch();
    auto *idCaption = new QLabel(QStringLiteral("Azonosító sorszám:"), central);
    idRow->addWidget(idCaption);
    RecordIdLabel = new QLabel(central);
    RecordIdLabel->setObjectName(QStringLiteral("RecordIdLabel"));
    RecordIdLabel->setMinimumWidth(90);
    RecordIdLabel->setAutoFillBackground(true);
    RecordIdLabel->setFrameShape(QFrame::Box);
    RecordIdLabel->setAlignment(Qt::AlignCenter);
    QPalette tipPalette = RecordIdLabel->palette();
    tipPalette.setColor(QPalette::Window, QToolTip::palette().color(QPalette::ToolTipBase));
    tipPalette.setColor(QPalette::WindowText, QToolTip::palette().color(QPalette::ToolTipText));
    RecordIdLabel->setPalette(tipPalette);
    idRow->addWidget(RecordIdLabel);
    left->addLayout(idRow);

    auto *form = new QGridLayout;
    QList<QLineEdit *> fields;
    int row = 0;
    for (const EntryField &entry : kEntryFields) {
        auto *caption = new QLabel(QString::fromUtf8(entry.caption), central);
        const QString field = QString::fromUtf8(entry.field);
        if (field == kName || field == QStringLiteral("BerSzekhely")) {
            QFont underlined = caption->font();
            underlined.setUnderline(true);
            caption->setFont(underlined);
        }
        auto *edit = new QLineEdit(central);
        edit->setObjectName(QString::fromUtf8(entry.object));
        caption->setBuddy(edit);
        form->addWidget(caption, row, 0);
        if (field == QStringLiteral("UgyfelStatus")) {
            auto *statusRow = new QHBoxLayout;
            edit->setMaximumWidth(40);
            statusRow->addWidget(edit);
            statusRow->addWidget(new QLabel(QStringLiteral("0=Nincs minősítés; 1=ISO; 2=Kiemelt; 3=Figyelendő; 4=Tiltott"), central));
            statusRow->addStretch();
            form->addLayout(statusRow, row, 1);
        } else {
            form->addWidget(edit, row, 1);
        }
        binder_->bind(edit, field, entry.limit);
        if (entry.digitsOnly)
            acceptOnly(edit, kDigits);
        if (entry.highlighted)
            highlightOnFocus(edit);
        fields << edit;
        ++row;
    }
    BerNevText = fields[0];
    BerIrszamText = fields[1];
    BerSzekhelyText = fields[2];
    BerCimText = fields[3];
    BerTelefonText = fields[4];
    BerFaxText = fields[5];
    BerMobilText = fields[6];
    BerAdoszamText = fields[7];
    BerSzamlaszamText = fields[8];
    KapcsolattartoText = fields[9];
    UgyfelStatusText = fields[10];
    BerEUAdoszamText = fields[11];
    BerIrszamText->installEventFilter(this);  // a click selects the whole postal code
    left->addLayout(form);

    auto *countryBox = new QHBoxLayout;
    auto *countryColumn = new QVBoxLayout;
    countryColumn->addWidget(new QLabel(QStringLiteral("Ország jelzése:"), central));
    BerOrszagLabel = new QLabel(central);
    BerOrszagLabel->setObjectName(QStringLiteral("BerOrszagLabel"));
    BerOrszagLabel->setFrameShape(QFrame::Panel);
    BerOrszagLabel->setFrameShadow(QFrame::Sunken);
    BerOrszagLabel->setMinimumWidth(60);
    countryColumn->addWidget(BerOrszagLabel);
    countryBox->addLayout(countryColumn);
    OrszagButton = new QPushButton(QStringLiteral("Ország"), central);
    OrszagButton->setObjectName(QStringLiteral("OrszagButton"));
    countryBox->addWidget(OrszagButton, 0, Qt::AlignBottom);
    countryBox->addStretch();
    left->addLayout(countryBox);
    binder_->bind(BerOrszagLabel, kCountry);
    binder_->bind(RecordIdLabel, kIdentifier);

    OrszagGrid = new DataGrid(central);
    OrszagGrid->setObjectName(QStringLiteral("OrszagGrid"));
    OrszagGrid->setDataSource(&Data1, kCountryColumns);
    OrszagGrid->setSortable(true);
    OrszagGrid->setToolTip(QStringLiteral("Dupla kattintással válasszon!"));
    OrszagGrid->setMinimumHeight(160);
    OrszagGrid->horizontalHeader()->setStretchLastSection(true);
    OrszagGrid->installEventFilter(this);  // Enter chooses, as a double click does
    highlightOnFocus(OrszagGrid);
    left->addWidget(OrszagGrid);
    left->addStretch();

    auto *buttons = new QHBoxLayout;
    OkButton = new QPushButton(QStringLiteral("OK"), central);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    MegseButton = new QPushButton(QStringLiteral("Mégse"), central);
    MegseButton->setObjectName(QStringLiteral("MegseButton"));
    buttons->addWidget(OkButton);
    buttons->addWidget(MegseButton);
    buttons->addStretch();
    left->addLayout(buttons);
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    left->addWidget(ProgressBar1);
    columns->addLayout(left, 2);

    // right: finding and the partner grid
    auto *right = new QVBoxLayout;
    KeresesLabel = new QLabel(QStringLiteral("<      Keresés (cég)névre     >"), central);
    KeresesLabel->setObjectName(QStringLiteral("KeresesLabel"));
    KeresesLabel->setAlignment(Qt::AlignCenter);
    KeresesLabel->setAutoFillBackground(true);
    QPalette searchPalette = KeresesLabel->palette();
    searchPalette.setColor(QPalette::Window, Qt::blue);
    searchPalette.setColor(QPalette::WindowText, Qt::white);
    KeresesLabel->setPalette(searchPalette);
    KeresesLabel->setCursor(Qt::PointingHandCursor);
    KeresesLabel->installEventFilter(this);
    right->addWidget(KeresesLabel);
    SzuroText = new QLineEdit(central);
    SzuroText->setObjectName(QStringLiteral("SzuroText"));
    right->addWidget(SzuroText);
    PartnerGrid = new DataGrid(central);
    PartnerGrid->setObjectName(QStringLiteral("PartnerGrid"));
    PartnerGrid->setDataSource(&Beraktarozok, kPartnerColumns);
    PartnerGrid->setSortable(true);
    PartnerGrid->setColumnWidth(0, 220);
    highlightOnFocus(PartnerGrid);
    right->addWidget(PartnerGrid, 1);
    auto *note = new QLabel(QStringLiteral("(Adatbeviteli sorrendben)"), central);
    right->addWidget(note);
    PartnerNavigator = new DataNavigator(central);
    PartnerNavigator->setObjectName(QStringLiteral("PartnerNavigator"));
    PartnerNavigator->setDataSource(&Beraktarozok);
    PartnerNavigator->setCaption(QString(27, u' ') + QStringLiteral("Partnerek - Mozgás a táblában a nyilakkal"));
    right->addWidget(PartnerNavigator);
    columns->addLayout(right, 3);
    setCentralWidget(central);

    // tab order: the fields, then the country button and the grids
    QWidget *previous = nullptr;
    for (QWidget *w : QList<QWidget *>{BerNevText, BerIrszamText, BerSzekhelyText, BerCimText, BerTelefonText, BerFaxText,
                                       BerMobilText, BerAdoszamText, BerSzamlaszamText, KapcsolattartoText, UgyfelStatusText,
                                       BerEUAdoszamText, OrszagButton, OrszagGrid, OkButton, MegseButton, SzuroText, PartnerGrid}) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }

    auto *data = menuBar()->addMenu(QStringLiteral("&Adatkezelés"));
    UjPartner = data->addAction(QStringLiteral("Új partner"));
    UjPartner->setObjectName(QStringLiteral("UjPartner"));
    data->addSeparator();
    Torles = data->addAction(QStringLiteral("Törlés"));
    Torles->setObjectName(QStringLiteral("Torles"));
    data->addSeparator();
    MentesKilepes = data->addAction(QStringLiteral("Mentés-Kilépés"));
    MentesKilepes->setObjectName(QStringLiteral("MentesKilepes"));
    Nyomtatas = menuBar()->addAction(QStringLiteral("&Nyomtatás"));
    Nyomtatas->setObjectName(QStringLiteral("Nyomtatas"));
    Segedlet = menuBar()->addAction(QStringLiteral("&Segédlet"));
    Segedlet->setObjectName(QStringLiteral("Segedlet"));

    connect(UjPartner, &QAction::triggered, this, &BeraktarozokFormX::newPartner);
    connect(Torles, &QAction::triggered, this, &BeraktarozokFormX::deletePartner);
    connect(MentesKilepes, &QAction::triggered, this, &BeraktarozokFormX::saveAndExit);
    connect(Nyomtatas, &QAction::triggered, this, &BeraktarozokFormX::printList);
    connect(Segedlet, &QAction::triggered, this, &BeraktarozokFormX::openHelp);
    connect(OkButton, &QPushButton::clicked, this, &BeraktarozokFormX::confirmPartner);
    connect(OrszagButton, &QPushButton::clicked, this, &BeraktarozokFormX::findCountry);
    connect(MegseButton, &QPushButton::clicked, this, &BeraktarozokFormX::Kilepes);
    connect(SzuroText, &QLineEdit::textEdited, this, &BeraktarozokFormX::filterChanged);
    connect(OrszagGrid, &DataGrid::rowDoubleClicked, this, &BeraktarozokFormX::chooseCountry);
    reportRefusedRecord(this, PartnerGrid, PartnerNavigator, binder_, [this](const data::Error &) { refused(false, Beep::No); });
    resize(1180, 620);
}

bool BeraktarozokFormX::refused(bool stepOk, Beep beep)
{
    return refusedStep(this, Beraktarozok, stepOk, lockmessages::kPartnerLocked, beep);
}

void BeraktarozokFormX::refused(const data::Error &error, Beep beep)
{
    // A record lock, or another program writing the file, is the lock message;
    // anything else (a missing or damaged file) says what it is.
    const bool locked = error.code == data::ErrorCode::Locked || error.code == data::ErrorCode::Busy || !error;
    caught(this, Beraktarozok, false,
           locked ? lockmessages::kPartnerLocked : LockMessage{QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical}, beep);
}

bool BeraktarozokFormX::tableIsEmpty() const { return Beraktarozok.recordCount() < 1; }

void BeraktarozokFormX::addPlaceholder(bool emptyName)
{
    // Another workstation may have added partners since the table was read:
    // the placeholder is only for a table that is really empty.
    const bool added = Beraktarozok.addNew() && Beraktarozok.setValue(kIdentifier, 1) &&
                       (!emptyName || Beraktarozok.setValue(kName, QString())) && Beraktarozok.update(data::onlyIntoEmptyTable());
    if (!added) {
        Beraktarozok.cancelUpdate();
        Beraktarozok.clearError();
        Beraktarozok.requery();
    }
    Beraktarozok.moveLast();
    Beraktarozok.clearError();
}

void BeraktarozokFormX::activation()
{
    platform().setBusyPointer(false);
    if (openError_) {
        const data::Error error = std::exchange(openError_, data::Error{});
        platform().beep();
        platform().message(this, QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical, MessageButtons::Ok);
    }
    if (tableIsEmpty() && Beraktarozok.isOpen())
        addPlaceholder(false);
    SzuroText->setFocus(Qt::OtherFocusReason);
}

bool BeraktarozokFormX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == KeresesLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        searchByName();
        return true;
    }
    if (watched == OrszagGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseCountry();
            return true;
        }
    }
    if (watched == BerIrszamText && event->type() == QEvent::MouseButtonRelease) {
        selectWholeContent(BerIrszamText);
        return false;
    }
    return Screen::eventFilter(watched, event);
}

void BeraktarozokFormX::filterChanged(const QString &text)
{
    // no message: the grid simply stays where it is when nothing matches
    findAsYouType(Beraktarozok, QStringLiteral("BerNev"), text);
}

void BeraktarozokFormX::searchByName()
{
    if (tableIsEmpty()) {
        addPlaceholder(false);
        return;
    }
    SearchPrompt prompt;
    prompt.title = QStringLiteral("Keresés (cég)névre");
    prompt.text = QStringLiteral("Kérem a beraktározó nevét:");
    prompt.criteriaPrefix = QStringLiteral("[BerNev] like ");
    prompt.appended = QStringLiteral("*");
    prompt.notFoundText = QStringLiteral("Nincs ilyen beraktározó! Keressen újra, vagy válasszon a listából!");
    prompt.emptyAnswerSearches = true;
    if (promptAndFind(this, Beraktarozok, prompt) == SearchResult::Failed)
        refused(false, Beep::No);
}

void BeraktarozokFormX::findCountry()
{
    SearchPrompt prompt;
    prompt.title = QStringLiteral("Keresés országra");
    prompt.text = QStringLiteral("Kérem az ország nevét:");
    prompt.criteriaPrefix = QStringLiteral("[Ország] like ");
    prompt.appended = QStringLiteral("*");
    prompt.notFoundText = QStringLiteral("Nincs ilyen ország! Keressen újra, vagy válasszon a listából!");
    prompt.emptyAnswerSearches = true;
    if (promptAndFind(this, Data1, prompt) == SearchResult::Failed)
        Data1.clearError();
    OrszagGrid->setVisible(true);
    OrszagGrid->setFocus(Qt::OtherFocusReason);
}

void BeraktarozokFormX::chooseCountry()
{
    if (!tableIsEmpty()) {
        if (!Beraktarozok.edit()) {
            Beraktarozok.clearError();  // locked elsewhere: the list just closes
        } else {
            const QVariant code = Data1.value(QStringLiteral("Országjel"));
            Data1.clearError();
            if (!Beraktarozok.setValue(kCountry, code))
                Beraktarozok.clearError();
            refused(Beraktarozok.update(), Beep::No);
        }
    }
    OrszagGrid->setVisible(false);
}

void BeraktarozokFormX::newPartner()
{
    platform().setBusyPointer(true);
    // the highest identifier is read, and the new partner written, in one write:
    // two workstations never hand out the same identifier
    qint64 identifier = 1;
    const bool saved = Beraktarozok.addNew() && Beraktarozok.update([&identifier](data::WriteCheck &check) {
        QVariant highest;
        if (data::Error e = check.highest(kIdentifier, highest))
            return e;
        identifier = std::max<qint64>(highest.toLongLong(), 0) + 1;
        return check.setValue(kIdentifier, identifier);
    });
    if (!saved) {
        const data::Error error = Beraktarozok.lastError();
        Beraktarozok.cancelUpdate();
        Beraktarozok.clearError();
        refused(error);
        return;
    }
    Beraktarozok.requery();
    Beraktarozok.moveFirst();
    const bool found = Beraktarozok.findFirst(QStringLiteral("[recordID] = %1").arg(identifier)) && !Beraktarozok.noMatch();
    Beraktarozok.clearError();
    if (!found) {
        platform().setBusyPointer(false);
        platform().beep();
        return;
    }
    ProgressBar1->setVisible(false);
    BerNevText->setFocus(Qt::OtherFocusReason);
    writeActivityLogRow(Regisztralas, QStringLiteral("Új beszállító felvitele"), ActivityLogFields::ActionOnly);
    platform().setBusyPointer(false);
}

void BeraktarozokFormX::confirmPartner()
{
    platform().setBusyPointer(false);
    if (tableIsEmpty())
        return;
    PartnerGrid->setVisible(true);
    if (!Beraktarozok.edit()) {
        Beraktarozok.clearError();
        Beraktarozok.requery();  // the grid reads the table anew with it
        Beraktarozok.moveFirst();
        Beraktarozok.moveLast();
        Beraktarozok.clearError();
        platform().beep();
        platform().message(this, QStringLiteral("FIGYELEM!"), QStringLiteral("Táblázatba bevitelkor Enter-t kell ütni!"),
                           MessageIcon::None, MessageButtons::Ok);
        return;
    }
    const QVariant id = Beraktarozok.value(kIdentifier);
    bool saved = false;
    if (id.isNull() || id.toLongLong() == 0) {
        // the repair reads the highest identifier inside the save, so a partner
        // added meanwhile elsewhere is counted
        saved = Beraktarozok.update([](data::WriteCheck &check) {
            QVariant highest;
            if (data::Error e = check.highest(kIdentifier, highest, QStringLiteral("[recordID] > 0")))
                return e;
            if (!highest.isNull() && highest.toLongLong() > 0)
                return check.setValue(kIdentifier, highest.toLongLong() + 1);
            return data::Error{};
        });
    } else {
        saved = Beraktarozok.update();
    }
    refused(saved, Beep::No);
}

void BeraktarozokFormX::deletePartner()
{
    if (!tableIsEmpty()) {
        platform().setBusyPointer(false);
        platform().beep();
        const Answer answer =
            platform().message(this, QStringLiteral("FIGYELEM! A törlés után egyes adatok helytelenül maradhatnak a rendszerben!"),
                               QStringLiteral("Biztosan törli?"), MessageIcon::None, MessageButtons::YesNo);
        if (answer == Answer::Yes) {
            if (refused(Beraktarozok.edit()))
                return;
            if (!Beraktarozok.deleteCurrent()) {
                const data::Error error = Beraktarozok.lastError();
                Beraktarozok.cancelUpdate();
                Beraktarozok.clearError();
                refused(error);
                return;
            }
            Beraktarozok.moveNext();
            Beraktarozok.clearError();
        }
    }
    if (tableIsEmpty())
        addPlaceholder(false);
}

void BeraktarozokFormX::fullCheck(LockedRow locked)
{
    int counter = 1;
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(std::max(Beraktarozok.recordCount(), 1));
    while (!Beraktarozok.eof()) {
        ProgressBar1->setValue(std::min(counter, ProgressBar1->maximum()));
        if (isNameless(Beraktarozok.value(kName))) {
            if (Beraktarozok.edit()) {
                if (!Beraktarozok.deleteCurrent())
                    Beraktarozok.cancelUpdate();
            } else if (locked == LockedRow::Beep) {
                platform().beep();
            }
            Beraktarozok.clearError();
        }
        if (!partners::moveToNext(Beraktarozok))
            break;
        ++counter;
        if (counter % 256 == 0)
            platform().processEvents();
    }
    ProgressBar1->setValue(ProgressBar1->maximum());
}

void BeraktarozokFormX::exitRoutine()
{
    SetQui(false);
    if (!tableIsEmpty()) {
        platform().setBusyPointer(false);
        platform().beep();
        if (platform().message(this, kCheckTitle, kCheckQuestion, MessageIcon::None, MessageButtons::YesNo) == Answer::Yes) {
            platform().setBusyPointer(true);
            PartnerGrid->setEnabled(false);
            if (!Beraktarozok.moveFirst()) {
                Beraktarozok.clearError();
                reportProblem(this, QStringLiteral("FIGYELEM! Később javítsa vagy törölje a hibás tétel sorát!"),
                              QStringLiteral("Az adatok ellenőrzése nem végezhető el mezőhiba miatt!"), MessageIcon::Critical);
            } else {
                ProgressBar1->setVisible(true);
                fullCheck(LockedRow::Beep);
            }
        }
    }
    Screen::exitRoutine();
    platform().setBusyPointer(false);
}

void BeraktarozokFormX::saveAndExit()
{
    SetQui(false);
    if (!tableIsEmpty()) {
        platform().setBusyPointer(true);
        ProgressBar1->setVisible(true);
        if (!Beraktarozok.refresh()) {
            // the typed partner could not be written: say why, it stays on the screen
            const data::Error error = Beraktarozok.lastError();
            Beraktarozok.clearError();
            reportProblem(this, QStringLiteral("FIGYELEM! HIBA!"),
                          QStringLiteral("Lépjen ki a MÉGSE gombbal a főmenüre!") + (error ? u'\n' + error.message : QString()),
                          MessageIcon::Critical);
            return;
        }
        Beraktarozok.moveLast();
        Beraktarozok.clearError();
        PartnerGrid->setVisible(false);
        platform().beep();
        if (platform().message(this, kCheckTitle, kCheckQuestion, MessageIcon::None, MessageButtons::YesNo) == Answer::Yes) {
            if (Beraktarozok.moveFirst())
                fullCheck(LockedRow::Quiet);
            Beraktarozok.clearError();
        }
    }
    ProgressBar1->setVisible(false);
    Beraktarozok.requery();
    Screen::exitRoutine();
    platform().setBusyPointer(false);
    close();
}

void BeraktarozokFormX::openHelp()
{
    handOver().helpScreenId = QStringLiteral("BeraktarozokFormX");
    const QString help = QStringLiteral("HelpFormX");
    if (!isScreenRegistered(help))
        return;
    if (Screen *window = createScreen(help, this)) {
        window->showModal();
        delete window;
        activation();
    }
}

void BeraktarozokFormX::printList()
{
    if (partners::listPartners(this, Beraktarozok, pageNumber) > 0)
        activation();
}

}  // namespace tvx
