#include "filing/parameterformx.h"

namespace tvx {

ParameterFormX::ParameterFormX(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("ParameterFormX"));
    setWindowTitle(QStringLiteral("Tarvix - Paraméterezés"));
}

}  // namespace tvx
