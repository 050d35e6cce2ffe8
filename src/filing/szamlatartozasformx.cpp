#include "filing/szamlatartozasformx.h"

namespace tvx {

SzamlaTartozasFormX::SzamlaTartozasFormX(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("SzamlaTartozasFormX"));
    setWindowTitle(QStringLiteral(" Számla tartozás - Tarvix"));
}

}  // namespace tvx
