#pragma once

namespace tvx {

// menuUjFelhasznaloForm, FelhJelszoValtoztatFormX
void registerUserScreens();

}  // namespace tvx
