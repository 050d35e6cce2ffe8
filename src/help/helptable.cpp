#include "help/helptable.h"

#include <QCoreApplication>
#include <QDir>

namespace tvx::help {

namespace {

QString &baseOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

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

QString helpBaseFolder()
{
    if (!baseOverride().isEmpty())
        return baseOverride();
    return QCoreApplication::applicationDirPath();
}

void setHelpBaseFolder(const QString &folder)
{
    baseOverride() = folder;
}

QString helpFilePath(const QString &screenId)
{
    return QDir(helpBaseFolder()).filePath(QStringLiteral("Segedlet/") + screenId + QStringLiteral(".rtf"));
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
