#include "maintenance/filemoves.h"

#include "data/database.h"
#include "data/recordlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace tvx::maintenance {

QStringList companionSuffixes()
{
    return {QStringLiteral("-journal"), QStringLiteral("-wal")};
}

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

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
    data::Error ignored;
    auto db = data::Database::openPath(path, ignored);
}

}  // namespace

QString moveDatabase(const QString &source, const QString &target)
{
    const QString name = QFileInfo(source).fileName();
    if (QFileInfo::exists(target))
        return QStringLiteral("A(z) %1 állomány már megvan a mentésben (%2), ezért nem helyezhető át.").arg(name, shown(target));
    if (!QFileInfo(target).dir().exists())
        return QStringLiteral("A(z) %1 mentési mappa nem létezik, ezért a(z) %2 állomány nem helyezhető át.")
            .arg(shown(QFileInfo(target).path()), name);

    // Held exclusively until the move is done, so that no program opens the file meanwhile
    // unnoticed; on some systems an open file could otherwise be moved and written on.
    data::LockFile guard(source);
    if (guard.lock(data::LockFile::kInUseOffset, true) == data::LockFile::Result::Busy)
        return QStringLiteral("A(z) %1 állományt egy másik program használja (nyitva tartja), ezért nem helyezhető át. "
                              "Zárja be a Tarvix programot, és futtassa újra a karbantartást!")
            .arg(name);

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
            return QStringLiteral("A(z) %1 állomány naplója (%2) nem helyezhető át a mentésbe.").arg(name, shown(source + suffix));
        }
        moved << suffix;
    }
    QFile file(source);
    if (!file.rename(target)) {
        undo();
        return QStringLiteral("A(z) %1 állomány nem helyezhető át a mentésbe (%2): %3").arg(name, shown(target), file.errorString());
    }
    return {};
}

QString copyTemplate(const QString &templatePath, const QString &target)
{
    const QString name = QFileInfo(target).fileName();
    if (!QFileInfo(templatePath).isFile())
        return QStringLiteral("Nem található a(z) %1 mintaállomány: %2").arg(name, shown(templatePath));
    if (QFileInfo::exists(target))
        return QStringLiteral("A(z) %1 állomány nincs a mentésben, ezért a minta nem írhatja felül.").arg(name);
    QFile file(templatePath);
    if (!file.copy(target))
        return QStringLiteral("A(z) %1 minta nem másolható a helyére (%2): %3").arg(name, shown(target), file.errorString());
    // Templates may be installed read-only; the copy is a working file.
    QFile copy(target);
    copy.setPermissions(copy.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return {};
}

}  // namespace tvx::maintenance
