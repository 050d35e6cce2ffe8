#pragma once

namespace tvx {

// Hungarian formatting whatever the machine's locale: decimal comma, no group
// separator in plain numbers.
void useHungarianLocale();

}  // namespace tvx
