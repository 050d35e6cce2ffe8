#include "users/menuujfelhasznaloform.h"

#include "common/caught.h"
#include "common/colors.h"
#include "common/fieldbehaviour.h"
#include "common/password.h"
#include "common/platform.h"
#include "common/session.h"
#include "data/jetsql.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace tvx {

namespace {

const QString kTitle = QStringLiteral("FIGYELEM!");
const QString kNameTaken = QStringLiteral("Már létezik ilyen felhasználó! Adjon meg másik nevet!");

QLineEdit *field(const QString &name, int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    highlightOnFocus(edit);
    return edit;
}

void showAsStars(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

void focusAndSelect(QLineEdit *edit)
{
    edit->setFocus(Qt::OtherFocusReason);
    selectWholeContent(edit);
}

}  // namespace

menuUjFelhasznaloForm::menuUjFelhasznaloForm(QWidget *parent)
    : Screen(parent),
      RegisztData(QStringLiteral("Regiszt.tvd"), QStringLiteral("Users")),
      Regisztralas(QStringLiteral("Regiszt.tvd"), QStringLiteral("Regisztrálás"))
{
    setObjectName(QStringLiteral("menuUjFelhasznaloForm"));
    setWindowTitle(QStringLiteral("Új felhasználó - Tarvix"));
    RegisztData.setObjectName(QStringLiteral("RegisztData"));
    Regisztralas.setObjectName(QStringLiteral("Regisztrálás"));
    addDataSource(RegisztData);
    addDataSource(Regisztralas);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(20, 16, 20, 16);
    auto *identification = new QGridLayout;
    Label1 = new QLabel(QStringLiteral("Kérem a jelenlegi felhasználó nevét:"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = field(QStringLiteral("Text1"), 25, central);
    Label2 = new QLabel(QStringLiteral("és jelszavát:"), central);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text2 = field(QStringLiteral("Text2"), 10, central);
    showAsStars(Text2);
    Command1 = new QPushButton(QStringLiteral("Bejelentkezés"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    identification->addWidget(Label1, 0, 0);
    identification->addWidget(Text1, 0, 1);
    identification->addWidget(Label2, 1, 0);
    identification->addWidget(Text2, 1, 1);
    identification->addWidget(Command1, 2, 1, Qt::AlignRight);
    layout->addLayout(identification);
    layout->addSpacing(12);

    Frame1 = new QGroupBox(QStringLiteral("Új felhasználó (user)"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QGridLayout(Frame1);
    Label3 = new QLabel(QStringLiteral("Új felhasználó neve (maximum 25 karakter):"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Text3 = field(QStringLiteral("Text3"), 25, Frame1);
    Label4 = new QLabel(QStringLiteral("Új felhasználó jelszava (maximum 10 karakter):"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Text4 = field(QStringLiteral("Text4"), 10, Frame1);
    showAsStars(Text4);
    Label5 = new QLabel(QStringLiteral("Jogosultsága (0-2 szint):"), Frame1);
    Label5->setObjectName(QStringLiteral("Label5"));
    Text5 = field(QStringLiteral("Text5"), 1, Frame1);
    Text5->setMaximumWidth(40);
    command3 = new QPushButton(QStringLiteral("Rendben"), Frame1);
    command3->setObjectName(QStringLiteral("command3"));
    acceptOnly(Text5, QStringLiteral("012"), command3);
    frameLayout->addWidget(Label3, 0, 0);
    frameLayout->addWidget(Text3, 0, 1);
    frameLayout->addWidget(Label4, 1, 0);
    frameLayout->addWidget(Text4, 1, 1);
    frameLayout->addWidget(Label5, 2, 0);
    frameLayout->addWidget(Text5, 2, 1, Qt::AlignLeft);
    frameLayout->addWidget(command3, 3, 1, Qt::AlignRight);
    // the window does not jump when the frame or the button appears or goes
    for (QWidget *w : {static_cast<QWidget *>(Frame1), static_cast<QWidget *>(Command1)}) {
        QSizePolicy keepPlace = w->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keepPlace);
    }
    Frame1->setVisible(false);
    layout->addWidget(Frame1);
    layout->addStretch(1);
    setCentralWidget(central);

    // a focused button takes Enter itself; elsewhere Enter goes to the default button
    Command1->setAutoDefault(true);
    command3->setAutoDefault(true);
    setDefaultButton(Command1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Text3);
    setTabOrder(Text3, Text4);
    setTabOrder(Text4, Text5);
    setTabOrder(Text5, command3);

    Kilepes_ = menuBar()->addAction(QStringLiteral("&Kilépés"));
    Kilepes_->setObjectName(QStringLiteral("Kilepes"));
    connect(Kilepes_, &QAction::triggered, this, &Screen::Kilepes);
    connect(Command1, &QPushButton::clicked, this, &menuUjFelhasznaloForm::identify);
    connect(command3, &QPushButton::clicked, this, &menuUjFelhasznaloForm::save);

    // A field is left when the focus moves to another control of this window:
    // not when a message box or another window takes it, nor the menu bar.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old && now && now->window() == this && now != menuBar())
            fieldLeft(old);
    });

    for (data::DataSource *source : {&RegisztData, &Regisztralas}) {
        source->refresh();
        source->clearError();  // a file that cannot open is reported by the step that needs it
    }
    resize(620, 330);
    Text1->setFocus(Qt::OtherFocusReason);
}

menuUjFelhasznaloForm::~menuUjFelhasznaloForm()
{
    // the fields go before the window does, and their focus moves with them
    disconnect(focusWatch_);
}

QString menuUjFelhasznaloForm::nameCriteria(const QString &name)
{
    return QStringLiteral("[Felhasználó] = ") + data::jet::quoted(name, u'"');
}

void menuUjFelhasznaloForm::setDefaultButton(QPushButton *button)
{
    defaultButton_ = button;
    Command1->setDefault(button == Command1);
    command3->setDefault(button == command3);
}

void menuUjFelhasznaloForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (defaultButton_ && defaultButton_->isVisible() && defaultButton_->isEnabled())
            defaultButton_->click();
        event->accept();
        return;
    }
    Screen::keyPressEvent(event);
}

void menuUjFelhasznaloForm::fieldLeft(QWidget *field)
{
    if (reacting_ || !exitOnClose())
        return;
    if (field == Text1) {
        text1Left();
    } else if (field == Text2) {
        if (Text2->text().isEmpty())
            platform().beep();
        identify();
    } else if (field == Text3 || field == Text4) {
        save();
    } else if (field == Text5) {
        text5Left();
    }
}

void menuUjFelhasznaloForm::text1Left()
{
    const QScopedValueRollback<bool> busy(reacting_, true);
    if (Text1->text().isEmpty()) {
        platform().beep();
        identify();
        return;
    }
    if (RegisztData.recordCount() < 1) {
        addDefaultUser();
        return;
    }
    if (!RegisztData.findFirst(nameCriteria(Text1->text()))) {
        report(RegisztData);
        return;
    }
    if (RegisztData.noMatch())
        sendBack(QStringLiteral("Nincs ilyen felhasználó!"), Text1);
}

void menuUjFelhasznaloForm::text5Left()
{
    // the field the focus went to is not left by the move to "Rendben"
    const QScopedValueRollback<bool> busy(reacting_, true);
    if (Text5->text().isEmpty())
        Text5->setText(QStringLiteral("2"));
    else
        command3->setFocus(Qt::OtherFocusReason);
}

void menuUjFelhasznaloForm::identify()
{
    const QScopedValueRollback<bool> busy(reacting_, true);
    if (RegisztData.recordCount() < 1) {
        addDefaultUser();
        return;
    }
    // The name is found as the engine compares it, letter case ignored; the
    // password must match exactly, so every row of that name is tried.
    const QString criteria = nameCriteria(Text1->text());
    bool ok = RegisztData.findFirst(criteria);
    while (ok && !RegisztData.noMatch() && !passwordMatches(RegisztData.value(QStringLiteral("Jelszó")), Text2->text()))
        ok = RegisztData.findNext(criteria);
    if (!ok) {
        report(RegisztData);
        return;
    }
    if (RegisztData.noMatch()) {
        sendBack(QStringLiteral("Nincs ilyen felhasználó a megadott jelszóval!"), Text1);
        return;
    }
    Frame1->setVisible(true);
    Frame1->setEnabled(true);
    Text1->setEnabled(false);
    Text2->setEnabled(false);
    Command1->setVisible(false);
    setDefaultButton(command3);
    Text3->setFocus(Qt::OtherFocusReason);
}

void menuUjFelhasznaloForm::save()
{
    const QScopedValueRollback<bool> busy(reacting_, true);
    const QString name = Text3->text();
    if (name.isEmpty()) {
        platform().beep();
        platform().message(this, kTitle, QStringLiteral("A név megadása kötelező!"), MessageIcon::Exclamation);
        focusAndSelect(Text3);
        return;
    }
    const QString criteria = nameCriteria(name);
    if (!RegisztData.findFirst(criteria)) {
        report(RegisztData);
        return;
    }
    if (!RegisztData.noMatch()) {
        nameTaken();
        return;
    }
    if (Text4->text().isEmpty() || Text5->text().isEmpty())
        return;

    if (!RegisztData.addNew()) {
        report(RegisztData);
        return;
    }
    if (!RegisztData.setValue(0, name) || !RegisztData.setValue(1, Text4->text()) || !RegisztData.setValue(2, Text5->text().toInt()) ||
        !RegisztData.setValue(3, currentUser().name) || !RegisztData.setValue(4, platform().clock().today())) {
        report(RegisztData);
        RegisztData.cancelUpdate();
        return;
    }
    // Another program may have added the name since the look-up above: the
    // check is made again in the transaction that writes the row.
    const bool saved = RegisztData.update([&criteria](data::WriteCheck &check) {
        bool exists = false;
        if (data::Error e = check.exists(criteria, exists))
            return e;
        return exists ? data::Error{data::ErrorCode::Refused, kNameTaken} : data::Error::none();
    });
    if (!saved) {
        const bool taken = RegisztData.lastError().code == data::ErrorCode::Refused;
        if (taken) {
            RegisztData.cancelUpdate();
            RegisztData.clearError();
            nameTaken();
        } else {
            report(RegisztData);
            RegisztData.cancelUpdate();
        }
        return;
    }
    RegisztData.moveLast();
    RegisztData.clearError();

    Frame1->setEnabled(false);
    Text1->setEnabled(true);
    Text2->setEnabled(true);
    focusAndSelect(Text1);
    setBackground(Text1, kWindowBackground);
    Text2->clear();
    Command1->setVisible(true);
    setDefaultButton(Command1);
}

void menuUjFelhasznaloForm::nameTaken()
{
    sendBack(kNameTaken, Text3);
    setBackground(Text3, kWindowBackground);
}

void menuUjFelhasznaloForm::sendBack(const QString &text, QLineEdit *field)
{
    reportProblem(this, kTitle, text, MessageIcon::Exclamation);
    RegisztData.moveFirst();
    RegisztData.clearError();
    focusAndSelect(field);
}

void menuUjFelhasznaloForm::addDefaultUser()
{
    if (!RegisztData.addNew()) {
        report(RegisztData);
        return;
    }
    if (!RegisztData.setValue(0, QStringLiteral("demo")) || !RegisztData.setValue(1, QStringLiteral("kuvo")) ||
        !RegisztData.setValue(2, 1) || !RegisztData.setValue(3, QStringLiteral("automatikus")) ||
        !RegisztData.setValue(4, platform().clock().today()) || !RegisztData.update()) {
        report(RegisztData);
        RegisztData.cancelUpdate();
        return;
    }
    RegisztData.moveLast();
    RegisztData.clearError();
}

void menuUjFelhasznaloForm::report(data::DataSource &source)
{
    caught(this, source, false, LockMessage{kTitle, source.lastError().message, MessageIcon::Exclamation});
}

}  // namespace tvx
