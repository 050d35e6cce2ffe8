#include "common/activitylog.h"

#include "common/platform.h"
#include "common/session.h"
#include "data/datasource.h"

#include <QDir>

namespace tvx {

bool writeActivityLogRow(data::DataSource &log, const QString &action, ActivityLogFields fields)
{
    const bool full = fields == ActivityLogFields::Full;
    if (!log.addNew()) {
        log.clearError();
        return false;
    }
    const QDateTime now = platform().clock().now();
    const bool started = (!full || (log.setValue(0, currentUser().name) && log.setValue(1, currentUser().password))) &&
                         log.setValue(2, now.date()) && log.setValue(3, now.time());
    if (!started) {
        log.cancelUpdate();
        log.clearError();
        return false;
    }
    // from here on a failing field is skipped
    log.setValue(4, action);
    log.setValue(5, QDir::toNativeSeparators(QDir::currentPath()));
    if (full) {
        log.setValue(6, currentUser().accessLevel);
        log.setValue(7, QStringLiteral("Tarvix"));
        log.setValue(8, 0);
        log.setValue(9, QStringLiteral("Főmenü"));
    }
    if (!log.update()) {
        log.cancelUpdate();
        log.clearError();
        return false;
    }
    log.moveLast();
    log.clearError();
    return true;
}

}  // namespace tvx
