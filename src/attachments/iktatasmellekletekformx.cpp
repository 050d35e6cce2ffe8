#include "attachments/iktatasmellekletekformx.h"

namespace tvx {

IktatasMellekletekFormX::IktatasMellekletekFormX(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("IktatasMellekletekFormX"));
    setWindowTitle(QStringLiteral("Iktatáshoz melléklet megadása - Tarvix"));
}

}  // namespace tvx
