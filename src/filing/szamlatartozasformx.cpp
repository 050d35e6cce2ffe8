#include "filing/szamlatartozasformx.h"

#include "common/caught.h"
#include "common/datagrid.h"
#include "common/datepicker.h"
#include "common/datetimeid.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/formwidgets.h"
#include "common/menus.h"
#include "common/funcs.h"
#include "common/navigator.h"
#include "common/platform.h"
#include "common/session.h"
#include "data/jetsql.h"
#include "filing/partnergrid.h"
#include "data/values.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QVBoxLayout>

namespace tvx {

namespace {

const QString kAmountField = QStringLiteral("BruttóÖsszeg");

const QList<GridColumn> kPartnerColumns = filing::partnerGridColumns({
    QStringLiteral("Partner neve"),
    QStringLiteral("Irányítószám"),
    QStringLiteral("Székhely"),
    QStringLiteral("Cím"),
    QStringLiteral("Telefon"),
    QStringLiteral("Fax"),
    QStringLiteral("Mobil"),
    QStringLiteral("Adószám"),
    QStringLiteral("Számlaszám"),
    QStringLiteral("recordID"),
    QStringLiteral("Kapcsolattartó"),
    QStringLiteral("Ország jele"),
    QStringLiteral("Ügyfélstátus"),
    QStringLiteral("EU adószám"),
    QStringLiteral("VPID szám"),
    QStringLiteral("Azonosító ügyfélkód"),
});

// The debt list: every field of the table, captioned by its name.
const QStringList kDebtFields{
    QStringLiteral("IktatásRecordID"), QStringLiteral("PartnerNeve"),      QStringLiteral("PartnerID"),
    QStringLiteral("Iktatószám"),      QStringLiteral("OkmánySzám"),       QStringLiteral("OkmányKelte"),
    QStringLiteral("TeljesitésDátuma"), QStringLiteral("FizetésiHatáridö"), kAmountField,
};

}  // namespace

SzamlaTartozasFormX::SzamlaTartozasFormX(QWidget *parent) : Screen(parent), binder_(new FieldBinder(&TartozasData, this))
{
    setObjectName(QStringLiteral("SzamlaTartozasFormX"));
    setWindowTitle(QStringLiteral(" Számla tartozás - Tarvix"));
    addDataSource(TartozasData);  // the exit routine closes only the debts
    buildWindow();
    buildMenus();
    // A missing file leaves its source closed; activation says so for the debts.
    for (data::DataSource *source : {&TartozasData, &PartnerData}) {
        source->refresh();
        source->clearError();
    }
}

SzamlaTartozasFormX::~SzamlaTartozasFormX() = default;

void SzamlaTartozasFormX::buildWindow()
{
    auto *central = new QWidget(this);
    auto *page = new QVBoxLayout(central);

    // top: the partners on the left, the current debt on the right
    auto *top = new QHBoxLayout;
    auto *partnerColumn = new QVBoxLayout;
    partnerColumn->addWidget(new QLabel(QStringLiteral("Partner neve, azonosítója:"), central));
    DBGrid2 = new DataGrid(central);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setDataSource(&PartnerData, kPartnerColumns);
    DBGrid2->setColumnWidth(0, 200);
    partnerColumn->addWidget(DBGrid2, 1);
    PartnerNavigator = new DataNavigator(central);
    PartnerNavigator->setObjectName(QStringLiteral("PartnerNavigator"));
    PartnerNavigator->setDataSource(&PartnerData);
    PartnerNavigator->setCaption(QString(6, u' ') + QStringLiteral("Partnertörzs"));
    partnerColumn->addWidget(PartnerNavigator);
    top->addLayout(partnerColumn, 2);

    auto *debt = new QGridLayout;
    auto *heading = new QLabel(QStringLiteral("BEVITEL, JAVÍTÁS:"), central);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    Label1 = identifierLabel("Label1", central, QStringLiteral("IktatasRecordID"));
    auto *headingRow = new QHBoxLayout;
    headingRow->addWidget(heading);
    headingRow->addStretch();
    headingRow->addWidget(Label1);
    debt->addLayout(headingRow, 0, 0, 1, 2);

    Text1 = namedLineEdit("Text1", central);
    Label4 = valueLabel("Label4", central);
    Label6 = valueLabel("Label6", central);
    Text2 = namedLineEdit("Text2", central);
    Text3 = namedLineEdit("Text3", central);
    DTPicker1 = new DatePicker(central);
    DTPicker2 = new DatePicker(central);
    DTPicker3 = new DatePicker(central);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker2->setObjectName(QStringLiteral("DTPicker2"));
    DTPicker3->setObjectName(QStringLiteral("DTPicker3"));

    debt->addWidget(Text1, 1, 0, 1, 2);
    debt->addWidget(Label4, 2, 0);
    debt->addWidget(captionFor(Label6, QStringLiteral("Iktatás azonosítója (recordID):"), central), 3, 0);
    debt->addWidget(Label6, 3, 1);
    debt->addWidget(captionFor(Text2, QStringLiteral("Okmány (számla stb.) száma:"), central), 4, 0);
    debt->addWidget(Text2, 4, 1);
    debt->addWidget(captionFor(DTPicker1, QStringLiteral("Okmány kelte:"), central), 5, 0);
    debt->addWidget(DTPicker1, 5, 1);
    debt->addWidget(captionFor(DTPicker2, QStringLiteral("Teljesítés dátuma:"), central), 6, 0);
    debt->addWidget(DTPicker2, 6, 1);
    debt->addWidget(captionFor(DTPicker3, QStringLiteral("Fizetési határidő:"), central), 7, 0);
    debt->addWidget(DTPicker3, 7, 1);
    debt->addWidget(captionFor(Text3, QStringLiteral("Bruttó összeg:"), central), 8, 0);
    debt->addWidget(Text3, 8, 1);
    debt->setRowStretch(9, 1);
    debt->setColumnStretch(1, 1);
    top->addLayout(debt, 2);
    page->addLayout(top, 1);

    QList<GridColumn> debtColumns;
    for (const QString &field : kDebtFields)
        debtColumns << GridColumn{field, field};
    DBGrid1 = new DataGrid(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(&TartozasData, debtColumns);
    page->addWidget(DBGrid1, 1);
    TartozasNavigator = new DataNavigator(central);
    TartozasNavigator->setObjectName(QStringLiteral("TartozasNavigator"));
    TartozasNavigator->setDataSource(&TartozasData);
    TartozasNavigator->setCaption(QString(103, u' ') + QStringLiteral("Tartozások"));
    page->addWidget(TartozasNavigator);
    setCentralWidget(central);

    binder_->bind(Text1, QStringLiteral("PartnerNeve"), 60);
    binder_->bind(Label4, QStringLiteral("PartnerID"));
    binder_->bind(Label6, QStringLiteral("IktatásRecordID"));
    binder_->bind(Text2, QStringLiteral("OkmánySzám"), 50);  // the field's size
    binder_->bind(DTPicker1, QStringLiteral("OkmányKelte"));
    binder_->bind(DTPicker2, QStringLiteral("TeljesitésDátuma"));
    binder_->bind(DTPicker3, QStringLiteral("FizetésiHatáridö"));
    binder_->bind(Text3, kAmountField);
    for (QLineEdit *field : {Text1, Text2, Text3})
        highlightOnFocus(field);
    acceptOnly(Text3, QStringLiteral("0123456789-,"));

    connect(DBGrid2, &DataGrid::rowClicked, this, &SzamlaTartozasFormX::choosePartner);
    reportRefusedRecord(this, DBGrid1, TartozasNavigator, binder_, [this](const data::Error &) { refused(false); });
    resize(1100, 700);
}

void SzamlaTartozasFormX::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto action = [bar](QMenu *menu, const char *name, const QString &caption) { return addNamedAction(bar, menu, name, caption); };
    UjAdat = action(nullptr, "UjAdat", QStringLiteral("&Új adat"));
    Szures = bar->addMenu(QStringLiteral("&Szűrés"));
    Szures->setObjectName(QStringLiteral("Szures"));
    AzonositSzur = action(Szures, "AzonositSzur", QStringLiteral("Adott iktatószám azonosítója"));
    Szures->addSeparator();
    MindenTartozas = action(Szures, "MindenTartozas", QStringLiteral("Minden tartozás megjelenítése"));
    for (QAction *disabled : {Szures->menuAction(), AzonositSzur, MindenTartozas})
        disabled->setEnabled(false);
    addMenuSpacer(bar);
    Torles = action(nullptr, "Torles", QStringLiteral("&Törlés"));
    Torles->setEnabled(false);
    KilepesItem = action(nullptr, "Kilepes", QStringLiteral("&Vissza"));

    connect(UjAdat, &QAction::triggered, this, &SzamlaTartozasFormX::newDebt);
    connect(KilepesItem, &QAction::triggered, this, &SzamlaTartozasFormX::Kilepes);
}

bool SzamlaTartozasFormX::refused(bool stepOk)
{
    if (stepOk)
        return false;
    // An amount that is no number: the save is refused and the typed text
    // stays for correction; say what is wrong with it in the user's terms.
    const QVariant amount = TartozasData.shownValue(kAmountField);
    if (TartozasData.lastError().code == data::ErrorCode::ValueDoesNotFit && amount.typeId() == QMetaType::QString &&
        !amount.toString().trimmed().isEmpty() && !data::parseNumber(amount.toString())) {
        TartozasData.clearError();
        reportProblem(this, QStringLiteral("FIGYELEM!"), QStringLiteral("A bruttó összeg nem szám! Javítsa ki, például: -1234,50"),
                      MessageIcon::Exclamation);
        Text3->setFocus();
        return true;
    }
    return refusedStep(this, TartozasData, false, lockmessages::kFilingEntryLocked);
}

bool SzamlaTartozasFormX::openedFromFilingEntry() const
{
    return parentWidget() && parentWidget()->objectName() == QStringLiteral("IktatasFormX");
}

void SzamlaTartozasFormX::activation()
{
    platform().setBusyPointer(false);
    // equality, not a pattern: an empty name compares with a literal star
    const QString name = handOver().currentPartnerName;
    TartozasData.setRecordSource(QStringLiteral("select * from SzamlaTartozas where PartnerNeve = ") +
                                 data::jet::quoted(name.isEmpty() ? QStringLiteral("*") : name));
    refused(TartozasData.refresh());
}

void SzamlaTartozasFormX::choosePartner()
{
    if (!TartozasData.hasCurrent())
        return;
    const QString name = Funcs::NullToEmpty(PartnerData.value(kPartnerColumns[filing::kPartnerNameColumn].field));
    const QVariant id = PartnerData.value(kPartnerColumns[filing::kPartnerIdColumn].field);
    PartnerData.clearError();
    refused(TartozasData.setValue(QStringLiteral("PartnerNeve"), name) && TartozasData.setValue(QStringLiteral("PartnerID"), id));
}

void SzamlaTartozasFormX::newDebt()
{
    const Clock &clock = platform().clock();
    const QDate today = clock.today();
    const QString identifier = dateTimeIdentifier(clock);
    // the debt left is written first; when it cannot be, nothing is added
    if (refused(TartozasData.addNew()))
        return;
    QList<QPair<QString, QVariant>> values{
        {QStringLiteral("OkmányKelte"), today}, {QStringLiteral("TeljesitésDátuma"), today}, {QStringLiteral("FizetésiHatáridö"), today}};
    // a debt recorded from a filing entry belongs to that entry
    if (openedFromFilingEntry()) {
        if (!handOver().currentFilingId.isEmpty())
            values.append({QStringLiteral("IktatásRecordID"), handOver().currentFilingId});
        if (!handOver().currentFilingNumber.isEmpty())
            values.append({QStringLiteral("Iktatószám"), handOver().currentFilingNumber});
    }
    bool saved = true;
    for (const auto &[field, value] : values)
        saved = saved && TartozasData.setValue(field, value);
    // one save: the new row never stands without its dates
    saved = saved && TartozasData.update();
    if (!saved) {
        refused(false);
        TartozasData.cancelUpdate();
        return;
    }
    if (refused(TartozasData.moveLast()))
        return;
    Label1->setText(identifier);
}

void SzamlaTartozasFormX::exitRoutine()
{
    // The debt being typed is written before its source closes. A refusal the
    // user can mend (an amount that is no number, a lock) keeps the screen
    // open with everything typed; anything else is said, and the screen goes.
    if (TartozasData.isOpen() && !TartozasData.writePending()) {
        const data::ErrorCode code = TartozasData.lastError().code;
        const bool mendable =
            code == data::ErrorCode::ValueDoesNotFit || code == data::ErrorCode::Locked || code == data::ErrorCode::Busy;
        refused(false);
        if (mendable) {
            stayOpen();
            return;
        }
    }
    Screen::exitRoutine();
}

}  // namespace tvx
