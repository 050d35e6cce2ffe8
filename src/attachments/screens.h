#pragma once

namespace tvx {

// IktatasMellekletekFormX
void registerAttachmentScreens();

}  // namespace tvx
