#pragma once

namespace tvx {

// BeraktarozokFormX
void registerPartnerScreens();

}  // namespace tvx
