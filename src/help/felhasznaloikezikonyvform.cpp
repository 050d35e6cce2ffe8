#include "help/felhasznaloikezikonyvform.h"

#include "common/platform.h"
#include "help/rtfviewer.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace tvx {

FelhasznaloiKezikonyvForm::FelhasznaloiKezikonyvForm(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("FelhasznaloiKezikonyvForm"));
    setWindowTitle(QStringLiteral("Felhasználói kézikönyv - Tarvix"));
    resize(900, 680);

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    RichTextBox1 = help::newRichTextViewer(central);
    Label1 = new QLabel(QStringLiteral("Figyelem! A kézikönyv RTF formátumban egységes szerkezetben is hozzáférhető a program könyvtárában!"),
                        central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Command2 = new QPushButton(QStringLiteral("Nyomtatás"), central);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("Alapértelmezett nyomtatóra"));
    Kilepes_ = new QPushButton(QStringLiteral("Kilépés"), central);
    Kilepes_->setObjectName(QStringLiteral("Kilepes"));
    Kilepes_->setShortcut(QKeySequence(Qt::Key_Escape));
    grid->addWidget(RichTextBox1, 0, 0, 1, 3);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(Command2, 1, 1);
    grid->addWidget(Kilepes_, 1, 2);
    grid->setColumnStretch(0, 1);
    setCentralWidget(central);
    connect(Command2, &QPushButton::clicked, this, &FelhasznaloiKezikonyvForm::Nyomtatas);
    connect(Kilepes_, &QPushButton::clicked, this, &Screen::Kilepes);

    help::showRtf(*RichTextBox1, builtInManual());
    RichTextBox1->setFocus();
    platform().setBusyPointer(false);
}

QByteArray FelhasznaloiKezikonyvForm::builtInManual()
{
    QFile manual(QStringLiteral(":/help/TarvixFelhKezikonyvEgyseges.rtf"));
    return manual.open(QIODevice::ReadOnly) ? manual.readAll() : QByteArray();
}

void FelhasznaloiKezikonyvForm::Nyomtatas()
{
    help::printViewerText(this, *RichTextBox1);
}

}  // namespace tvx
