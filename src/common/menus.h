#pragma once

// Menu items named as the screens name them, so tests and the keyboard reach
// them by name.

#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace tvx {

// An item on the menu bar itself (`menu` null) or in `menu`.
QAction *addNamedAction(QMenuBar *bar, QMenu *menu, const char *name, const QString &caption);
// A menu of the menu bar.
QMenu *addNamedMenu(QMenuBar *bar, const char *name, const QString &caption);
// An empty, disabled item that keeps the menu bar's items apart.
void addMenuSpacer(QMenuBar *bar);

}  // namespace tvx
