#pragma once

namespace tvx {

// IktatasFormX, ParameterFormX, SzamlaTartozasFormX
void registerFilingScreens();

}  // namespace tvx
