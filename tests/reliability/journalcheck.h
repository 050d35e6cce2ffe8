#pragma once

// What the clerks were told (their journals) against what the files hold,
// read straight from the engine, independent of the data-source layer: the
// files through SQLite, a server data set through libpq.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <sqlite3.h>

#ifdef TVX_HAVE_LIBPQ
#include "data/dataset.h"
#include "data/pgconnection.h"

#include <libpq-fe.h>
#endif

struct ClerkJournals {
    QMap<QString, QStringList> entries;  // recordID → filing number, contract
    QSet<QString> deleted;
    QStringList edits, tried;
    QMap<QString, QString> partners;  // recordID → name
    QStringList templates;
    QMap<QString, QString> attachments;  // attachment's filing number → entry's recordID
    QStringList debts;
    QStringList users;
    QMap<QString, QStringList> passwords;  // user → the passwords set, in order
    int finished = 0;                  // clerks that wrote their last line
    int confirmed = 0, lockMessages = 0, otherMessages = 0;
    int duplicateClaims = 0;  // the same key confirmed twice

    int operations() const
    {
        return int(entries.size() + deleted.size() + edits.size() + partners.size() + templates.size() + attachments.size() +
                   debts.size() + users.size()) +
               passwordChanges;
    }
    int passwordChanges = 0;
};

inline ClerkJournals readJournals(const QStringList &paths)
{
    ClerkJournals j;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &raw : file.readAll().split('\n')) {
            const QStringList f = QString::fromUtf8(raw).split(u'\t');
            const QString &kind = f[0];
            auto claim = [&j](bool fresh) {
                if (!fresh)
                    ++j.duplicateClaims;
            };
            // a line cut short by a kill is not a confirmation
            if (kind == u"entry" && f.size() == 4) {
                claim(!j.entries.contains(f[1]));
                j.entries.insert(f[1], {f[2], f[3]});
            } else if (kind == u"delete" && f.size() == 2) {
                claim(!j.deleted.contains(f[1]));
                j.deleted.insert(f[1]);
            } else if (kind == u"edit" && f.size() == 2)
                j.edits << f[1];
            else if (kind == u"tried" && f.size() == 2)
                j.tried << f[1];
            else if (kind == u"partner" && f.size() == 3) {
                claim(!j.partners.contains(f[1]));
                j.partners.insert(f[1], f[2]);
            } else if (kind == u"template" && f.size() == 2)
                j.templates << f[1];
            else if (kind == u"attachment" && f.size() == 3)
                j.attachments.insert(f[2], f[1]);
            else if (kind == u"debt" && f.size() == 2)
                j.debts << f[1];
            else if (kind == u"user" && f.size() == 2)
                j.users << f[1];
            else if (kind == u"password" && f.size() == 3) {
                j.passwords[f[1]] << f[2];
                ++j.passwordChanges;
            } else if (kind == u"done" && f.size() == 4) {
                ++j.finished;
                j.confirmed += f[1].toInt();
                j.lockMessages += f[2].toInt();
                j.otherMessages += f[3].toInt();
            }
        }
    }
    return j;
}

#ifdef TVX_HAVE_LIBPQ
// A statement of the checks on the server, in the schema the file stands for.
// The checks quote their names, as the server needs (it folds unquoted ones).
inline QList<QStringList> serverRows(const QString &conninfo, const QString &file, const QString &sql, QString *error)
{
    QList<QStringList> rows;
    PGconn *conn = PQconnectdb(conninfo.toUtf8().constData());
    const QByteArray path = "SET search_path = \"" + tvx::data::serverSchemaFor(QFileInfo(file).fileName()).toUtf8() + '"';
    PGresult *set = PQexec(conn, path.constData());
    PQclear(set);
    PGresult *r = PQexec(conn, sql.toUtf8().constData());
    if (PQresultStatus(r) == PGRES_TUPLES_OK) {
        for (int i = 0; i < PQntuples(r); ++i) {
            QStringList row;
            for (int c = 0; c < PQnfields(r); ++c)
                row << (PQgetisnull(r, i, c) ? QStringLiteral("<null>") : QString::fromUtf8(PQgetvalue(r, i, c)));
            rows << row;
        }
    } else if (error) {
        *error = QString::fromUtf8(PQerrorMessage(conn));
    }
    PQclear(r);
    PQfinish(conn);
    return rows;
}
#endif

