#pragma once

namespace tvx {

// HelpFormX, FelhasznaloiKezikonyvForm
void registerHelpScreens();

}  // namespace tvx
