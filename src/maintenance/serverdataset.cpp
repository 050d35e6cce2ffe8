#include "maintenance/serverdataset.h"

#include "data/dataset.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/recordlock.h"
#include "data/schema.h"
#include "maintenance/newdataset.h"


#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace tvx::maintenance {

using data::Error;
using data::ErrorCode;

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

}  // namespace

Error createServerDataSet(const QDir &templates, const QString &conninfo, const QDir &folder, QVector<data::CopiedTable> &copied)
{
    const QString target = folder.absolutePath();
    if (const QStringList present = dataSetFilesIn(folder); !present.isEmpty()) {
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappában már van adatállomány (%2), ezért nem hozok létre újat.")
                                           .arg(shown(target), present.join(QStringLiteral(", ")))};
    }
    if (!data::findFileIgnoringCase(folder, QString::fromLatin1(data::kServerDataSetFileName)).isEmpty())
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappa már egy kiszolgálón lévő adatállományt nevez meg (%2), ezért nem hozok "
                                                   "létre újat.")
                                        .arg(shown(target), QString::fromLatin1(data::kServerDataSetFileName))};
    if (const QList<Error> problems = checkTemplates(templates); !problems.isEmpty())
        return problems.first();
    if (!QDir().mkpath(target))
        return {ErrorCode::Io, QStringLiteral("A(z) %1 mappa nem hozható létre.").arg(shown(target))};
    if (Error e = data::copyDataSetToServer(templates, conninfo, copied))
        return e;
    return data::writeServerConninfo(QDir(target), conninfo);
}

Error moveDataSetToServer(const QDir &folder, const QString &conninfo, QVector<data::CopiedTable> &copied, QString &movedTo)
{
    movedTo.clear();
    if (!data::findFileIgnoringCase(folder, QString::fromLatin1(data::kServerDataSetFileName)).isEmpty())
        return {ErrorCode::Refused, QStringLiteral("A(z) %1 mappa adatállománya már a kiszolgálón van (%2).")
                                        .arg(shown(folder.absolutePath()), QString::fromLatin1(data::kServerDataSetFileName))};
    const QStringList files = dataSetFilesIn(folder);
    for (const QString &name : files) {
        if (data::databaseInUse(folder.filePath(name)))
            return {ErrorCode::Busy, QStringLiteral("A(z) %1 állományt egy másik program használja. Zárja be a Tarvixot minden "
                                                    "munkaállomáson, majd próbálja újra!")
                                         .arg(name)};
    }
    if (Error e = data::copyDataSetToServer(folder, conninfo, copied))
        return e;

    // the rows are on the server: from now on the folder names the server only
    const QString aside = QStringLiteral("Kiszolgalora_koltoztetve_%1").arg(QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"));
    const QString failed = QStringLiteral("Az adatok a kiszolgálóra kerültek, de a(z) %1 mappa rendezése nem sikerült: %2 "
                                          "Tegye át kézzel az adatbázis-fájlokat egy almappába, és írja a kapcsolódási leírást "
                                          "a(z) %3 állományba!")
                               .arg(shown(folder.absolutePath()), QStringLiteral("%1"), QString::fromLatin1(data::kServerDataSetFileName));
    if (!folder.mkpath(aside))
        return {ErrorCode::Io, failed.arg(QStringLiteral("a(z) %1 almappa nem hozható létre.").arg(aside))};
    const QDir asideDir(folder.filePath(aside));
    for (const QString &name : files) {
        if (!QFile::rename(folder.filePath(name), asideDir.filePath(name)))
            return {ErrorCode::Io, failed.arg(QStringLiteral("a(z) %1 nem helyezhető át.").arg(name))};
        QFile::remove(data::LockFile::lockFilePath(folder.filePath(name)));
    }
    movedTo = asideDir.absolutePath();
    if (Error e = data::writeServerConninfo(folder, conninfo))
        return {e.code, failed.arg(e.message)};
    return {};
}

QString copiedTablesReport(const QVector<data::CopiedTable> &copied)
{
    QString text;
    qint64 total = 0;
    for (const data::CopiedTable &t : copied) {
        text += QStringLiteral("%1 / %2: %3 sor\n").arg(t.file, t.table).arg(t.rows);
        total += t.rows;
    }
    text += QStringLiteral("Összesen: %1 tábla, %2 sor\n").arg(copied.size()).arg(total);
    return text;
}

}  // namespace tvx::maintenance
