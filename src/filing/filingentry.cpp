#include "filing/filingentry.h"

namespace tvx::filing {

}  // namespace tvx::filing
