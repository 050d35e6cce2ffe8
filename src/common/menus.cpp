#include "common/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tvx {

QAction *addNamedAction(QMenuBar *bar, QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu ? menu->addAction(caption) : bar->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

QMenu *addNamedMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(name));
    return menu;
}

void addMenuSpacer(QMenuBar *bar) { bar->addAction(QString())->setEnabled(false); }

}  // namespace tvx
