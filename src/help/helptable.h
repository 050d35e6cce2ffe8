#pragma once

// The help table: which screens have a help document, and where it lies.
// Plain C++, no window.

#include <QString>
#include <QStringList>

namespace tvx::help {

// The screens with a help document, in the table's order.
const QStringList &helpScreens();

// The folder the help folder "Segedlet" lies in: the program's own folder, so
// that help works alike from the build folder and from an installation.
QString helpBaseFolder();
// Puts another base folder in place (tests); the empty text returns to the program's folder.
void setHelpBaseFolder(const QString &folder);

// <base>/Segedlet/<screen>.rtf
QString helpFilePath(const QString &screenId);

// The help files of the rows whose identifier equals `screenId` exactly,
// letter case included; none for an identifier without a row.
QStringList helpFilesFor(const QString &screenId);

}  // namespace tvx::help
