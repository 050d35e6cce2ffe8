#include "filing/screens.h"

#include "common/screenregistry.h"
#include "filing/iktatasformx.h"
#include "filing/parameterformx.h"
#include "filing/szamlatartozasformx.h"

namespace tvx {

void registerFilingScreens()
{
    registerScreen(QStringLiteral("IktatasFormX"), [](QWidget *parent) { return new IktatasFormX(parent); });
    registerScreen(QStringLiteral("ParameterFormX"), [](QWidget *parent) { return new ParameterFormX(parent); });
    registerScreen(QStringLiteral("SzamlaTartozasFormX"), [](QWidget *parent) { return new SzamlaTartozasFormX(parent); });
}

}  // namespace tvx
