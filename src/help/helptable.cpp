#include "help/helptable.h"

#include "common/paths.h"

#include <QDir>

namespace tvx::help {

const QStringList &helpScreens()
{
    static const QStringList screens{
        QStringLiteral("TarvixFormX"),
        QStringLiteral("IktatasFormX"),
        QStringLiteral("ParameterFormX"),
        QStringLiteral("SzamlaTartozasFormX"),
        QStringLiteral("IktatasMellekletekFormX"),
        QStringLiteral("BeraktarozokFormX"),
        QStringLiteral("BeszallitoNyomFormX"),
        QStringLiteral("menuUjFelhasznaloForm"),
        QStringLiteral("FelhJelszoValtoztatFormX"),
        QStringLiteral("HelpFormX"),
        QStringLiteral("FelhasznaloiKezikonyvForm"),
        QStringLiteral("Form1"),
    };
    return screens;
}

QString helpFilePath(const QString &screenId)
{
    return QDir(paths::helpFolder()).filePath(screenId + QStringLiteral(".rtf"));
}

QStringList helpFilesFor(const QString &screenId)
{
    QStringList files;
    for (const QString &screen : helpScreens()) {
        if (screen == screenId)
            files << helpFilePath(screen);
    }
    return files;
}

}  // namespace tvx::help
