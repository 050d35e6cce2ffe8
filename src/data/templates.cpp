#include "data/templates.h"

#include "data/countrycodes.h"
#include "data/dataset.h"
#include "data/servercopy.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "data/schema.h"

#include <QTemporaryDir>

namespace tvx::data {

namespace {

Error fillDefaultRows(Database &db)
{
    Connection &conn = EngineAccess::connection(db);
    if (db.table(QStringLiteral("ORSZAGJEL"))) {
        if (Error e = conn.beginWrite())
            return e;
        for (const CountryCode &c : countryCodes()) {
            if (Error e = conn.execute(QStringLiteral("INSERT INTO \"ORSZAGJEL\" (\"Országjel\", \"Ország\") VALUES (?, ?)"),
                                       {QString::fromUtf8(c.code), QString::fromUtf8(c.name)})) {
                conn.rollback();
                return e;
            }
        }
        if (Error e = conn.commit())
            return e;
    }
    if (db.table(QStringLiteral("Bettorzs"))) {
        if (Error e = conn.execute(QStringLiteral("INSERT INTO \"Bettorzs\" (\"UzKod\", \"UzNev\") VALUES (1, ?)"),
                                   {QStringLiteral("Tarvix üzemeltető")}))
            return e;
    }
    return {};
}

}  // namespace

Error createDataSetFiles(const QDir &directory)
{
    QString conninfo;
    if (Error e = serverConninfo(directory, conninfo))
        return e;
    if (!conninfo.isEmpty()) {
        // the same files, made aside and copied onto the server
        QTemporaryDir files;
        if (!files.isValid())
            return {ErrorCode::Io, QStringLiteral("Nem hozható létre ideiglenes mappa: %1").arg(files.errorString())};
        QDir filesDir(files.path());
        const QString saved = serverOverride();
        setServerOverride({});
        Error e = createDataSetFiles(filesDir);
        setServerOverride(saved);
        if (e)
            return e;
        QVector<CopiedTable> copied;
        return copyDataSetToServer(filesDir, conninfo, copied);
    }
    for (const DatabaseFileDef &file : databaseFiles()) {
        Error error;
        auto db = Database::create(directory.filePath(file.fileName), file, error);
        if (!db)
            return error;
        if ((error = fillDefaultRows(*db)))
            return error;
    }
    return {};
}

}  // namespace tvx::data
