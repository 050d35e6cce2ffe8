#include "shell/tarvixformx.h"

#include "common/activitylog.h"
#include "common/colors.h"
#include "common/fieldbehaviour.h"
#include "common/fieldbinder.h"
#include "common/funcs.h"
#include "common/password.h"
#include "common/platform.h"
#include "common/screenregistry.h"
#include "common/session.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvx {

namespace {

constexpr quint32 kLoginIdle = 0x00FFC0C0;     // light blue
constexpr quint32 kLoginTried = 0x0000FF00;    // green
constexpr quint32 kLoginDone = 0x00E0E0E0;     // light grey
const QString kVendorPage = QStringLiteral("https://tarvix.hu/frissites");

}  // namespace

TarvixFormX::TarvixFormX(QWidget *parent)
    : Screen(parent),
      Regiszt(QStringLiteral("regiszt.tvd"), QStringLiteral("Users")),
      BettorzsData(QStringLiteral("betarol.tvd"), QStringLiteral("Bettorzs")),
      RegisztData(QStringLiteral("regiszt.tvd"), QStringLiteral("select * from Regisztrálás order by AkcióDátuma"))
{
    setObjectName(QStringLiteral("TarvixFormX"));
    addDataSource(RegisztData);
    setWindowTitle(QStringLiteral("Tarvix V.1.0 - 2012."));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(24, 16, 24, 8);

    Label1 = new QLabel(QStringLiteral("T a r v i x  Irattári Nyilvántartás"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    QPalette titlePalette = Label1->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label1->setPalette(titlePalette);
    layout->addWidget(Label1);

    Label2 = new QLabel(central);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setAutoFillBackground(true);
    setBackground(Label2, kLoginIdle);
    QPalette operatorPalette = Label2->palette();
    operatorPalette.setColor(QPalette::WindowText, Qt::white);
    Label2->setPalette(operatorPalette);
    QFont operatorFont = Label2->font();
    operatorFont.setPointSize(operatorFont.pointSize() + 4);
    operatorFont.setBold(true);
    Label2->setFont(operatorFont);
    Label2->setMinimumHeight(36);
    layout->addSpacing(12);
    layout->addWidget(Label2);

    // the office's archive: a row of folders under the title
    auto *picture = new QLabel(central);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setAlignment(Qt::AlignCenter);
    const QPixmap folder = style()->standardIcon(QStyle::SP_DirIcon).pixmap(56, 56);
    QPixmap row(56 * 5 + 16 * 4, 56);
    row.fill(Qt::transparent);
    {
        QPainter painter(&row);
        for (int i = 0; i < 5; ++i)
            painter.drawPixmap(i * 72, 0, folder);
    }
    picture->setPixmap(row);
    layout->addSpacing(8);
    layout->addWidget(picture);
    layout->addStretch(1);

    auto *panel = new QWidget(central);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    LabelUser = new QLabel(QStringLiteral("Kérem a felhasználó nevét:"), panel);
    LabelUser->setObjectName(QStringLiteral("LabelUser"));
    Combo1 = new QComboBox(panel);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);  // names are compared exactly as typed
    // nor does leaving the field turn a typed name into the listed entry it
    // matches: that would count as a choice from the list
    QObject::disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    Combo1->setToolTip(QStringLiteral("Lefele nyíl kiválaszt"));
    Combo1->setMinimumWidth(260);
    LabelPassword = new QLabel(QStringLiteral("Jelszó:"), panel);
    LabelPassword->setObjectName(QStringLiteral("LabelPassword"));
    Text1 = new QLineEdit(panel);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // a * for each character
    Text1->setToolTip(QStringLiteral("Gépelje be a jelszót!"));
    QSizePolicy keepPlace = Text1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);  // the panel does not jump when the field appears
    Text1->setSizePolicy(keepPlace);
    Command1 = new QPushButton(QStringLiteral("Bejelentkezés"), panel);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoFillBackground(true);
    Command1->setMinimumHeight(32);
    for (QWidget *w : {static_cast<QWidget *>(LabelUser), static_cast<QWidget *>(Combo1), static_cast<QWidget *>(LabelPassword),
                       static_cast<QWidget *>(Text1), static_cast<QWidget *>(Command1)})
        panelLayout->addWidget(w);
    auto *panelRow = new QHBoxLayout;
    panelRow->addStretch(1);
    panelRow->addWidget(panel);
    panelRow->addStretch(1);
    layout->addLayout(panelRow);
    layout->addStretch(2);

    VendorText = new QLineEdit(QStringLiteral("Frissítések: ") + kVendorPage, central);
    VendorText->setObjectName(QStringLiteral("VendorText"));
    VendorText->setReadOnly(true);
    VendorText->setFrame(false);
    VendorText->setCursor(Qt::PointingHandCursor);
    VendorText->setAlignment(Qt::AlignCenter);
    VendorText->setFocusPolicy(Qt::NoFocus);
    VendorText->installEventFilter(this);
    layout->addWidget(VendorText);
    setCentralWidget(central);
    resize(760, 520);

    buildMenus();

    connect(Command1, &QPushButton::clicked, this, &TarvixFormX::login);
    connect(Combo1, qOverload<int>(&QComboBox::activated), this, [this](int) { userChosen(); });
    Combo1->installEventFilter(this);
    if (Combo1->lineEdit())
        Combo1->lineEdit()->installEventFilter(this);
    // Only a move to another control of this window leaves the user field: not
    // the list opening, not Alt handing the keys to the menu bar, not another window.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now && now->window() == this && isUserFieldPart(old) && !isUserFieldPart(now) && now != menuBar() &&
            Combo1->isVisible())
            userChosen();
    });

    operatorBinder_ = new FieldBinder(&BettorzsData, this);
    operatorBinder_->bind(Label2, QStringLiteral("UzNev"));
}

