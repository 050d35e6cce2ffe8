#include "data/database.h"

#include "data/dataset.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/recordlock.h"
#include "data/recordset.h"

#ifdef TVX_HAVE_LIBPQ
#include "data/pgconnection.h"
#endif

#include <QFileInfo>
#include <QHash>

#include <deque>
#include <optional>

namespace tvx::data {

namespace {

QHash<QString, std::weak_ptr<Database>> &openDatabases()
{
    static QHash<QString, std::weak_ptr<Database>> registry;
    return registry;
}

Error noSuchTable(const QString &name, const QString &file) { return messages::noSuchTable(name, file); }

#ifdef TVX_HAVE_LIBPQ
// Sessions of server files no screen has open any more, newest last, kept for
// the next screen that opens the file: making a session anew (a server
// process, the login, the catalog) costs more than a screen should wait. An
// idle session gives up the in-use marker, so the maintenance program is not
// kept out by a window that was closed.
struct IdleSession {
    QString key;
    std::unique_ptr<Connection> connection;
    ServerConnection *server = nullptr;
};
constexpr size_t kIdleSessions = 12;

std::deque<IdleSession> &idleSessions()
{
    static std::deque<IdleSession> sessions;
    return sessions;
}

std::optional<IdleSession> takeIdleSession(const QString &key)
{
    auto &sessions = idleSessions();
    for (auto it = sessions.rbegin(); it != sessions.rend(); ++it) {
        if (it->key == key) {
            IdleSession found = std::move(*it);
            sessions.erase(std::next(it).base());
            return found;
        }
    }
    return std::nullopt;
}
#endif

}  // namespace

QString resolveExternalPath(const QString &path)
{
    // A file that exists under the very path given is the one meant: a
    // backslash in a folder name is no separator there.
    if (QFileInfo(path).isFile())
        return QDir::cleanPath(path);
    QString p = path.trimmed();
    p.replace(u'\\', u'/');
    const bool absolute = p.startsWith(u'/');
    while (p.contains(QStringLiteral("//")))
        p.replace(QStringLiteral("//"), QStringLiteral("/"));
    p = QDir::cleanPath(p);
    if (absolute && !p.startsWith(u'/'))
        p.prepend(u'/');
    const QFileInfo info(p);
    const QString found = findFileIgnoringCase(info.dir(), info.fileName());
    return found.isEmpty() ? p : info.dir().filePath(found);
}

std::shared_ptr<Database> Database::open(const QString &fileName, const QDir &directory, Error &error)
{
    QString conninfo;
    if ((error = serverConninfo(directory, conninfo)))
        return nullptr;
    if (!conninfo.isEmpty())
        return openServer(conninfo, fileName, error);
    const QString found = findFileIgnoringCase(directory, fileName);
    if (found.isEmpty()) {
        error = messages::fileMissing(fileName.toUpper());
        return nullptr;
    }
    return openPath(directory.filePath(found), error);
}

std::shared_ptr<Database> Database::openPath(const QString &filePath, Error &error, Access access)
{
    const QFileInfo info(filePath);
    const QString key = info.canonicalFilePath();
    if (key.isEmpty()) {
        error = messages::fileMissing(info.fileName().toUpper());
        return nullptr;
    }
    if (auto existing = openDatabases().value(key).lock())
        return existing;

    std::shared_ptr<Database> db(new Database);
    db->connection_ = openSqlite(key, error);
    if (!db->connection_)
        return nullptr;
    if ((error = db->refreshTables()))
        return nullptr;
    if (access == Access::Private)
        return db;
    // A file on a read-only medium still opens; nobody can write it anyway.
    db->connection_->ensureStableKeys(db->tableNames());
    db->key_ = key;
    db->presence_ = std::make_unique<LockFile>(key);
    db->presence_->lock(LockFile::kInUseOffset, false);
    openDatabases().insert(key, db);
    return db;
}

std::shared_ptr<Database> Database::openServer(const QString &conninfo, const QString &fileName, Error &error, Access access)
{
#ifdef TVX_HAVE_LIBPQ
    const QString schema = serverSchemaFor(fileName);
    // no file at all: the data set's database itself, for the maintenance program
    if (schema.isEmpty() && !(fileName.isEmpty() && access == Access::Private)) {
        error = messages::fileMissing(fileName.toUpper());
        return nullptr;
    }
    const QString key = QStringLiteral("server:%1#%2").arg(conninfo, schema);
    // A session made a database: its tables read, and when shared, the in-use
    // marker held and the process told of it. A kept session whose schema is
    // gone meanwhile sees no tables; a session of its own reports that.
    auto adopt = [&](std::unique_ptr<Connection> connection, ServerConnection *server, bool kept) -> std::shared_ptr<Database> {
        std::shared_ptr<Database> db(new Database);
        db->server_ = server;
        db->connection_ = std::move(connection);
        if ((error = db->refreshTables()) || (kept && db->tables_.empty()))
            return nullptr;
        if (access == Access::Private)
            return db;
        if ((error = db->server_->holdInUse()))
            return nullptr;
        db->key_ = key;
        openDatabases().insert(key, db);
        return db;
    };
    if (access == Access::Shared) {
        if (auto existing = openDatabases().value(key).lock())
            return existing;
        if (auto idle = takeIdleSession(key)) {
            if (auto db = adopt(std::move(idle->connection), idle->server, true))
                return db;
            error = {};
        }
    }
    auto connection = data::openServer(conninfo, fileName, error);
    if (!connection)
        return nullptr;
    ServerConnection *server = connection.get();
    return adopt(std::move(connection), server, false);
#else
    Q_UNUSED(conninfo)
    Q_UNUSED(access)
    error = {ErrorCode::Io, QStringLiteral("A(z) %1 adatállomány adatbázis-kiszolgálón van, de ez a program kiszolgáló nélkül "
                                           "készült (PostgreSQL ügyfélkönyvtár nélkül).")
                                .arg(fileName)};
    return nullptr;
#endif
}

Error Database::useServerFile(const QString &fileName)
{
#ifdef TVX_HAVE_LIBPQ
    // one shared by data sources is the file it was opened for, for good
    if (server_ && key_.isEmpty()) {
        if (Error e = server_->useSchemaOf(fileName))
            return e;
        return refreshTables();
    }
#endif
    Q_UNUSED(fileName)
    return messages::notExecuted(this->fileName());
}

std::unique_ptr<RecordLocker> Database::recordLocker()
{
#ifdef TVX_HAVE_LIBPQ
    if (server_)
        return server_->recordLocker();
#endif
    return fileRecordLocker(filePath(), fileName());
}

std::shared_ptr<Database> Database::create(const QString &filePath, const DatabaseFileDef &definition, Error &error)
{
    auto connection = createSqlite(filePath, error);
    if (!connection)
        return nullptr;
    if ((error = connection->beginWrite()))
        return nullptr;
    for (const QString &statement : createStatements(definition)) {
        if ((error = connection->execute(statement))) {
            connection->rollback();
            return nullptr;
        }
    }
    QStringList names;
    for (const TableDef &table : definition.tables)
        names << table.name;
    if ((error = connection->ensureStableKeys(names))) {
        connection->rollback();
        return nullptr;
    }
    if ((error = connection->commit()))
        return nullptr;
    connection.reset();
    // nobody else knows the file yet: no lock file beside it
    return openPath(filePath, error, Access::Private);
}

Database::~Database()
{
    if (!key_.isEmpty()) {
        auto &registry = openDatabases();
        auto it = registry.find(key_);
        if (it != registry.end() && it->expired())
            registry.erase(it);
    }
#ifdef TVX_HAVE_LIBPQ
    if (server_ && !key_.isEmpty()) {
        server_->releaseInUse();
        if (server_->isIdle()) {
            auto &sessions = idleSessions();
            sessions.push_back({key_, std::move(connection_), server_});
            while (sessions.size() > kIdleSessions)
                sessions.pop_front();
        }
    }
#endif
}

QString Database::filePath() const { return connection_->filePath(); }

QStringList Database::tableNames() const
{
    QStringList names;
    for (const TableInfo &t : tables_)
        names << t.name;
    return names;
}

QString Database::fileName() const { return QFileInfo(filePath()).fileName(); }

const TableInfo *Database::table(const QString &name) const
{
    for (const auto &t : tables_) {
        if (t.name == name)
            return &t;
    }
    for (const auto &t : tables_) {
        if (sameName(t.name, name))
            return &t;
    }
    return nullptr;
}

Error Database::refreshTables()
{
    QVector<StoredTable> stored;
    if (Error e = connection_->readCatalog(stored))
        return e;
    tables_.clear();
    for (const auto &s : stored) {
        TableInfo t{s.name, s.fields, s.sourceTable};
        t.index();
        tables_ << t;
    }
    return {};
}

Error Database::rowCount(const QString &tableName, qint64 &count)
{
    const TableInfo *t = table(tableName);
    if (!t)
        return noSuchTable(tableName, fileName());
    return connection_->query(QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdentifier(t->name)), {},
                              [&](const RowReader &r) {
                                  count = r.int64(0);
                                  return false;
                              });
}

