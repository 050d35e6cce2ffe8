#include "users/felhjelszovaltoztatformx.h"

#include "common/caught.h"
#include "common/password.h"
#include "common/platform.h"
#include "common/session.h"
#include "data/jetsql.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace tvx {

namespace {

const QString kTitle = QStringLiteral("FIGYELEM!");

QLineEdit *passwordField(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(10);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return edit;
}

QPushButton *stageButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);  // Enter presses the focused button
    return button;
}

void problem(QWidget *screen, const QString &text)
{
    reportProblem(screen, kTitle, text, MessageIcon::Critical);
}

// A lock is worth another try and says only that; any other failure (a file
// that cannot be written, a full disk) adds what stands in the way.
bool failed(QWidget *screen, data::DataSource &source, bool stepOk, LockMessage message)
{
    const data::Error error = source.lastError();
    if (!stepOk && error && error.code != data::ErrorCode::Locked && error.code != data::ErrorCode::Busy)
        message.text += u'\n' + error.message;
    return caught(screen, source, stepOk, message);
}

}  // namespace

FelhJelszoValtoztatFormX::FelhJelszoValtoztatFormX(QWidget *parent)
    : Screen(parent), RegisztJ(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"))
{
    setObjectName(QStringLiteral("FelhJelszoValtoztatFormX"));
    setWindowTitle(QStringLiteral("Jelszó megváltoztatása - Tarvix"));
    RegisztJ.setObjectName(QStringLiteral("RegisztJ"));
    addDataSource(RegisztJ);

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(20, 16, 20, 16);
    Label1 = new QLabel(QStringLiteral("Régi jelszó:"), central);
    Label2 = new QLabel(QStringLiteral("Új jelszó (max. 10 karakter):"), central);
    Label3 = new QLabel(QStringLiteral("Új jelszó ismét:"), central);
    Text1 = passwordField(QStringLiteral("Text1"), central);
    Text2 = passwordField(QStringLiteral("Text2"), central);
    Text3 = passwordField(QStringLiteral("Text3"), central);
    Command1 = stageButton(QStringLiteral("Command1"), QStringLiteral("OK - 1"), central);
    Command2 = stageButton(QStringLiteral("Command2"), QStringLiteral("OK - 2"), central);
    Command3 = stageButton(QStringLiteral("Command3"), QStringLiteral("OK - 3"), central);
    const QList<QLabel *> labels{Label1, Label2, Label3};
    const QList<QLineEdit *> fields{Text1, Text2, Text3};
    const QList<QPushButton *> buttons{Command1, Command2, Command3};
    for (int i = 0; i < 3; ++i) {
        labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        grid->addWidget(labels[i], i, 0);
        grid->addWidget(fields[i], i, 1);
        grid->addWidget(buttons[i], i, 2);
    }
    grid->setRowStretch(3, 1);
    setCentralWidget(central);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Text2);
    setTabOrder(Text2, Command2);
    setTabOrder(Command2, Text3);
    setTabOrder(Text3, Command3);

    Kilepes_ = menuBar()->addAction(QStringLiteral("&Vissza"));
    Kilepes_->setObjectName(QStringLiteral("Kilepes"));
    connect(Kilepes_, &QAction::triggered, this, &Screen::Kilepes);
    connect(Command1, &QPushButton::clicked, this, &FelhJelszoValtoztatFormX::ok1);
    connect(Command2, &QPushButton::clicked, this, &FelhJelszoValtoztatFormX::ok2);
    connect(Command3, &QPushButton::clicked, this, &FelhJelszoValtoztatFormX::ok3);

    RegisztJ.refresh();
    RegisztJ.clearError();  // a file that cannot open counts as no user
    enableNewPassword(false);
    resize(520, 200);
    Text1->setFocus(Qt::OtherFocusReason);
}

void FelhJelszoValtoztatFormX::enableNewPassword(bool enabled)
{
    Text2->setEnabled(enabled);
    Command2->setEnabled(enabled);
    Text3->setEnabled(enabled);
    Command3->setEnabled(enabled);
}

void FelhJelszoValtoztatFormX::ok1()
{
    // a file that cannot be read is no empty user table
    if (!RegisztJ.isOpen() && !RegisztJ.refresh()) {
        problem(this, RegisztJ.lastError().message);
        RegisztJ.clearError();
        return;
    }
    if (RegisztJ.recordCount() < 1) {
        problem(this, QStringLiteral("Nincs felhasználó felvéve!"));
        return;
    }
    if (!passwordMatches(currentUser().password, Text1->text())) {
        problem(this, QStringLiteral("Nem megfelelő jelszó!"));
        enableNewPassword(false);
        return;
    }
    Text2->setEnabled(true);
    Text2->setFocus(Qt::OtherFocusReason);
    Command2->setEnabled(true);
    platform().setBusyPointer(false);
}

void FelhJelszoValtoztatFormX::ok2()
{
    Text3->setEnabled(true);
    Text3->setFocus(Qt::OtherFocusReason);
    Command3->setEnabled(true);
}

void FelhJelszoValtoztatFormX::ok3()
{
    if (!passwordMatches(Text2->text(), Text3->text())) {
        problem(this, QStringLiteral("Nem megfelelő jelszóegyezés!"));
        Text3->setEnabled(false);
        Command3->setEnabled(false);
        Command2->setEnabled(true);
        Text2->setFocus(Qt::OtherFocusReason);
        return;
    }
    // the running program knows the new password even if it cannot be stored
    currentUser().password = Text3->text();

    platform().setBusyPointer(true);
    const QString name = currentUser().name;
    if (name.isEmpty() || name == u"*") {
        platform().setBusyPointer(false);
        return;
    }
    switch (findOwnRow(name)) {
    case RowFound::Failed:
        caught(this, RegisztJ, false, LockMessage{kTitle, RegisztJ.lastError().message, MessageIcon::Critical});
        return;
    case RowFound::No:
        reportProblem(this, QStringLiteral("SÚLYOS HIBA!"), QStringLiteral("Nincs ilyen felhasználó!"), MessageIcon::None);
        return;
    case RowFound::Yes: break;
    }
    if (failed(this, RegisztJ, RegisztJ.edit(), lockmessages::kUserRowLocked))
        return;
    const bool saved = RegisztJ.setValue(1, Text3->text()) && RegisztJ.update();
    if (failed(this, RegisztJ, saved, lockmessages::kUserRowNotSaved)) {
        RegisztJ.cancelUpdate();  // the row stays as it was
        return;
    }
    Text2->setEnabled(false);
    Text3->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    platform().setBusyPointer(false);
}

FelhJelszoValtoztatFormX::RowFound FelhJelszoValtoztatFormX::findOwnRow(const QString &name)
{
    const QString criteria = QStringLiteral("[Felhasználó] = ") + data::jet::quoted(name, u'"');
    if (!RegisztJ.findFirst(criteria))
        return RowFound::Failed;
    if (RegisztJ.noMatch())
        return RowFound::No;
    if (RegisztJ.value(0).toString() == name)
        return RowFound::Yes;
    // older data sets may hold the name in several spellings: "Kiss" and "kiss"
    const data::Bookmark first = RegisztJ.bookmark();
    while (RegisztJ.findNext(criteria) && !RegisztJ.noMatch()) {
        if (RegisztJ.value(0).toString() == name)
            return RowFound::Yes;
    }
    if (RegisztJ.lastError())
        return RowFound::Failed;
    return RegisztJ.setBookmark(first) ? RowFound::Yes : RowFound::Failed;
}

}  // namespace tvx
