#include "filing/parameterformx.h"

#include "common/caught.h"
#include "common/datagrid.h"
#include "common/fieldbinder.h"
#include "common/menus.h"
#include "common/funcs.h"
#include "common/navigator.h"
#include "common/platform.h"
#include "common/screenregistry.h"
#include "common/search.h"
#include "filing/partnergrid.h"
#include "data/jetsql.h"

#include <QAction>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace tvx {

namespace {

const QString kTable = QStringLiteral("Iktatoszam");
const QString kPartnerName = QStringLiteral("PartnerNeve");
const QString kPartnerId = QStringLiteral("PartnerID");

// One searchable part of a template: its field and how the prompt asks for it.
struct Part {
    const char *field;
    const char *title;
    const char *text;
    const char *notFound;
};
const Part kJelleg{"Jelleg", "Keresés jellegre", "Kérem a jelleget vagy annak részét csillaggal:",
                   "Nincs ilyen jelleg! Keressen újra, vagy válasszon a listából!"};
const Part kJel{"Jel", "Keresés jelre", "Kérem a jelet vagy annak részét csillaggal:",
                "Nincs ilyen jel! Keressen újra, vagy válasszon a listából!"};
const Part kSzam{"Szám", "Keresés számra", "Kérem a számot vagy annak részét csillaggal:",
                 "Nincs ilyen szám! Keressen újra, vagy válasszon a listából!"};
const Part kAlszam{"Alszám", "Keresés alszámra", "Kérem az alszámot vagy annak részét csillaggal:",
                   "Nincs ilyen alszám! Keressen újra, vagy válasszon a listából!"};
const Part kEgyebJel{"EgyébJel", "Keresés egyéb jelre", "Kérem az egyéb jelet vagy annak részét csillaggal:",
                     "Nincs ilyen egyéb jel! Keressen újra, vagy válasszon a listából!"};
const Part kPartnerNeve{"PartnerNeve", "Keresés partner nevére", "Kérem a partner nevét vagy annak részét csillaggal:",
                        "Nincs ilyen partnernév! Keressen újra, vagy válasszon a listából!"};
const char *const kNoSuchTemplate = "Nincs ilyen iktatószám-beállítás! Keressen újra, vagy válasszon a listából!";

struct SearchItem {
    const char *caption;
    QList<const Part *> parts;
    bool separatorBefore = false;
};
// in the order of ParameterFormX::TemplateSearch
const QList<SearchItem> &searchItemList()
{
    static const QList<SearchItem> items{
        {"Jelleg", {&kJelleg}},
        {"Jel", {&kJel}},
        {"Szám", {&kSzam}},
        {"Alszám", {&kAlszam}},
        {"Egyéb jel", {&kEgyebJel}},
        {"Jelleg és jel", {&kJelleg, &kJel}, true},
        {"Jelleg, jel és szám", {&kJelleg, &kJel, &kSzam}},
        {"Jelleg, jel, szám és alszám", {&kJelleg, &kJel, &kSzam, &kAlszam}},
        {"Jelleg, jel, szám, alszám és egyéb jel", {&kJelleg, &kJel, &kSzam, &kAlszam, &kEgyebJel}},
        {"Partner neve", {&kPartnerNeve}, true},
    };
    return items;
}

const QList<GridColumn> kTemplateColumns{
    {QStringLiteral("Jelleg"), QStringLiteral("Jelleg")},
    {QStringLiteral("Jel"), QStringLiteral("Jel")},
    {QStringLiteral("Szám"), QStringLiteral("Szám")},
    {QStringLiteral("Alszám"), QStringLiteral("Alszám")},
    {QStringLiteral("EgyébJel"), QStringLiteral("EgyébJel")},
    {QStringLiteral("PartnerID"), QStringLiteral("PartnerID")},
    {QStringLiteral("PartnerNeve"), QStringLiteral("PartnerNeve")},
};

const QList<GridColumn> kPartnerColumns = filing::partnerGridColumns({
    QStringLiteral("Partner neve"),
    QStringLiteral("Irányítószám"),
    QStringLiteral("Székhely"),
    QStringLiteral("Cím"),
    QStringLiteral("Telefon"),
    QStringLiteral("Fax"),
    QStringLiteral("Mobil"),
    QStringLiteral("Adószám"),
    QStringLiteral("Banki számlaszám"),
    QStringLiteral("recordID"),
    QStringLiteral("Kapcsolattartó"),
    QStringLiteral("Ország"),
    QStringLiteral("Ügyféli státusz"),
    QStringLiteral("EU adószám"),
    QStringLiteral("VPID szám"),
    QStringLiteral("Azonosító ügyfélkód"),
});
using filing::kPartnerIdColumn;
using filing::kPartnerNameColumn;

QString u8(const char *text) { return QString::fromUtf8(text); }

}  // namespace

