#pragma once

namespace tvx {

// Registers every screen a menu of Tarvix can open, by window name. Called
// once by main before the main window starts.
void registerScreens();

}  // namespace tvx
