#pragma once

// What Tarvix does with its command line before the main window opens:
// printing the version or the usage, creating a data set, the installation
// check, and moving into the data set named by --data-set.

#include "common/commandline.h"

#include <QString>

class QTextStream;

namespace tvx {

// The steps that need no window: the version, the usage, a wrong command line
// and --new-data-set. Returns the program's exit code.
int runWithoutWindow(const CommandLine &line, QTextStream &out, QTextStream &err);

// --check: prints what was found; 0 when everything the program needs is there.
// Needs a QGuiApplication (the manual is read as a document).
int checkInstallation(const CommandLine &line, QTextStream &out);

// --data-set: makes `folder` the working folder. A folder without any file of
// a data set (or one that does not exist yet) is first offered to be created
// from the templates; false when the user declined or it could not be made
// (the reason was shown), and Tarvix ends.
bool enterDataSet(const QString &folder);

}  // namespace tvx
