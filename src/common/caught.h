#pragma once

// A data-source step run with failures caught (an edit or a save that another
// program's record lock can refuse): when it failed, the screen reports it in
// its own message box and carries on with the failure cleared.
//
//     if (caught(this, Beraktarozok, Beraktarozok.edit(), lockmessages::kPartnerLocked))
//         return;

#include "common/platform.h"

#include <QString>

class QWidget;

namespace tvx {

namespace data {
class DataSource;
}

// A screen's report of a refused step: an OK-only message box.
struct LockMessage {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
};

// The lock messages in use.
namespace lockmessages {
// BeraktarozokFormX: a failed save, or a failed edit before a delete
inline const LockMessage kPartnerLocked{QStringLiteral("Adatzárolás!"), QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!")};
// FelhJelszoValtoztatFormX: a failed edit
inline const LockMessage kUserRowLocked{QStringLiteral("FIGYELEM! Rekord lock!"), QStringLiteral("Az adat zárolt!")};
// FelhJelszoValtoztatFormX: a failed save
// IktatasFormX: an entry that cannot be saved or changed
inline const LockMessage kFilingEntryLocked{QStringLiteral("Adatzárolás!"), QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!")};
inline const LockMessage kUserRowNotSaved{QStringLiteral("FIGYELEM! RegisztJ update hiba!"), QStringLiteral("Az adat nem menthető!")};
}  // namespace lockmessages

enum class Beep { No, Yes };

// After a guarded step of `source` whose result was `stepOk`: when it failed,
// clears the pending failure, sets the arrow pointer, beeps (unless the screen
// says not to) and shows `message` over `screen`. True when the step failed, so
// the caller stops. A pending edit stays as it is: the screen decides whether
// to keep it for another try or to drop it with cancelUpdate().
bool caught(QWidget *screen, data::DataSource &source, bool stepOk, const LockMessage &message, Beep beep = Beep::Yes);

// The same, telling a lock from other failures: a record lock, or another
// program writing the file, shows `lockMessage`; anything else (a missing or
// damaged file, a value that does not fit) says what it is under "FIGYELEM!".
bool refusedStep(QWidget *screen, data::DataSource &source, bool stepOk, const LockMessage &lockMessage, Beep beep = Beep::Yes);

}  // namespace tvx
