#pragma once

// The kinds of attached files and the program each one opens in. No widgets:
// the attachment screen asks which program to start, the platform starts it.

#include <QString>
#include <QStringList>

namespace tvx::attachments {

// In the order of the path rows and their option buttons.
enum class Kind { Foto, Dokumentum, Tablazat, Adatbazis, Email, Hang, Video };
inline constexpr int kKindCount = 7;

// The field of `Mellekletek` that holds the path of a kind.
QString pathField(Kind kind);
// "Nincs magadva …": the entry field of the kind is empty.
QString emptyPathMessage(Kind kind);
// "Nem található …": the program could not be started.
QString notStartedMessage(Kind kind);

// How a kind's file is opened: by the program the desktop associates with the
// file, or by a named program with the path as its last argument.
struct Viewer {
    bool desktop = true;
    QString program;
    QStringList arguments;  // before the path
    QString workingFolder;
};

// `officeSuite`: the office suite's program where one is installed, empty
// otherwise (documents then go to the desktop too). Ignored on Windows.
Viewer viewerFor(Kind kind, const QString &officeSuite);
// The office suite on the search path, or empty.
QString installedOfficeSuite();

}  // namespace tvx::attachments
