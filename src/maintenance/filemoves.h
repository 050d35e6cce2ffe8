#pragma once

// Moving a database file into the backup folder and putting a template in its
// place, without ever leaving a file behind half-saved.

#include "data/error.h"

#include <QString>
#include <QStringList>

namespace tvx::maintenance {

// Files that the engine keeps beside a database and that belong to its contents.
QStringList companionSuffixes();

// Moves `source` to `target`. Refuses a file that a program holds open, and
// never overwrites `target`. A journal left by a crash is rolled back first, or,
// when that fails, travels with the file.
data::Error moveDatabase(const QString &source, const QString &target);

// Copies `templatePath` to `target`, which must not exist. The copy is a
// writable working file with the permissions of `permissionsOf` (the file it
// replaces), or without one those of any new file of the user's (the umask).
data::Error copyTemplate(const QString &templatePath, const QString &target, const QString &permissionsOf = {});

// Puts a copy of the saved file `saved` in place of whatever stands at `target`,
// in one step; the saved file stays where it is. On a disk with no room for
// the copy, even once `target` is gone, the saved file itself moves back.
data::Error putBack(const QString &saved, const QString &target);

}  // namespace tvx::maintenance
