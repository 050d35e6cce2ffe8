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

bool refusedStep(QWidget *screen, data::DataSource &source, bool stepOk, const LockMessage &lockMessage, Beep beep)
{
    if (stepOk)
        return false;
    const data::Error error = source.lastError();
    const bool locked = !error || error.code == data::ErrorCode::Locked || error.code == data::ErrorCode::Busy;
    return caught(screen, source, false, locked ? lockMessage : LockMessage{QStringLiteral("FIGYELEM!"), error.message, MessageIcon::Critical},
                  beep);
}

}  // namespace tvx
