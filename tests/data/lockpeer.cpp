// The other process of the concurrency tests.
//   tvx-lockpeer hold DIR FILE TABLE ROW   edit record ROW and keep it locked until killed
//   tvx-lockpeer open DIR FILE             keep the database open until killed
//   tvx-lockpeer write DIR COUNT           add and change filing entries, reporting each one
//   tvx-lockpeer exclusive DIR FILE        hold the whole file locked, as a program in the middle of writing does
//   tvx-lockpeer replace DIR FILE TABLE    delete the table's last row and add another, through the data layer
//   tvx-lockpeer nextid DIR COUNT          add partners numbered one above the highest recordID, in guarded saves

#include "data/datasource.h"
#include "data/dataset.h"
#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"

#include <libpq-fe.h>
#endif

#include <QCoreApplication>
#include <QThread>

#include <sqlite3.h>

#include <cstdio>

using namespace tvx::data;

static void say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 5 && args[0] == u"hold") {
        DataSource ds(args[2], args[3], nullptr, QDir(args[1]));
        if (!ds.refresh() || !ds.moveTo(args[4].toInt()) || !ds.edit()) {
            say(qPrintable(ds.lastError().message));
            return 1;
        }
        say("LOCKED");
        for (;;)
            QThread::sleep(1);
    }
    if (args.size() >= 3 && args[0] == u"open") {
        Error error;
        auto db = Database::open(args[2], QDir(args[1]), error);
        if (!db) {
            say(qPrintable(error.message));
            return 1;
        }
        say("OPEN");
        for (;;)
            QThread::sleep(1);
    }
    if (args.size() >= 3 && args[0] == u"write") {
        DataSource ds(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, QDir(args[1]));
        if (!ds.refresh()) {
            say(qPrintable(ds.lastError().message));
            return 1;
        }
        const QString filler(2000, u'ő');
        const int count = args[2].toInt();
        for (int i = 0; i < count; ++i) {
            if (!ds.addNew() || !ds.setValue(0, QStringLiteral("id%1").arg(i)) || !ds.setValue(QStringLiteral("Megjegyzés"), filler) ||
                !ds.update() || !ds.moveLast() || !ds.setValue(QStringLiteral("KezelésiFeljegyzés"), filler + QString::number(i)) ||
                !ds.update()) {
                say(qPrintable(ds.lastError().message));
                return 1;
            }
            say(qPrintable(QString::number(i)));
        }
        return 0;
    }
    if (args.size() >= 3 && args[0] == u"exclusive") {
        QString conninfo;
        tvx::data::serverConninfo(QDir(args[1]), conninfo);
#ifdef TVX_HAVE_LIBPQ
        if (!conninfo.isEmpty()) {
            // a transaction holding every table of the file's schema, as a long write does
            PGconn *conn = PQconnectdb(conninfo.toUtf8().constData());
            const QByteArray schema = serverSchemaFor(args[2]).toUtf8();
            const QByteArray lockAll = "BEGIN; DO $$ DECLARE t record; BEGIN FOR t IN SELECT tablename FROM pg_tables WHERE schemaname = '" +
                                       schema + "' LOOP EXECUTE format('LOCK TABLE %I.%I IN ACCESS EXCLUSIVE MODE', '" + schema +
                                       "', t.tablename); END LOOP; END $$;";
            PGresult *r = PQexec(conn, lockAll.constData());
            if (PQresultStatus(r) != PGRES_COMMAND_OK) {
                say(PQerrorMessage(conn));
                return 1;
            }
            PQclear(r);
            say("EXCLUSIVE");
            for (;;)
                QThread::sleep(1);
        }
#endif
        sqlite3 *db = nullptr;
        const QByteArray path = QDir(args[1]).filePath(args[2]).toUtf8();
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            say(sqlite3_errmsg(db));
            return 1;
        }
        say("EXCLUSIVE");
        for (;;)
            QThread::sleep(1);
    }
    if (args.size() >= 4 && args[0] == u"replace") {
        DataSource ds(args[2], args[3], nullptr, QDir(args[1]));
        if (!ds.refresh() || !ds.moveLast() || !ds.deleteCurrent() || !ds.addNew() || !ds.setValue(0, QStringLiteral("új sor")) ||
            !ds.update()) {
            say(qPrintable(ds.lastError().message));
            return 1;
        }
        say("REPLACED");
        return 0;
    }
    if (args.size() >= 3 && args[0] == u"nextid") {
        DataSource ds(QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER"), nullptr, QDir(args[1]));
        if (!ds.refresh()) {
            say(qPrintable(ds.lastError().message));
            return 1;
        }
        const int count = args[2].toInt();
        for (int i = 0; i < count; ++i) {
            const bool saved = ds.addNew() && ds.setValue(0, QStringLiteral("peer %1").arg(i)) && ds.update([](WriteCheck &check) {
                QVariant highest;
                if (Error e = check.highest(QStringLiteral("recordID"), highest))
                    return e;
                return check.setValue(QStringLiteral("recordID"), highest.toLongLong() + 1);
            });
            if (!saved) {
                say(qPrintable(ds.lastError().message));
                return 1;
            }
        }
        say("DONE");
        return 0;
    }
    say("usage: tvx-lockpeer hold DIR FILE TABLE ROW | open DIR FILE | write DIR COUNT | exclusive DIR FILE | replace DIR FILE TABLE | nextid DIR COUNT");
    return 2;
}