ParameterFormX::ParameterFormX(QWidget *parent) : Screen(parent), binder_(new FieldBinder(&ParameterData, this))
{
    setObjectName(QStringLiteral("ParameterFormX"));
    setWindowTitle(QStringLiteral("Tarvix - Paraméterezés"));
    addDataSource(PartnerData);
    addDataSource(ParameterData);
    buildWindow();

    // A missing file leaves its source closed: the screen still opens, and
    // the steps that need the file say why they cannot run.
    for (data::DataSource *source : {&PartnerData, &ParameterData}) {
        if (!source->refresh())
            openErrors_ << source->lastError();
        source->clearError();
    }
    SetQui(true);
}

ParameterFormX::~ParameterFormX() = default;

void ParameterFormX::buildWindow()
{
    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);

    // left: the current template, its navigator and the template grid
    auto *left = new QVBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("Iktatószám (tételszám) beállítása:"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *form = new QFormLayout(Frame1);
    const auto addField = [&](const char *object, const char *caption, const char *field, int limit) {
        auto *edit = new QLineEdit(Frame1);
        edit->setObjectName(u8(object));
        binder_->bind(edit, u8(field), limit);
        form->addRow(u8(caption), edit);
        return edit;
    };
    Text1 = addField("Text1", "Jelleg:", "Jelleg", 30);
    Text2 = addField("Text2", "Jel:", "Jel", 30);
    Text3 = addField("Text3", "Szám:", "Szám", 30);
    Text4 = addField("Text4", "Alszám:", "Alszám", 30);
    Text5 = addField("Text5", "Egyéb jel:", "EgyébJel", 30);
    Text6 = addField("Text6", "Partner neve:", "PartnerNeve", 60);
    Label8 = new QLabel(Frame1);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setFrameShape(QFrame::Panel);
    Label8->setFrameShadow(QFrame::Sunken);
    Label8->setMinimumWidth(90);
    binder_->bind(Label8, kPartnerId);
    form->addRow(QStringLiteral("Partner ID:"), Label8);
    left->addWidget(Frame1);

    ParameterNavigator = new DataNavigator(central);
    ParameterNavigator->setObjectName(QStringLiteral("ParameterNavigator"));
    ParameterNavigator->setDataSource(&ParameterData);
    ParameterNavigator->setCaption(QString(9, u' ') + QStringLiteral("Iktatószámok beállítása (partnerenként)"));
    left->addWidget(ParameterNavigator);
    DBGrid2 = new DataGrid(central);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setDataSource(&ParameterData, kTemplateColumns);
    left->addWidget(DBGrid2, 1);
    columns->addLayout(left, 2);

    // right: OK, the partner search and the partner grid
    auto *right = new QVBoxLayout;
    Command1 = new QPushButton(QStringLiteral("OK"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    right->addWidget(Command1, 0, Qt::AlignLeft);
    Label7 = new QLabel(QStringLiteral("Partner kereső:"), central);
    Label7->setObjectName(QStringLiteral("Label7"));
    right->addWidget(Label7);
    Text7 = new QLineEdit(central);
    Text7->setObjectName(QStringLiteral("Text7"));
    Label7->setBuddy(Text7);
    Text7->installEventFilter(this);  // leaving the box empties it
    right->addWidget(Text7);
    DBGrid1 = new DataGrid(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(&PartnerData, kPartnerColumns);
    DBGrid1->setSortable(true);
    DBGrid1->setColumnWidth(kPartnerNameColumn, 220);
    right->addWidget(DBGrid1, 1);
    PartnerNavigator = new DataNavigator(central);
    PartnerNavigator->setObjectName(QStringLiteral("PartnerNavigator"));
    PartnerNavigator->setDataSource(&PartnerData);
    PartnerNavigator->setCaption(QString(2, u' ') + QStringLiteral("Partnerek törzs - válasszon!"));
    right->addWidget(PartnerNavigator);
    columns->addLayout(right, 3);
    setCentralWidget(central);

    // the menu bar
    Kereses = menuBar()->addMenu(QStringLiteral("&Keresés-szűrés"));
    Kereses->setObjectName(QStringLiteral("Kereses"));
    const QList<SearchItem> &items = searchItemList();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].separatorBefore)
            Kereses->addSeparator();
        QAction *item = Kereses->addAction(u8(items[i].caption));
        searchItems << item;
        connect(item, &QAction::triggered, this, [this, i] { searchTemplates(static_cast<TemplateSearch>(i)); });
    }
    Kereses->addSeparator();
    SzuresKi = Kereses->addAction(QStringLiteral("Szűrés kikapcsolása"));
    SzuresKi->setObjectName(QStringLiteral("SzuresKi"));
    const auto topItem = [this](const char *name, const QString &caption) { return addNamedAction(menuBar(), nullptr, name, caption); };
    UjAdat = topItem("UjAdat", QStringLiteral("&Új adat"));
    Partnertorzs = topItem("Partnertorzs", QStringLiteral("&Partnertörzs"));
    Torles = topItem("Torles", QStringLiteral("&Törlés"));
    Torles->setEnabled(false);
    Segedlet = topItem("Segedlet", QStringLiteral("&Segédlet"));
    Segedlet->setEnabled(false);
    KilepesMenu = topItem("Kilepes", QStringLiteral("&Vissza"));

    connect(SzuresKi, &QAction::triggered, this, &ParameterFormX::removeFilter);
    connect(UjAdat, &QAction::triggered, this, &ParameterFormX::newTemplate);
    connect(Partnertorzs, &QAction::triggered, this, &ParameterFormX::openPartners);
    connect(KilepesMenu, &QAction::triggered, this, &ParameterFormX::Kilepes);
    connect(Command1, &QPushButton::clicked, this, &ParameterFormX::confirm);
    connect(Text7, &QLineEdit::textChanged, this, &ParameterFormX::partnerSearchChanged);
    connect(DBGrid1, &DataGrid::rowDoubleClicked, this, &ParameterFormX::choosePartner);
    // a template left with changes that cannot be saved (locked elsewhere, a
    // value that does not fit): said, and the changes stay
    const auto reportTemplate = [this](const data::Error &error) {
        ParameterData.clearError();
        report(error);
    };
    reportRefusedRecord(this, DBGrid2, ParameterNavigator, binder_, reportTemplate);
    resize(1180, 620);
}

