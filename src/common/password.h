#pragma once

#include <QString>
#include <QVariant>

namespace tvx {

// The one place where a typed password is compared with a stored one: exact,
// letter case respected, a null stored password read as empty.
bool passwordMatches(const QVariant &stored, const QString &typed);

}  // namespace tvx
