#include "maintenance/filemoves.h"

#include "maintenance/messages.h"
#include "data/database.h"
#include "data/recordlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace tvx::maintenance {

using data::Error;

QStringList companionSuffixes()
{
    return {QStringLiteral("-journal"), QStringLiteral("-wal")};
}

namespace {

bool hasCompanion(const QString &path)
{
    for (const QString &suffix : companionSuffixes()) {
        if (QFileInfo::exists(path + suffix))
            return true;
    }
    return false;
}

// Opening and reading the file lets the engine roll back what a crashed writer left.
void recover(const QString &path)
{
    Error ignored;
    auto db = data::Database::openPath(path, ignored, data::Database::Access::Private);
}

}  // namespace

Error moveDatabase(const QString &source, const QString &target)
{
    const QString name = QFileInfo(source).fileName();
    if (QFileInfo::exists(target))
        return messages::alreadyInBackup(name, target);
    if (!QFileInfo(target).dir().exists())
        return messages::backupFolderMissing(QFileInfo(target).path(), name);

    // Held exclusively until the move is done, so that no program opens the file meanwhile
    // unnoticed; on some systems an open file could otherwise be moved and written on.
    data::LockFile guard(source);
    if (guard.lock(data::LockFile::kInUseOffset, true) == data::LockFile::Result::Busy)
        return messages::fileInUse(name);

    if (hasCompanion(source))
        recover(source);

    // What could not be rolled back moves with the file, before it.
    QStringList moved;
    auto undo = [&] {
        for (const QString &suffix : moved)
            QFile::rename(target + suffix, source + suffix);
    };
    for (const QString &suffix : companionSuffixes()) {
        if (!QFileInfo::exists(source + suffix))
            continue;
        if (QFileInfo::exists(target + suffix) || !QFile::rename(source + suffix, target + suffix)) {
            undo();
            return messages::journalNotMoved(name, source + suffix);
        }
        moved << suffix;
    }
    QFile file(source);
    if (!file.rename(target)) {
        qWarning("tvx: %s: %s", qPrintable(source), qPrintable(file.errorString()));
        undo();
        return messages::fileNotMoved(name, target, messages::writeProblem(QFileInfo(target).path()));
    }
    return {};
}

namespace {

// What a new file of the user's in `folder` gets: the system decides it at
// creation (the umask, a folder's default ACL), so a file made there is asked.
QFileDevice::Permissions newFilePermissions(const QString &folder)
{
    QFile probe(QDir(folder).filePath(QStringLiteral(".tarvfix-jogok")));
    probe.remove();
    if (!probe.open(QIODevice::WriteOnly))
        return QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QFileDevice::Permissions permissions = probe.permissions();
    probe.close();
    probe.remove();
    return permissions;
}

}  // namespace

Error copyTemplate(const QString &templatePath, const QString &target, const QString &permissionsOf)
{
    // a file being built is named as the one it becomes
    QString name = QFileInfo(target).fileName();
    if (name.endsWith(kBuildingSuffix))
        name.chop(kBuildingSuffix.size());
    if (!QFileInfo(templatePath).isFile())
        return messages::templateMissing(QFileInfo(templatePath).fileName(), templatePath);
    if (QFileInfo::exists(target))
        return messages::templateWouldOverwrite(name);
    QFile file(templatePath);
    if (!file.copy(target)) {
        qWarning("tvx: %s: %s", qPrintable(target), qPrintable(file.errorString()));
        return messages::templateNotCopied(name, target, messages::writeProblem(QFileInfo(target).path(), file.size()));
    }
    // Templates are installed read-only for everyone: the copy is a working
    // file, with the permissions of the file it replaces, or of a new file.
    QFile copy(target);
    const QFileDevice::Permissions wanted =
        permissionsOf.isEmpty() || !QFileInfo::exists(permissionsOf) ? newFilePermissions(QFileInfo(target).path())
                                                                      : QFile::permissions(permissionsOf);
    copy.setPermissions(wanted | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return {};
}

namespace {

// Writes a copy of `saved` at `target` in one step: beside it first, then renamed over it.
bool copyOver(QFile &source, const QString &target, QString &failure)
{
    if (!source.seek(0)) {
        failure = source.errorString();
        return false;
    }
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly)) {
        failure = copy.errorString();
        return false;
    }
    for (;;) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty())
            break;
        if (copy.write(chunk) != chunk.size()) {
            failure = copy.errorString();
            copy.cancelWriting();
            return false;
        }
    }
    if (source.error() != QFileDevice::NoError) {
        failure = source.errorString();
        copy.cancelWriting();
        return false;
    }
    if (!copy.commit()) {
        failure = copy.errorString();
        return false;
    }
    return true;
}

}  // namespace

Error putBack(const QString &saved, const QString &target)
{
    const QString name = QFileInfo(target).fileName();
    QFile source(saved);
    if (!source.exists())
        return messages::savedFileMissing(name, saved);
    if (!source.open(QIODevice::ReadOnly))
        return messages::notPutBack(name, saved, QStringLiteral("a mentett példány nem olvasható."));
    QString failure;
    bool done = copyOver(source, target, failure);
    if (!done && QFileInfo::exists(target)) {
        // On a full disk the copy needs the room the file in the way takes:
        // that is the template's copy, which the next run makes again.
        QFile::remove(target);
        done = copyOver(source, target, failure);
    }
    if (!done) {
        qWarning("tvx: %s: %s", qPrintable(target), qPrintable(failure));
        source.close();
        // Still no room: the saved file itself goes back, which needs none;
        // the backup then lacks it, but nothing is lost.
        if (!QFileInfo::exists(target) && QFile::rename(saved, target))
            return {};
        return messages::notPutBack(name, saved, messages::writeProblem(QFileInfo(target).path(), QFileInfo(saved).size(), false));
    }
    QFile::setPermissions(target, source.permissions());
    return {};
}

}  // namespace tvx::maintenance
