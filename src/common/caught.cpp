#include "common/caught.h"

#include "data/datasource.h"

namespace tvx {

bool caught(QWidget *screen, data::DataSource &source, bool stepOk, const LockMessage &message, Beep beep)
{
    if (stepOk)
        return false;
    source.clearError();
    platform().setBusyPointer(false);
    if (beep == Beep::Yes)
        platform().beep();
    platform().message(screen, message.title, message.text, message.icon, MessageButtons::Ok);
    return true;
}

}  // namespace tvx
