#include "data/dataset.h"

#include "data/names.h"
#include "data/schema.h"

#include <QFile>
#include <QSaveFile>

namespace tvx::data {

namespace {

QString &overrideText()
{
    static QString conninfo;
    return conninfo;
}

}  // namespace

void setServerOverride(const QString &conninfo) { overrideText() = conninfo.trimmed(); }

QString serverOverride() { return overrideText(); }

Error serverConninfo(const QDir &directory, QString &conninfo)
{
    conninfo = serverOverride();
    if (!conninfo.isEmpty())
        return {};
    const QString found = findFileIgnoringCase(directory, QString::fromLatin1(kServerDataSetFileName));
    if (found.isEmpty())
        return {};
    QFile file(directory.filePath(found));
    if (!file.open(QIODevice::ReadOnly))
        return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem olvasható: %2").arg(found, file.errorString())};
    QStringList parts;
    for (const QByteArray &rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            parts << line;
    }
    conninfo = parts.join(u' ');
    if (conninfo.isEmpty())
        return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány üres: nem nevezi meg az adatbázis-kiszolgálót.").arg(found)};
    // both kinds in one folder: which one the clerks mean is not guessed at
    QStringList files;
    for (const DatabaseFileDef &file : databaseFiles()) {
        const QString entry = findFileIgnoringCase(directory, file.fileName);
        if (!entry.isEmpty())
            files << entry;
    }
    if (!files.isEmpty()) {
        conninfo.clear();
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappában a(z) %2 állomány az adatbázis-kiszolgálót nevezi meg, de "
                                                   "adatbázis-fájlok is vannak benne (%3). Tegye át ezeket egy almappába, vagy "
                                                   "törölje a(z) %2 állományt!")
                                        .arg(QDir::toNativeSeparators(directory.absolutePath()), found, files.join(QStringLiteral(", ")))};
    }
    return {};
}

Error writeServerConninfo(const QDir &directory, const QString &conninfo)
{
    const QString name = QString::fromLatin1(kServerDataSetFileName);
    QSaveFile file(directory.filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write("# A Tarvix adatállomány az adatbázis-kiszolgálón (libpq kapcsolódási leírás).\n");
        file.write(conninfo.trimmed().toUtf8() + '\n');
        if (file.commit())
            return {};
    }
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem írható: %2").arg(directory.filePath(name), file.errorString())};
}

bool serverEngineBuilt()
{
#ifdef TVX_HAVE_LIBPQ
    return true;
#else
    return false;
#endif
}

}  // namespace tvx::data