void ParameterFormX::report(data::DataSource &source)
{
    const data::Error error = source.lastError();
    source.clearError();
    report(error);
}

void ParameterFormX::report(const data::Error &error)
{
    caught(this, ParameterData, false, LockMessage{QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical});
}

bool ParameterFormX::templatesReady()
{
    // the file may have been put in place since the screen opened
    if (ParameterData.isOpen() || ParameterData.refresh())
        return true;
    report(ParameterData);
    return false;
}

void ParameterFormX::appendEmptyTemplate(bool onlyIntoEmptyTable)
{
    bool added = false;
    if (onlyIntoEmptyTable) {
        // another workstation may have written a template since the table was
        // read: the empty one is only for a table that is really empty
        added = ParameterData.addNew() && ParameterData.update(data::onlyIntoEmptyTable());
        if (!added) {
            const bool refusedByCheck = ParameterData.lastError().code == data::ErrorCode::Refused;
            const data::Error error = ParameterData.lastError();
            ParameterData.cancelUpdate();
            ParameterData.clearError();
            if (refusedByCheck)
                ParameterData.requery();
            else
                report(error);
        }
    } else {
        added = ParameterData.addNew() && ParameterData.update();
        if (!added) {
            const data::Error error = ParameterData.lastError();
            ParameterData.cancelUpdate();
            ParameterData.clearError();
            report(error);
            return;
        }
    }
    ParameterData.moveLast();
    ParameterData.clearError();
}

void ParameterFormX::activation()
{
    platform().setBusyPointer(false);
    for (const data::Error &error : std::exchange(openErrors_, {}))
        report(error);
    if (ParameterData.isOpen() && ParameterData.recordCount() < 1 && !filtered())
        appendEmptyTemplate(true);
}

bool ParameterFormX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text7 && event->type() == QEvent::FocusOut)
        Text7->clear();
    return Screen::eventFilter(watched, event);
}

