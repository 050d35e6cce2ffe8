#include "filing/iktatasformx.h"

namespace tvx {

IktatasFormX::IktatasFormX(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("IktatasFormX"));
    setWindowTitle(QStringLiteral("Iktatás - Tarvix"));
}

}  // namespace tvx
