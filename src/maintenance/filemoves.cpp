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
        undo();
        return messages::fileNotMoved(name, target, file.errorString());
    }
    return {};
}

Error copyTemplate(const QString &templatePath, const QString &target)
{
    const QString name = QFileInfo(target).fileName();
    if (!QFileInfo(templatePath).isFile())
        return messages::templateMissing(QFileInfo(templatePath).fileName(), templatePath);
    if (QFileInfo::exists(target))
        return messages::templateWouldOverwrite(name);
    QFile file(templatePath);
    if (!file.copy(target))
        return messages::templateNotCopied(name, target, file.errorString());
    // Templates may be installed read-only; the copy is a working file.
    QFile copy(target);
    copy.setPermissions(copy.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return {};
}

Error putBack(const QString &saved, const QString &target)
{
    const QString name = QFileInfo(target).fileName();
    QFile source(saved);
    if (!source.exists())
        return messages::savedFileMissing(name, saved);
    if (!source.open(QIODevice::ReadOnly))
        return messages::notPutBack(name, source.errorString());
    // Written beside the target and renamed over it at the end: the target is
    // never half replaced.
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        return messages::notPutBack(name, copy.errorString());
    for (;;) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty())
            break;
        if (copy.write(chunk) != chunk.size()) {
            copy.cancelWriting();
            return messages::notPutBack(name, copy.errorString());
        }
    }
    if (source.error() != QFileDevice::NoError) {
        copy.cancelWriting();
        return messages::notPutBack(name, source.errorString());
    }
    if (!copy.commit())
        return messages::notPutBack(name, copy.errorString());
    QFile::setPermissions(target, source.permissions());
    return {};
}

}  // namespace tvx::maintenance
