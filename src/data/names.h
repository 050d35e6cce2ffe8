#pragma once

#include <QDir>
#include <QString>

namespace tvx::data {

// Letter case folded for every letter, accented ones included (Á/á, Ő/ő, Ű/ű).
QString foldCase(const QString &text);
bool sameName(const QString &a, const QString &b);

// An identifier quoted for the storage engine ("a""b").
QString quoteIdentifier(const QString &name);

// The existing entry of `directory` whose name matches `bareName` without regard
// to letter case; the exact spelling wins when several match. Empty when none does.
QString findFileIgnoringCase(const QDir &directory, const QString &bareName);

}  // namespace tvx::data
