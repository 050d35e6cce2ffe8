#include "shell/screens.h"

#include "attachments/screens.h"
#include "filing/screens.h"
#include "help/screens.h"
#include "partners/screens.h"
#include "users/screens.h"

// Each subsystem registers its own screens from one function in its
// "<subsystem>/screens.h", e.g.
//
//     // src/partners/screens.cpp
//     void registerPartnerScreens()
//     {
//         registerScreen(QStringLiteral("BeraktarozokFormX"), [](QWidget *parent) { return new BeraktarozokFormX(parent); });
//     }
//
// and adds one line below (and its library to tvx_shell in src/shell/CMakeLists.txt):
//
//     src/filing       registerFilingScreens()      IktatasFormX, ParameterFormX, SzamlaTartozasFormX
//     src/attachments  registerAttachmentScreens()  IktatasMellekletekFormX
//     src/partners     registerPartnerScreens()     BeraktarozokFormX
//     src/users        registerUserScreens()        menuUjFelhasznaloForm, FelhJelszoValtoztatFormX
//     src/help         registerHelpScreens()        HelpFormX, FelhasznaloiKezikonyvForm
//
// A name nobody registered opens nothing (the menu item stays without effect).

namespace tvx {

void registerScreens()
{
    registerAttachmentScreens();
    registerFilingScreens();
    registerHelpScreens();
    registerPartnerScreens();
    registerUserScreens();
}

}  // namespace tvx