TarvixFormX::~TarvixFormX()
{
    // the fields go before the window does, and their focus moves with them
    disconnect(focusWatch_);
}

void TarvixFormX::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto menu = [bar](const QString &name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };
    auto item = [this](QMenu *m, const QString &name, const QString &caption, auto handler) {
        QAction *a = m->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Torzsek = menu(QStringLiteral("Torzsek"), QStringLiteral("&Törzsek"));
    Partnertorzs = item(Torzsek, QStringLiteral("Partnertorzs"), QStringLiteral("Partnertörzs"),
                        [this] { openScreen(QStringLiteral("BeraktarozokFormX"), true); });
    Iktatas = menu(QStringLiteral("Iktatas"), QStringLiteral("&Iktatás"));
    Iktato = item(Iktatas, QStringLiteral("Iktato"), QStringLiteral("Iktató"), [this] { openScreen(QStringLiteral("IktatasFormX"), false); });
    Iktatas->addSeparator();
    Mellekletek = item(Iktatas, QStringLiteral("Mellekletek"), QStringLiteral("Mellékletek"), [this] {
        handOver().singleEntryAttachments = false;
        openScreen(QStringLiteral("IktatasMellekletekFormX"), true);
    });
    Beallitas = menu(QStringLiteral("Beallitas"), QStringLiteral("&Beállítások"));
    FelhasznaloValtas = item(Beallitas, QStringLiteral("FelhasznaloValtas"), QStringLiteral("Felhasználóváltás"), [this] { userSwitch(); });
    UjFelhasznalo = item(Beallitas, QStringLiteral("UjFelhasznalo"), QStringLiteral("Új felhasználó"),
                         [this] { openScreen(QStringLiteral("menuUjFelhasznaloForm"), true); });
    FelhasznaloModositas = item(Beallitas, QStringLiteral("FelhasznaloModositas"), QStringLiteral("Felhasználói jelszó módosítása"),
                                [this] { openScreen(QStringLiteral("FelhJelszoValtoztatFormX"), true); });
    Beallitas->addSeparator();
    Parameter = item(Beallitas, QStringLiteral("Parameter"), QStringLiteral("Paraméterezés"),
                     [this] { openScreen(QStringLiteral("ParameterFormX"), true); });
    Szerviz = bar->addAction(QStringLiteral("S&zerviz"));
    Szerviz->setObjectName(QStringLiteral("Szerviz"));
    Segedlet = menu(QStringLiteral("Segedlet"), QStringLiteral("&Segédlet"));
    Kezikonyv = item(Segedlet, QStringLiteral("Kezikonyv"), QStringLiteral("Felhasználói kézikönyv"),
                     [this] { openScreen(QStringLiteral("FelhasznaloiKezikonyvForm"), true); });
    Kilepes_ = bar->addAction(QStringLiteral("&Kilépés"));
    Kilepes_->setObjectName(QStringLiteral("Kilepes"));
    connect(Kilepes_, &QAction::triggered, this, &TarvixFormX::Kilepes);
}

void TarvixFormX::setMenusEnabled(bool enabled)
{
    Torzsek->menuAction()->setEnabled(enabled);
    Iktatas->menuAction()->setEnabled(enabled);
    Beallitas->menuAction()->setEnabled(enabled);
    Szerviz->setEnabled(enabled);
}

void TarvixFormX::showLoginPanel(bool shown)
{
    LabelUser->setVisible(shown);
    Combo1->setVisible(shown);
    LabelPassword->setVisible(shown);
    Command1->setVisible(shown);
}

void TarvixFormX::setLoginButtonColor(quint32 bgr)
{
    Command1->setStyleSheet(QStringLiteral("QPushButton#Command1 { background-color: %1; border: 1px solid #808080; padding: 6px; }"
                                           "QPushButton#Command1:disabled { color: #808080; }")
                                .arg(vbColor(bgr).name()));
    Command1->setProperty("vbBackColor", bgr);
}

