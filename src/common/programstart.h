#pragma once

// Starting other programs and opening documents in the desktop's programs:
// the one place with the system calls for it, Linux and Windows side by side.

#include <QString>
#include <QStringList>

namespace tvx {

// Starts `program` with `arguments` in `workingFolder` (when that is a
// folder) and does not wait for it. Every argument reaches the program as
// one argument, spaces and quotes included.
//  - Linux: a bare name is looked up on the PATH, then in the working folder;
//    a path to a file that is no program is opened with the desktop's program
//    for its type; an address ("https://...") with the browser.
//  - Windows: the shell starts it (ShellExecute), which also finds the
//    programs registered with the system, as the office programs are.
// False when nothing was started.
bool startProgramDetached(const QString &program, const QStringList &arguments, const QString &workingFolder);

// Opens a file or an address with the program the desktop associates with
// its type: xdg-open and the portal on Linux, the shell's "open" on Windows.
bool openWithDesktop(const QString &pathOrUrl);

}  // namespace tvx