std::shared_ptr<Recordset> Database::openRecordset(const QString &source, Error &error)
{
    const auto parsed = jet::parseRecordSource(source);
    if (!parsed) {
        error = parsed.error;
        return nullptr;
    }
    const jet::Select &select = *parsed.value;
    const TableInfo *t = table(select.table);
    if (!t) {
        error = noSuchTable(select.table, fileName());
        return nullptr;
    }
    QVector<int> columns;
    if (select.columns.isEmpty()) {
        for (int i = 0; i < t->fields.size(); ++i)
            columns << i;
    } else {
        for (const QString &name : select.columns) {
            const int index = t->indexOf(name);
            if (index < 0) {
                error = messages::noSuchField(t->name, name);
                return nullptr;
            }
            columns << index;
        }
    }
    auto rs = std::make_shared<Recordset>(shared_from_this(), *t, columns, select, source);
    if (!rs->requery()) {
        error = rs->lastError();
        return nullptr;
    }
    error = {};
    return rs;
}

Error Database::execute(const QString &statement, int *rowsAffected)
{
    const auto parsed = jet::parseStatement(statement);
    if (!parsed)
        return parsed.error;
    return execute(*parsed.value, rowsAffected);
}

Error Database::execute(const jet::Statement &statement, int *rowsAffected)
{
    if (const auto *del = std::get_if<jet::Delete>(&statement)) {
        const TableInfo *t = table(del->table);
        if (!t)
            return noSuchTable(del->table, fileName());
        const SqlText where = whereClause(del->where, *t, connection_->dialect());
        if (where.error)
            return where.error;
        QString sql = QStringLiteral("DELETE FROM %1").arg(quoteIdentifier(t->name));
        if (!where.sql.isEmpty())
            sql += QStringLiteral(" WHERE ") + where.sql;
        return connection_->execute(sql, where.params, rowsAffected);
    }
    if (const auto *insert = std::get_if<jet::InsertSelect>(&statement))
        return executeInsert(*insert, rowsAffected);
    return {ErrorCode::BadStatement, QStringLiteral("A SELECT lekérdezés nem hajtható végre, csak megnyitható.")};
}

