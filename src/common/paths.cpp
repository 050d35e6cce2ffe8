#include "common/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace tvx::paths {

namespace {

QString &programFolderOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    // Qt reads the program's own path from the system (/proc/self/exe,
    // GetModuleFileName), so links to the program are already followed.
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder) { programFolderOverride() = folder; }

QString templatesFolder() { return programFolder() + QStringLiteral("/Data"); }

QString helpFolder() { return programFolder() + QStringLiteral("/Segedlet"); }

QString manualFile() { return programFolder() + u'/' + QString::fromUtf16(kManualFileName); }

QString expandFolder(const QString &folder)
{
    QString path = folder;
    if (path == u"~")
        path = QDir::homePath();
    else if (path.startsWith(u"~/") || path.startsWith(u"~\\"))
        path = QDir::homePath() + path.mid(1);
    return QDir::cleanPath(QDir(path).absolutePath());
}

}  // namespace tvx::paths
