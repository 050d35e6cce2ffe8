#pragma once

// The help table: which screens have a help document, and where it lies.
// Plain C++, no window.

#include <QString>
#include <QStringList>

namespace tvx::help {

// The screens with a help document, in the table's order.
const QStringList &helpScreens();

// <program folder>/Segedlet/<screen>.rtf (common/paths.h)
QString helpFilePath(const QString &screenId);

// The help files of the rows whose identifier equals `screenId` exactly,
// letter case included; none for an identifier without a row.
QStringList helpFilesFor(const QString &screenId);

}  // namespace tvx::help
