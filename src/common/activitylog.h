#pragma once

// The activity log: table `Regisztrálás` of regiszt.tvd, ten fields written by
// position. Rows are only ever added.

#include <QString>

namespace tvx {

namespace data {
class DataSource;
}

enum class ActivityLogFields {
    // the main window's row: current user's name and password, date, time,
    // action, current folder, access level, "Tarvix", 0, "Főmenü"
    Full,
    // the partner screen's row: date, time, action and current folder
    // (positions 3 to 6); the other fields stay null
    ActionOnly,
};

// Appends a row through `log` (a data source on `Regisztrálás`) and moves to
// the last row. Date and time (and for a full row the user's name and
// password) must be set, or no row is started; the other fields are skipped
// when they fail. A row that cannot be saved is dropped. Never reports: false
// when no row was written, and no failure stays pending on `log`.
bool writeActivityLogRow(data::DataSource &log, const QString &action, ActivityLogFields fields = ActivityLogFields::Full);

}  // namespace tvx
