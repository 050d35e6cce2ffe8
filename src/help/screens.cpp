#include "help/screens.h"

#include "common/screenregistry.h"
#include "help/felhasznaloikezikonyvform.h"
#include "help/helpformx.h"

namespace tvx {

void registerHelpScreens()
{
    registerScreen(QStringLiteral("HelpFormX"), [](QWidget *parent) { return new HelpFormX(parent); });
    registerScreen(QStringLiteral("FelhasznaloiKezikonyvForm"), [](QWidget *parent) { return new FelhasznaloiKezikonyvForm(parent); });
}

}  // namespace tvx