void TarvixFormX::start()
{
    load();
    show();
    // the keyboard comes here at once (access keys, Enter), also where no
    // window manager hands it over
    activateWindow();
    activationSequence();
}

void TarvixFormX::load()
{
    // every data source opens with the window; one that cannot open stays
    // closed and its steps fail quietly, as the activation sequence expects
    for (data::DataSource *source : {&Regiszt, &BettorzsData, &RegisztData}) {
        source->refresh();
        source->clearError();
    }
    currentUser().name = QStringLiteral("demo");
    workingDirectory_ = QDir::currentPath();
    Label2->setVisible(false);
    showLoginPanel(true);
    Text1->setVisible(false);
    Command1->setEnabled(false);
    setLoginButtonColor(kLoginIdle);
    setMenusEnabled(false);
    Combo1->setEditText(QStringLiteral("DEMO"));
    platform().setBusyPointer(false);
}

bool TarvixFormX::focusUserField()
{
    if (!Combo1->isVisible() || !Combo1->isEnabled())
        return false;
    Combo1->setFocus(Qt::OtherFocusReason);
    Combo1->lineEdit()->selectAll();  // typing replaces the name shown
    return true;
}

bool TarvixFormX::isUserFieldPart(const QWidget *widget) const
{
    return widget && (widget == Combo1 || Combo1->isAncestorOf(widget));
}

void TarvixFormX::pressDefaultButton()
{
    if (Command1->isVisible() && Command1->isEnabled())
        Command1->click();
}

void TarvixFormX::keyPressEvent(QKeyEvent *event)
{
    // The login button is the window's default button: an Enter that no field
    // used presses it. A key that chooses from the open user list stays in the
    // list's own window and never gets here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressDefaultButton();
        event->accept();
        return;
    }
    Screen::keyPressEvent(event);
}

void TarvixFormX::activationSequence()
{
    if (exitRequested_)
        return;
    platform().setBusyPointer(true);
    if (focusUserField())
        selectWholeContent(Text1);
    if (firstActivation_) {
        firstActivation_ = false;
        currentUser().password = QStringLiteral("kuvo");
        currentUser().accessLevel = 1;
    }

    // read the table anew: screens opened from here add and change users
    if (Regiszt.refresh()) {
        const QString userField = QStringLiteral("Felhasználó");
        if (Regiszt.recordCount() < 1) {
            addDefaultUser(QString(), QStringLiteral("Első indítás"));
        } else {
            Regiszt.moveFirst();
            if (Funcs::NullToEmpty(Regiszt.value(userField)).isEmpty()) {
                Regiszt.deleteCurrent();
                Regiszt.moveNext();
            }
            if (Regiszt.recordCount() < 1) {
                platform().beep();
                platform().setBusyPointer(false);
                platform().beep();
                if (RegisztData.hasCurrent()) {
                    const QStringList lines = {QStringLiteral("Nincs felhasználó megadva!"),
                                               QStringLiteral("A program most kilép, kérem indítsa újra!"),
                                               QStringLiteral("Napló akció dátuma: ") + Funcs::NullToEmpty(RegisztData.value(2)),
                                               QStringLiteral("Rendszerdátum: ") + Funcs::NullToEmpty(platform().clock().today())};
                    platform().message(this, QStringLiteral("FIGYELEM!"), lines.join(u'\n'), MessageIcon::Exclamation);
                }
                actionText_ = QStringLiteral("HIBA! Nincs felhasználó! Kilépés!");
                writeActivityLogRow();
                Kilepes();
                return;
            }
        }
        // refill the user list in table order; the typed text stays
        const QString typed = Combo1->currentText();
        Combo1->clear();
        if (Regiszt.moveFirst()) {
            while (!Regiszt.eof()) {
                Combo1->addItem(Funcs::NullToEmpty(Regiszt.value(userField)));
                if (!Regiszt.moveNext())
                    break;
            }
        }
        Combo1->setCurrentIndex(-1);
        Combo1->setEditText(typed);
    }
    Regiszt.clearError();
    focusUserField();
    platform().setBusyPointer(false);
}

data::Error TarvixFormX::addDefaultUser(const QString &password, const QString &creator)
{
    data::Error error;
    if (!Regiszt.addNew()) {
        error = Regiszt.lastError();
        Regiszt.clearError();
        return error;
    }
    Regiszt.setValue(0, QStringLiteral("demo"));
    Regiszt.setValue(1, password);
    Regiszt.setValue(2, 1);
    Regiszt.setValue(3, creator);
    Regiszt.setValue(4, platform().clock().today());
    if (!Regiszt.update()) {
        error = Regiszt.lastError();
        Regiszt.cancelUpdate();
    }
    Regiszt.moveLast();
    Regiszt.clearError();
    return error;
}