void ParameterFormX::newTemplate()
{
    if (!templatesReady())
        return;
    appendEmptyTemplate(false);
}

void ParameterFormX::choosePartner()
{
    if (PartnerData.recordCount() < 1 || !PartnerData.hasCurrent()) {
        PartnerData.clearError();
        return;
    }
    if (!templatesReady())
        return;
    const QVariant name = PartnerData.value(kPartnerColumns[kPartnerNameColumn].field);
    const QVariant id = PartnerData.value(kPartnerColumns[kPartnerIdColumn].field);
    PartnerData.clearError();
    // a nameless partner gives an empty name, which the filing entry screen
    // compares with the partner's name read the same way
    if (!ParameterData.setValue(kPartnerName, Funcs::NullToEmpty(name)) || !ParameterData.setValue(kPartnerId, id))
        report(ParameterData);
    binder_->refresh();  // the fields show what was copied
}

void ParameterFormX::partnerSearchChanged(const QString &text)
{
    // no message: the grid simply stays where it is when nothing matches
    findAsYouType(PartnerData, QStringLiteral("BerNev"), text);
}

void ParameterFormX::confirm()
{
    if (!templatesReady() || ParameterData.recordCount() < 1)
        return;
    const data::Bookmark position = ParameterData.bookmark();
    // moving saves the template being edited; when it cannot be saved the
    // changes stay and the user is told
    if (!ParameterData.moveLast()) {
        report(ParameterData);
        return;
    }
    if (!ParameterData.setBookmark(position))
        ParameterData.clearError();
}

void ParameterFormX::openPartners()
{
    const QString partners = QStringLiteral("BeraktarozokFormX");
    if (!isScreenRegistered(partners))
        return;
    if (Screen *window = createScreen(partners, this)) {
        window->showModal();
        delete window;
        // partners added or renamed there show here
        if (!PartnerData.requery())
            report(PartnerData);
        activation();
    }
}

bool ParameterFormX::filtered() const { return ParameterData.recordSource() != kTable; }

void ParameterFormX::searchTemplates(TemplateSearch which)
{
    if (!templatesReady() || ParameterData.recordCount() < 1)
        return;
    const SearchItem &item = searchItemList().at(static_cast<int>(which));

    // every part but the last is asked here; the last one runs the search
    QString criteria;
    for (qsizetype i = 0; i + 1 < item.parts.size(); ++i) {
        const Part &part = *item.parts[i];
        const QString answer = platform().input(this, u8(part.title), u8(part.text));
        if (answer.isEmpty())
            return;
        criteria += findCriteria(QStringLiteral("[%1] like ").arg(u8(part.field)), answer) + QStringLiteral(" and ");
    }
    const Part &last = *item.parts.last();
    SearchPrompt prompt;
    prompt.title = u8(last.title);
    prompt.text = u8(last.text);
    prompt.criteriaPrefix = criteria + QStringLiteral("[%1] like ").arg(u8(last.field));
    prompt.notFoundText = item.parts.size() == 1 ? u8(last.notFound) : u8(kNoSuchTemplate);
    prompt.afterMiss = SearchPrompt::AfterMiss::PreviousRecord;

    switch (promptAndFind(this, ParameterData, prompt)) {
    case SearchResult::Found: {
        QStringList fields;
        for (const Part *part : item.parts)
            fields << u8(part->field);
        filterLikeCurrent(fields);
        break;
    }
    case SearchResult::Failed:
        // a malformed pattern, or the template left could not be saved
        report(ParameterData);
        break;
    default: break;
    }
}

void ParameterFormX::filterLikeCurrent(const QStringList &fields)
{
    QStringList conditions;
    for (const QString &field : fields) {
        const QVariant value = ParameterData.value(field);
        conditions << (value.isNull() ? QStringLiteral("[%1] is null").arg(field)
                                      : QStringLiteral("[%1] = %2").arg(field, data::jet::quoted(value.toString())));
    }
    ParameterData.clearError();
    if (!ParameterData.runRecordSource(QStringLiteral("select * from %1 where %2").arg(kTable, conditions.join(QStringLiteral(" and ")))))
        report(ParameterData);
}

void ParameterFormX::removeFilter()
{
    if (!ParameterData.runRecordSource(kTable))
        report(ParameterData);  // the filter stays in force
}

}  // namespace tvx
