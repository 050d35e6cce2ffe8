#include "users/screens.h"

#include "common/screenregistry.h"
#include "users/felhjelszovaltoztatformx.h"
#include "users/menuujfelhasznaloform.h"

namespace tvx {

void registerUserScreens()
{
    registerScreen(QStringLiteral("menuUjFelhasznaloForm"), [](QWidget *parent) { return new menuUjFelhasznaloForm(parent); });
    registerScreen(QStringLiteral("FelhJelszoValtoztatFormX"), [](QWidget *parent) { return new FelhJelszoValtoztatFormX(parent); });
}

}  // namespace tvx