void TarvixFormX::userChosen()
{
    Text1->setVisible(true);
    Command1->setEnabled(true);
    Text1->setFocus(Qt::OtherFocusReason);
}

void TarvixFormX::login()
{
    setLoginButtonColor(kLoginTried);
    platform().setBusyPointer(true);
    Text1->setVisible(true);

    const bool readable = Regiszt.refresh();
    const int count = Regiszt.recordCount();
    if (!readable) {
        // a file that is there but cannot be read says what is wrong with it
        const data::Error error = Regiszt.lastError();
        const bool missing = !error || error.code == data::ErrorCode::FileMissing;
        reportProblem(this, QStringLiteral("FIGYELEM! Súlyos hiba!"),
                      missing ? QStringLiteral("Nem található a REGISZT.TVD állomány!") : error.message, MessageIcon::Critical);
        Regiszt.clearError();
        Kilepes();
        return;
    }
    if (count < 1) {
        reportProblem(this, QStringLiteral("Felhasználó inicializálása sikertelen!"), QStringLiteral("Indítsa újra a programot!"),
                      MessageIcon::Critical);
        // a user file that cannot be written would ask for a restart for ever: say why
        if (const data::Error error = addDefaultUser(QStringLiteral("kuvo"), QStringLiteral("automatikus")))
            reportProblem(this, QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical);
        writeActivityLogRow();
        Kilepes();
        return;
    }

    const QString name = Combo1->currentText();
    const QString typedPassword = Text1->text();
    bool matched = false;
    QVariant level;
    if (Regiszt.moveFirst()) {
        while (!Regiszt.eof()) {
            const QVariant storedName = Regiszt.value(QStringLiteral("Felhasználó"));
            if (!storedName.isNull() && storedName.toString() == name &&
                passwordMatches(Regiszt.value(QStringLiteral("Jelszó")), typedPassword)) {
                matched = true;
                level = Regiszt.value(QStringLiteral("JogosultságiSzint"));
                break;
            }
            if (!Regiszt.moveNext())
                break;
        }
    }
    Regiszt.clearError();

    if (matched) {
        currentUser().name = name;
        currentUser().password = typedPassword;
        currentUser().accessLevel = short(qRound(Funcs::NullToZero(level).toDouble()));
        Text1->setVisible(false);
        showLoginPanel(false);
        setMenusEnabled(true);
        Label2->setVisible(true);
        setLoginButtonColor(kLoginDone);
        platform().setBusyPointer(false);
        return;
    }
    setMenusEnabled(false);
    reportProblem(this, QStringLiteral("FIGYELEM! A felhasználó azonosítása sikertelen!"),
                  QStringLiteral("Hibás felhasználói név és/vagy jelszó!"), MessageIcon::Critical);
    showLoginPanel(true);
    Text1->setVisible(true);
    Command1->setEnabled(false);
    focusUserField();
}

void TarvixFormX::userSwitch()
{
    actionText_ = QStringLiteral("Felhasználóváltás kérése");
    writeActivityLogRow();
    currentUser().name = QStringLiteral("NINCS");
    Text1->clear();
    showLoginPanel(true);
    Command1->setEnabled(false);
    setMenusEnabled(false);
    focusUserField();
}

void TarvixFormX::writeActivityLogRow() { tvx::writeActivityLogRow(RegisztData, actionText_); }

void TarvixFormX::openScreen(const QString &name, bool hideMeanwhile)
{
    if (!isScreenRegistered(name))
        return;
    Screen *screen = createScreen(name, hideMeanwhile ? nullptr : this);
    if (!screen)
        return;
    if (hideMeanwhile)
        hide();
    screen->showModal();
    delete screen;
    if (hideMeanwhile)
        show();
    // the keyboard comes back here, also where no window manager hands it over
    activateWindow();
    activationSequence();
}

void TarvixFormX::exitRoutine()
{
    Screen::exitRoutine();
    exitRequested_ = true;
    platform().endProgram();
}

bool TarvixFormX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == VendorText && event->type() == QEvent::MouseButtonRelease) {
        if (!platform().startProgram(kVendorPage))
            platform().beep();
        return true;
    }
    // Tab leaves the user field even when no other field can take the focus
    // yet; so does Enter while the login button waits for a user, otherwise
    // Enter presses it. The field never sees Enter: it would complete the
    // typed name to a listed one that differs only in letter case.
    if (event->type() == QEvent::KeyPress && isUserFieldPart(qobject_cast<QWidget *>(watched)) && Combo1->isVisible()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab) {
            userChosen();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (Command1->isEnabled())
                pressDefaultButton();
            else
                userChosen();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}

}  // namespace tvx
