#pragma once

namespace tvx {

// Makes the Qt desktop implementation (message boxes, the printer, the
// desktop's programs) the platform of this program. Called once by main.
void useDesktopPlatform();

}  // namespace tvx
