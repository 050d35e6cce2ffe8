#pragma once

namespace tvx {

// IktatasFormX, ParameterFormX
void registerFilingScreens();

}  // namespace tvx
