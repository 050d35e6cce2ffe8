#include "maintenance/newdataset.h"

#include "data/database.h"
#include "data/names.h"
#include "data/schema.h"
#include "maintenance/filemoves.h"
#include "maintenance/messages.h"

#include <QFile>
#include <QFileInfo>

namespace tvx::maintenance {

using data::Error;
using data::ErrorCode;

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

const QString kReinstall = QStringLiteral("Telepítse újra a programot, vagy másolja vissza a mintát a program Data mappájába!");

Error templateMissing(const QString &name, const QString &path)
{
    return {ErrorCode::FileMissing, QStringLiteral("Nem található a(z) %1 mintaállomány: %2\n%3").arg(name, shown(path), kReinstall)};
}

Error templateUnusable(const QString &name, const Error &cause)
{
    const QString why = cause.code == ErrorCode::NotADatabase ? QStringLiteral("sérült, vagy nem adatbázis.") : cause.message;
    return {cause.code, QStringLiteral("A(z) %1 mintaállomány nem nyitható meg: %2\n%3").arg(name, why, kReinstall)};
}

}  // namespace

QStringList dataSetFilesIn(const QDir &folder)
{
    QStringList found;
    if (!folder.exists())
        return found;
    for (const auto &file : data::databaseFiles()) {
        const QString entry = data::findFileIgnoringCase(folder, file.fileName);
        if (!entry.isEmpty())
            found << entry;
    }
    return found;
}

Error createDataSet(const QDir &templates, const QDir &folder)
{
    const QString target = folder.absolutePath();
    if (const QStringList present = dataSetFilesIn(folder); !present.isEmpty()) {
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappában már van adatállomány (%2), ezért nem hozok létre újat.")
                                           .arg(shown(target), present.join(QStringLiteral(", ")))};
    }
    if (const QList<Error> problems = checkTemplates(templates); !problems.isEmpty())
        return problems.first();
    if (!QDir().mkpath(target))
        return {ErrorCode::Io, QStringLiteral("A(z) %1 mappa nem hozható létre.\n%2").arg(shown(target), messages::writeProblem(QFileInfo(target).path()))};

    QStringList made;
    for (const auto &file : data::databaseFiles()) {
        const QString copy = folder.filePath(file.fileName);
        if (Error error = copyTemplate(templates.filePath(file.fileName), copy)) {
            for (const QString &path : made)
                QFile::remove(path);
            return error;
        }
        made << copy;
    }
    return {};
}

QList<Error> checkTemplates(const QDir &templates)
{
    if (!templates.exists())
        return {{ErrorCode::FileMissing,
                 QStringLiteral("Nem található a minták mappája: %1\nTelepítse újra a programot!").arg(shown(templates.absolutePath()))}};
    QList<Error> problems;
    for (const auto &file : data::databaseFiles()) {
        const QString path = templates.filePath(file.fileName);
        if (!QFileInfo(path).isFile()) {
            problems << templateMissing(file.fileName, path);
            continue;
        }
        Error error;
        // Private: nothing is written beside a template, which may lie in a read-only folder
        const auto database = data::Database::openPath(path, error, data::Database::Access::Private);
        if (!database) {
            problems << templateUnusable(file.fileName, error);
            continue;
        }
        for (const auto &table : file.tables) {
            if (!database->table(table.name)) {
                problems << templateUnusable(
                    file.fileName, {ErrorCode::NoSuchTable, QStringLiteral("hiányzik belőle a(z) %1 tábla.").arg(table.name)});
                break;
            }
        }
    }
    return problems;
}

}  // namespace tvx::maintenance
