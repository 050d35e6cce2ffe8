#pragma once

// Where the programs find what ships with them. Everything lies beside the
// program, in the same layout in the build folder and in an installation:
//   <program folder>/Data/*.tvd                 the templates of the database files
//   <program folder>/Segedlet/<screen>.rtf      the help documents
//   <program folder>/TarvixFelhKezikonyvEgyseges.rtf   the user manual
// The program folder is the real one: a link to the program (as the
// installation puts into bin/) is followed, on Linux and on Windows alike.

#include <QString>

namespace tvx::paths {

QString programFolder();
// Puts another program folder in place (tests); the empty text returns to the real one.
void setProgramFolder(const QString &folder);

QString templatesFolder();
QString helpFolder();
QString manualFile();

inline constexpr char16_t kManualFileName[] = u"TarvixFelhKezikonyvEgyseges.rtf";

// A folder named on the command line or in a desktop entry: "~" and "~/..."
// stand for the home folder (desktop entries pass them on unexpanded); the
// result is absolute and clean.
QString expandFolder(const QString &folder);

}  // namespace tvx::paths
