#pragma once

// The filing entry without a window: the filing number, the searches over it
// and the deletion that archives first.

#include <QString>

namespace tvx::filing {

}  // namespace tvx::filing
