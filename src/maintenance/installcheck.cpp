#include "maintenance/installcheck.h"

#include "common/paths.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/schema.h"
#include "maintenance/newdataset.h"

#include <QFile>
#include <QTextStream>

namespace tvx::maintenance {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

bool looksLikeRtf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "{\\rtf";
}

}  // namespace

void InstallationReport::good(const QString &what, const QString &detail) { lines << what + QStringLiteral(": ") + detail; }

void InstallationReport::bad(const QString &what, const QString &detail)
{
    lines << QStringLiteral("HIBA – ") + what + QStringLiteral(": ") + detail;
    ok = false;
}

int InstallationReport::print(QTextStream &out) const
{
    for (const QString &text : lines)
        out << text << Qt::endl;
    out << (ok ? QStringLiteral("Rendben.") : QStringLiteral("Hibát találtam: lásd a „HIBA” kezdetű sorokat.")) << Qt::endl;
    return ok ? 0 : 1;
}

void checkProgramFiles(InstallationReport &report, const QStringList &helpScreens)
{
    report.good(QStringLiteral("Programmappa"), shown(paths::programFolder()));

    const QDir templates(paths::templatesFolder());
    const QList<data::Error> problems = checkTemplates(templates);
    if (problems.isEmpty()) {
        report.good(QStringLiteral("Minták"),
                    QStringLiteral("%1 – rendben (%2 állomány)").arg(shown(templates.absolutePath())).arg(data::databaseFiles().size()));
    }
    for (const data::Error &problem : problems)
        report.bad(QStringLiteral("Minták"), QString(problem.message).replace(u'\n', u' '));

    QStringList missing;
    for (const QString &screen : helpScreens) {
        if (!looksLikeRtf(QDir(paths::helpFolder()).filePath(screen + QStringLiteral(".rtf"))))
            missing << screen + QStringLiteral(".rtf");
    }
    if (missing.isEmpty()) {
        report.good(QStringLiteral("Segédletek"),
                    QStringLiteral("%1 – rendben (%2 dokumentum)").arg(shown(paths::helpFolder())).arg(helpScreens.size()));
    } else {
        report.bad(QStringLiteral("Segédletek"),
                   QStringLiteral("%1 – hiányzik vagy nem RTF: %2").arg(shown(paths::helpFolder()), missing.join(QStringLiteral(", "))));
    }
}

void checkDataSetFolder(InstallationReport &report, const QDir &dataSet)
{
    const QString folder = shown(dataSet.absolutePath());
    QString conninfo;
    if (const data::Error e = data::serverConninfo(dataSet, conninfo)) {
        report.bad(QStringLiteral("Adatállomány"), QStringLiteral("%1 – %2").arg(folder, e.message));
        return;
    }
    if (!conninfo.isEmpty()) {
        // a folder that names the server and still holds files would leave clerks guessing which one is meant
        if (const QStringList present = dataSetFilesIn(dataSet); !present.isEmpty() && data::serverOverride().isEmpty())
            report.bad(QStringLiteral("Adatállomány"), QStringLiteral("%1 – a kiszolgálót nevezi meg (%2), de adatbázis-fájlok is vannak "
                                                                     "benne: %3")
                                                          .arg(folder, QString::fromLatin1(data::kServerDataSetFileName), present.join(QStringLiteral(", "))));
        for (const data::DatabaseFileDef &file : data::databaseFiles()) {
            data::Error error;
            const auto db = data::Database::openServer(conninfo, file.fileName, error, data::Database::Access::Private);
            if (!db)
                report.bad(QStringLiteral("Adatállomány"), QStringLiteral("kiszolgáló: %1 – %2").arg(file.fileName, error.message));
            else
                report.good(QStringLiteral("Adatállomány"),
                            QStringLiteral("kiszolgáló: %1 – rendben (%2 tábla)").arg(file.fileName).arg(db->tables().size()));
        }
        return;
    }
    const QStringList present = dataSetFilesIn(dataSet);
    const qsizetype all = data::databaseFiles().size();
    if (present.size() == all)
        report.good(QStringLiteral("Adatállomány"), QStringLiteral("%1 – mind a %2 állomány megvan").arg(folder).arg(all));
    else if (present.isEmpty())
        report.good(QStringLiteral("Adatállomány"), QStringLiteral("%1 – még nincs benne adatállomány").arg(folder));
    else  // a data set with files missing is not one the programs can work on
        report.bad(QStringLiteral("Adatállomány"),
                   QStringLiteral("%1 – csak %2 állomány van meg a %3-ból: %4").arg(folder).arg(present.size()).arg(all).arg(present.join(QStringLiteral(", "))));
}

}  // namespace tvx::maintenance
