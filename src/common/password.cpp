#include "common/password.h"

#include "common/funcs.h"

namespace tvx {

bool passwordMatches(const QVariant &stored, const QString &typed)
{
    return Funcs::NullToEmpty(stored) == typed;
}

}  // namespace tvx