Error Database::executeInsert(const jet::InsertSelect &insert, int *rowsAffected)
{
    const TableInfo *target = table(insert.table);
    if (!target)
        return noSuchTable(insert.table, fileName());

    QVector<StoredTable> externalTables;
    const bool external = !insert.sourceFile.isEmpty();
    Connection::Source opened;
    QString sourceFileName = fileName();
    if (external) {
        if (Error e = connection_->openSource(insert.sourceFile, opened))
            return e;
        sourceFileName = opened.name;
        if (Error e = connection_->readCatalog(opened.qualifier, externalTables)) {
            connection_->closeSource(opened);
            return e;
        }
    }
    auto finish = [&](Error e) {
        if (external)
            connection_->closeSource(opened);
        return e;
    };

    TableInfo source;
    if (external) {
        const StoredTable *found = nullptr;
        for (const auto &t : externalTables) {
            if (sameName(t.name, insert.sourceTable)) {
                found = &t;
                break;
            }
        }
        if (!found)
            return finish(noSuchTable(insert.sourceTable, sourceFileName));
        source = {found->name, found->fields, found->sourceTable};
        source.index();
    } else {
        const TableInfo *t = table(insert.sourceTable);
        if (!t)
            return finish(noSuchTable(insert.sourceTable, sourceFileName));
        source = *t;
    }

    auto resolve = [](const TableInfo &t, const QStringList &names, QStringList &out) -> Error {
        if (names.isEmpty()) {
            for (const auto &f : t.fields)
                out << quoteIdentifier(f.name);
            return {};
        }
        for (const QString &name : names) {
            const int i = t.indexOf(name);
            if (i < 0)
                return messages::noSuchField(t.name, name);
            out << quoteIdentifier(t.fields[i].name);
        }
        return {};
    };
    QStringList targetColumns, sourceColumns;
    if (Error e = resolve(*target, insert.columns, targetColumns))
        return finish(e);
    if (Error e = resolve(source, insert.sourceColumns, sourceColumns))
        return finish(e);
    if (targetColumns.size() != sourceColumns.size())
        return finish({ErrorCode::BadStatement, QStringLiteral("A beszúrt és a kiválasztott oszlopok száma eltér.")});

    const Dialect &dialect = connection_->dialect();
    const SqlText where = whereClause(insert.where, source, dialect);
    if (where.error)
        return finish(where.error);
    auto allColumnsInOrder = [](const TableInfo &t, const QStringList &columns) {
        if (columns.size() != t.fields.size())
            return false;
        for (int i = 0; i < columns.size(); ++i) {
            if (columns[i] != quoteIdentifier(t.fields[i].name))
                return false;
        }
        return true;
    };
    // Whole rows in the same column order: the engine can copy them page by
    // page when the two tables are alike, and maps columns by position otherwise.
    const bool wholeRows = dialect.copiesWholeRows() && where.sql.isEmpty() && allColumnsInOrder(*target, targetColumns) &&
                           allColumnsInOrder(source, sourceColumns);
    const QString sourceTable = dialect.qualified(opened.qualifier, source.name);
    const QString targetTable = dialect.qualified(QString(), target->name);
    QString sql = wholeRows ? QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(targetTable, sourceTable)
                            : QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                                  .arg(targetTable, targetColumns.join(u", "), sourceColumns.join(u", "), sourceTable);
    if (!where.sql.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.sql;
    if (!wholeRows)
        sql += dialect.copyOrder();
    return finish(connection_->insertSelect(target->name, sql, where.params, rowsAffected));
}

}  // namespace tvx::data
