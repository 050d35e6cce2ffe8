#include "partners/screens.h"

#include "common/screenregistry.h"
#include "partners/beraktarozokformx.h"

namespace tvx {

void registerPartnerScreens()
{
    registerScreen(QStringLiteral("BeraktarozokFormX"), [](QWidget *parent) { return new BeraktarozokFormX(parent); });
}

}  // namespace tvx
