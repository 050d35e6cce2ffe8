#include "help/helpformx.h"

#include "common/menus.h"
#include "common/platform.h"
#include "common/session.h"
#include "help/helptable.h"
#include "help/rtfviewer.h"

#include <QAction>
#include <QMenuBar>
#include <QTextEdit>

namespace tvx {

HelpFormX::HelpFormX(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("HelpFormX"));
    setWindowTitle(QStringLiteral("Segédlet (Help) - Tarvix"));
    resize(760, 560);
    RichTextBox1 = help::newRichTextViewer(this);
    setCentralWidget(RichTextBox1);

    HNyom = menuBar()->addAction(QStringLiteral("&Nyomtat"));
    HNyom->setObjectName(QStringLiteral("HNyom"));
    connect(HNyom, &QAction::triggered, this, &HelpFormX::Nyomtat);
    KilepesItem = menuBar()->addAction(QStringLiteral("&Kilépés"));
    KilepesItem->setObjectName(QStringLiteral("Kilepes"));
    connect(KilepesItem, &QAction::triggered, this, &Screen::Kilepes);

    platform().setBusyPointer(false);
}

void HelpFormX::activation()
{
    const QString screenId = handOver().helpScreenId;
    for (const QString &file : help::helpFilesFor(screenId)) {
        if (help::showRtfFile(*RichTextBox1, file))
            continue;
        reportProblem(this, QStringLiteral("FIGYELEM!"), QStringLiteral("A segédállomány jelenleg nem tölthető be!"),
                      MessageIcon::Critical);
        RichTextBox1->viewport()->update();
    }
    if (screenId.isEmpty()) {
        platform().beep();
        RichTextBox1->setPlainText(QStringLiteral("Ehhez a modulhoz nincs segédlet!"));
    }
    handOver().helpScreenId.clear();
}

void HelpFormX::Nyomtat()
{
    help::printViewerText(this, *RichTextBox1);
}

}  // namespace tvx