// Rows of a statement as text (null as "<null>"); `error` receives the engine's
// complaint. Opened for writing, as any program opens the file: a journal a
// killed writer left is rolled back first.
inline QList<QStringList> sqlRows(const QString &file, const QString &sql, QString *error = nullptr)
{
#ifdef TVX_HAVE_LIBPQ
    QString conninfo;
    tvx::data::serverConninfo(QFileInfo(file).dir(), conninfo);
    if (!conninfo.isEmpty())
        return serverRows(conninfo, file, sql, error);
#endif
    QList<QStringList> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return rows;
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return rows;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            row << (sqlite3_column_type(st, c) == SQLITE_NULL
                        ? QStringLiteral("<null>")
                        : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
        rows << row;
    }
    if (rc != SQLITE_DONE && error)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

inline QStringList sqlColumn(const QString &file, const QString &sql)
{
    QStringList values;
    for (const QStringList &row : sqlRows(file, sql))
        values << row.value(0);
    return values;
}

inline QStringList repeated(const QStringList &values)
{
    QHash<QString, int> seen;
    QStringList twice;
    for (const QString &v : values)
        if (++seen[v] == 2)
            twice << v;
    return twice;
}

// Every file passes the engine's own check.
inline QStringList checkIntegrity(const QDir &dir)
{
    QStringList problems;
    for (const QString &name : dir.entryList({QStringLiteral("*.tvd")}, QDir::Files)) {
        QString error;
        const QStringList result = sqlColumn(dir.filePath(name), QStringLiteral("PRAGMA integrity_check"));
        if (result != QStringList{QStringLiteral("ok")})
            problems << name + QStringLiteral(": ") + result.join(u' ');
    }
    return problems;
}

// Everything the clerks were told is in the files, nothing twice. After a crash
// an entry may stand both in the register and in the archive (archived, not yet
// deleted); otherwise never.
inline QStringList checkAgainstJournals(const QDir &dir, const ClerkJournals &j, bool crashed)
{
    QStringList problems;
    const QString tarvix = dir.filePath(QStringLiteral("Tarvix.tvd"));
    const QString archive = dir.filePath(QStringLiteral("TarvixArchiv.tvd"));

    QHash<QString, QStringList> stored;
    for (const QStringList &row : sqlRows(tarvix, QStringLiteral("SELECT \"recordID\", \"Iktatószám\", \"SzerzödésSzáma\" FROM \"Tarvix\"")))
        stored.insert(row[0], {row[1], row[2]});
    const QStringList storedIds = sqlColumn(tarvix, QStringLiteral("SELECT \"recordID\" FROM \"Tarvix\""));
    const QStringList archivedIds = sqlColumn(archive, QStringLiteral("SELECT \"recordID\" FROM \"Tarvix\""));
    const QSet<QString> archived(archivedIds.begin(), archivedIds.end());
    if (const QStringList twice = repeated(storedIds); !twice.isEmpty())
        problems << QStringLiteral("filing identifiers twice: ") + twice.join(u',');
    if (const QStringList twice = repeated(archivedIds); !twice.isEmpty())
        problems << QStringLiteral("archived twice: ") + twice.join(u',');
    for (auto it = j.entries.begin(); it != j.entries.end(); ++it) {
        const QString &id = it.key();
        if (j.deleted.contains(id)) {
            if (!archived.contains(id))
                problems << QStringLiteral("deleted entry not in the archive: ") + id;
            if (stored.contains(id))
                problems << QStringLiteral("deleted entry still in the register: ") + id;
        } else if (!stored.contains(id)) {
            if (!crashed || !archived.contains(id))
                problems << QStringLiteral("entry lost: ") + id;
        } else if (stored.value(id) != it.value()) {
            problems << QStringLiteral("entry %1 holds %2 instead of %3").arg(id, stored.value(id).join(u'|'), it.value().join(u'|'));
        }
    }
    if (!crashed) {
        for (const QString &id : archivedIds)
            if (stored.contains(id))
                problems << QStringLiteral("entry both in the register and in the archive: ") + id;
    }

    const QStringList note = sqlColumn(tarvix, QStringLiteral("SELECT \"KezelésiFeljegyzés\" FROM \"Tarvix\" WHERE \"recordID\" = 'KOZOS'"));
    if (note.size() != 1)
        problems << QStringLiteral("the shared entry is gone");
    else if (!crashed && !j.edits.isEmpty() && !j.edits.contains(note[0]) && !j.tried.contains(note[0]))
        problems << QStringLiteral("the shared entry's note was never typed: ") + note[0];

    const QString partnersFile = dir.filePath(QStringLiteral("Torzsek.tvd"));
    QHash<QString, QString> partners;
    const QList<QStringList> partnerRows = sqlRows(partnersFile, QStringLiteral("SELECT \"recordID\", \"BerNev\" FROM \"BePartner\""));
    QStringList partnerIds;
    for (const QStringList &row : partnerRows) {
        partners.insert(row[0], row[1]);
        if (row[0] != u"<null>" && row[0] != u"0")
            partnerIds << row[0];
    }
    if (const QStringList twice = repeated(partnerIds); !twice.isEmpty())
        problems << QStringLiteral("partner identifiers twice: ") + twice.join(u',');
    for (auto it = j.partners.begin(); it != j.partners.end(); ++it)
        if (partners.value(it.key()) != it.value())
            problems << QStringLiteral("partner %1 lost or changed: %2").arg(it.key(), partners.value(it.key()));

    auto allThere = [&problems](const QStringList &told, const QStringList &held, const QString &what) {
        QHash<QString, int> count;
        for (const QString &v : held)
            ++count[v];
        for (const QString &v : told)
            if (count.value(v) != 1)
                problems << QStringLiteral("%1 \"%2\" stored %3 times").arg(what, v).arg(count.value(v));
    };
    allThere(j.templates, sqlColumn(dir.filePath(QStringLiteral("Parameter.tvd")), QStringLiteral("SELECT \"Jelleg\" FROM \"Iktatoszam\"")),
             QStringLiteral("template"));
    allThere(j.attachments.keys(), sqlColumn(tarvix, QStringLiteral("SELECT \"Iktatószám\" FROM \"Mellekletek\"")), QStringLiteral("attachment"));
    allThere(j.debts, sqlColumn(tarvix, QStringLiteral("SELECT \"OkmánySzám\" FROM \"SzamlaTartozas\"")), QStringLiteral("debt"));

    const QString regiszt = dir.filePath(QStringLiteral("regiszt.tvd"));
    const QStringList users = sqlColumn(regiszt, QStringLiteral("SELECT \"Felhasználó\" FROM \"Users\""));
    if (const QStringList twice = repeated(users); !twice.isEmpty())
        problems << QStringLiteral("user names twice: ") + twice.join(u',');
    for (const QString &name : j.users)
        if (!users.contains(name))
            problems << QStringLiteral("user lost: ") + name;
    for (auto it = j.passwords.begin(); it != j.passwords.end(); ++it) {
        QString quoted = it.key();
        quoted.replace(u'\'', QStringLiteral("''"));
        const QStringList password = sqlColumn(regiszt, QStringLiteral("SELECT \"Jelszó\" FROM \"Users\" WHERE \"Felhasználó\" = '%1'").arg(quoted));
        // after a crash a later change may have landed without being confirmed;
        // an earlier confirmed password coming back means a change was lost
        const QString last = it.value().last();
        if (password.size() != 1 || (password[0] != last && (!crashed || it.value().contains(password[0]))))
            problems << QStringLiteral("password of %1 is %2, not %3").arg(it.key(), password.join(u','), last);
    }

    problems << checkIntegrity(dir);
    return problems;
}
