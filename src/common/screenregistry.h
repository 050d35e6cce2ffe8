#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tvx {

class Screen;

// The screens a menu can open, by window name (e.g. "IktatasFormX"). Each
// subsystem registers its screens at start-up; a name nobody registered opens nothing.
using ScreenFactory = std::function<Screen *(QWidget *parent)>;
void registerScreen(const QString &name, ScreenFactory factory);
bool isScreenRegistered(const QString &name);
Screen *createScreen(const QString &name, QWidget *parent);

}  // namespace tvx
