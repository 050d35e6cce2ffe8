#include "attachments/screens.h"

#include "attachments/iktatasmellekletekformx.h"
#include "common/screenregistry.h"

namespace tvx {

void registerAttachmentScreens()
{
    registerScreen(QStringLiteral("IktatasMellekletekFormX"), [](QWidget *parent) { return new IktatasMellekletekFormX(parent); });
}

}  // namespace tvx
