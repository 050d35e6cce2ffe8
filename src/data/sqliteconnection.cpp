#include "data/collation.h"
#include "data/connection.h"
#include "data/database.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/textmatch.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTime>

#include <sqlite3.h>

#include <memory>

namespace tvx::data {

namespace {

int busyTimeoutMs = 5000;

// the text of a LIKE pattern error raised inside the engine (ours, not the engine's)
const char kBadLike[] = "Hibás LIKE minta.";

// Per table, the highest key of a deleted row (or the highest key when the
// file was first opened here); two triggers keep every writer's new rows above it.
const QString kKeyTable = QStringLiteral("tvx_keys");
// The name an attached source file goes by (openSource()).
const QString kSourceAlias = QStringLiteral("tvx_source");

QString literal(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

QStringList keyTriggerNames(const QString &table) { return {QStringLiteral("tvx_keep_") + table, QStringLiteral("tvx_gone_") + table}; }

// After a row is added with a key at or below the mark (the engine gives a new
// row the key of a deleted last row), the row moves above every key. After a
// row is deleted, the mark rises to its key. Neither writes anything otherwise.
QStringList keyTriggerStatements(const QString &table)
{
    const QString t = quoteIdentifier(table), name = literal(table);
    const QStringList names = keyTriggerNames(table);
    const QString mark = QStringLiteral("(SELECT last FROM %1 WHERE tbl = %2)").arg(kKeyTable, name);
    return {QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER INSERT ON %2 WHEN NEW.rowid <= %3 BEGIN "
                           "UPDATE %2 SET rowid = max(coalesce((SELECT max(rowid) FROM %2), 0), %3) + 1 WHERE rowid = NEW.rowid; END")
                .arg(quoteIdentifier(names[0]), t, mark),
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER DELETE ON %2 WHEN OLD.rowid > %3 BEGIN "
                           "UPDATE %4 SET last = OLD.rowid WHERE tbl = %5; END")
                .arg(quoteIdentifier(names[1]), t, mark, kKeyTable, name)};
}

std::string_view textArg(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? std::string_view(p, size_t(sqlite3_value_bytes(v))) : std::string_view();
}

void sqlEqual(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, equalIgnoringCase(textArg(argv[0]), textArg(argv[1])) ? 1 : 0);
}

void deletePattern(void *p) { delete static_cast<LikePattern *>(p); }

void sqlLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // the pattern is compiled once per statement and kept with it
    if (const auto *cached = static_cast<const LikePattern *>(sqlite3_get_auxdata(ctx, 1))) {
        sqlite3_result_int(ctx, cached->matchesUtf8(textArg(argv[0])) ? 1 : 0);
        return;
    }
    const auto patternText = textArg(argv[1]);
    auto compiled = LikePattern::compile(QString::fromUtf8(patternText.data(), qsizetype(patternText.size())));
    if (!compiled) {
        sqlite3_result_error(ctx, kBadLike, -1);
        return;
    }
    sqlite3_result_int(ctx, compiled->matchesUtf8(textArg(argv[0])) ? 1 : 0);
    sqlite3_set_auxdata(ctx, 1, new LikePattern(std::move(*compiled)), deletePattern);
}

void sqlCompare(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int r = compareText(textArg(argv[0]), textArg(argv[1]));
    sqlite3_result_int(ctx, r < 0 ? -1 : (r > 0 ? 1 : 0));
}

// The field a rule refused, from the engine's text: "NOT NULL constraint
// failed: Users.Jelszó", "CHECK constraint failed: length("h") <= 10".
QString refusedField(const QString &detail)
{
    const qsizetype colon = detail.indexOf(QLatin1String("failed: "));
    if (colon < 0)
        return {};
    const QString rest = detail.mid(colon + 8);
    const qsizetype quote = rest.indexOf(u'"');
    if (quote >= 0) {
        const qsizetype close = rest.indexOf(u'"', quote + 1);
        return close > quote ? rest.mid(quote + 1, close - quote - 1) : QString();
    }
    const QString first = rest.section(u',', 0, 0).trimmed();
    return first.section(u'.', -1);
}

// The engine's result as the user reads it: one Hungarian text per kind of
// failure, naming the file. The engine's own (English) text only goes to the
// log, for whoever looks into a fault.
Error engineError(sqlite3 *db, int rc, const QString &filePath)
{
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString file = QFileInfo(filePath).fileName();
    const int kind = rc & 0xff;
    if (kind != SQLITE_BUSY && kind != SQLITE_LOCKED)
        qWarning("tvx: %s: SQLite %d: %s", qPrintable(file), rc, qPrintable(detail));
    switch (kind) {
    case SQLITE_NOTADB: return messages::notADatabase(file);
    case SQLITE_CORRUPT: return messages::damaged(file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return messages::busy(file);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return messages::readOnly(file);
    // on an open file: the journal that a write needs cannot be made beside it
    case SQLITE_CANTOPEN: return messages::readOnly(file);
    case SQLITE_FULL: return messages::diskFull(file);
    case SQLITE_NOMEM: return messages::outOfMemory(file);
    case SQLITE_IOERR:
        if (rc == SQLITE_IOERR_SHORT_READ)
            return messages::damaged(file);
        if (rc == SQLITE_IOERR_NOMEM)
            return messages::outOfMemory(file);
        return messages::ioFailure(file);
    case SQLITE_CONSTRAINT: {
        using messages::Rule;
        const Rule rule = rc == SQLITE_CONSTRAINT_NOTNULL                                           ? Rule::NotNull
                          : (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) ? Rule::Unique
                          : rc == SQLITE_CONSTRAINT_CHECK                                          ? Rule::Check
                                                                                                   : Rule::Unknown;
        return messages::ruleBroken(file, refusedField(detail), rule);
    }
    case SQLITE_ERROR:
        if (detail == QString::fromUtf8(kBadLike))
            return {ErrorCode::BadStatement, detail};
        return messages::notExecuted(file);
    default: return messages::ioFailure(file);
    }
}

// Opening: the file exists (checked before), so a refusal is about access.
Error openError(sqlite3 *db, int rc, const QString &filePath)
{
    const int kind = rc & 0xff;
    if (kind == SQLITE_CANTOPEN || kind == SQLITE_PERM || kind == SQLITE_AUTH) {
        qWarning("tvx: %s: SQLite %d: %s", qPrintable(QFileInfo(filePath).fileName()), rc,
                 db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        return messages::cannotOpen(QFileInfo(filePath).fileName());
    }
    return engineError(db, rc, filePath);
}

class SqliteRow final : public RowReader {
public:
    explicit SqliteRow(sqlite3_stmt *st) : st_(st) {}
    int columnCount() const override { return sqlite3_column_count(st_); }
    bool isNull(int c) const override { return sqlite3_column_type(st_, c) == SQLITE_NULL; }
    qint64 int64(int c) const override { return sqlite3_column_int64(st_, c); }
    QVariant value(int c) const override
    {
        switch (sqlite3_column_type(st_, c)) {
        case SQLITE_INTEGER: return QVariant::fromValue<qint64>(sqlite3_column_int64(st_, c));
        case SQLITE_FLOAT: return sqlite3_column_double(st_, c);
        case SQLITE_TEXT: {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st_, c));
            return QString::fromUtf8(p, sqlite3_column_bytes(st_, c));
        }
        case SQLITE_BLOB: {
            const auto *p = static_cast<const char *>(sqlite3_column_blob(st_, c));
            return QByteArray(p, sqlite3_column_bytes(st_, c));
        }
        default: return {};
        }
    }

private:
    sqlite3_stmt *st_;
};

class SqliteConnection final : public Connection {
public:
    SqliteConnection(sqlite3 *db, QString path) : db_(db), path_(std::move(path))
    {
        sqlite3_busy_timeout(db_, busyTimeoutMs);
        sqlite3_extended_result_codes(db_, 1);
        const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
        sqlite3_create_function_v2(db_, "tvx_eq", 2, flags, nullptr, sqlEqual, nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(db_, "tvx_like", 2, flags, nullptr, sqlLike, nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(db_, "tvx_cmp", 2, flags, nullptr, sqlCompare, nullptr, nullptr, nullptr);
    }

    ~SqliteConnection() override
    {
        for (auto it = cache_.begin(); it != cache_.end(); ++it)
            sqlite3_finalize(it.value().statement);
        sqlite3_close_v2(db_);
    }

    QString filePath() const override { return path_; }
    const Dialect &dialect() const override { return fileDialect(); }

    Error execute(const QString &sql, const QVariantList &params, int *changes) override
    {
        Error err = query(sql, params, [](const RowReader &) { return true; });
        if (!err && changes)
            *changes = sqlite3_changes(db_);
        return err;
    }

    Error query(const QString &sql, const QVariantList &params, const std::function<bool(const RowReader &)> &row) override
    {
        Lease lease(*this, sql);
        if (!lease.statement)
            return engineError(db_, sqlite3_extended_errcode(db_), path_);
        sqlite3_stmt *st = lease.statement;
        for (int i = 0; i < params.size(); ++i) {
            const int rc = bind(st, i + 1, params[i]);
            if (rc != SQLITE_OK)
                return engineError(db_, rc, path_);
        }
        SqliteRow reader(st);
        while (true) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                if (!row(reader))
                    break;
                continue;
            }
            if (rc == SQLITE_DONE)
                break;
            return engineError(db_, rc, path_);
        }
        return {};
    }

    Error beginWrite() override
    {
        return execute(QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr);
    }
    Error commit() override
    {
        Error e = execute(QStringLiteral("COMMIT"), {}, nullptr);
        if (e)
            rollback();
        return e;
    }
    void rollback() override
    {
        if (!sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    qint64 lastInsertKey() const override { return sqlite3_last_insert_rowid(db_); }

    Error readCatalog(QVector<StoredTable> &tables) override { return readCatalog(QStringLiteral("main"), tables); }

    Error readCatalog(const QString &alias, QVector<StoredTable> &tables) override
    {
        tables.clear();
        const QString schema = u'"' + alias + u'"';
        Error err = query(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' ORDER BY rowid").arg(schema), {},
                          [&](const RowReader &r) {
                              const QString name = r.value(0).toString();
                              if (!name.startsWith(QLatin1String("tvx_"), Qt::CaseInsensitive))
                                  tables.push_back({name, {}, {}});
                              return true;
                          });
        if (err)
            return err;
        for (auto &table : tables) {
            QString quotedName = table.name;
            quotedName.replace(u'"', QStringLiteral("\"\""));
            err = query(QStringLiteral("PRAGMA %1.table_info(\"%2\")").arg(schema, quotedName), {}, [&](const RowReader &r) {
                table.fields.push_back(fieldFromDeclaredType(r.value(1).toString(), r.value(2).toString()));
                return true;
            });
            if (err)
                return err;
        }
        return {};
    }

    Error openSource(const QString &fileOrPath, Source &source) override
    {
        const QString path = resolveExternalPath(fileOrPath);
        source = {kSourceAlias, QFileInfo(path).fileName()};
        if (!QFileInfo(path).isFile())
            return messages::fileMissing(fileOrPath);
        return execute(QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(kSourceAlias), {path}, nullptr);
    }
    void closeSource(const Source &source) override
    {
        const QString &alias = source.qualifier;
        // statements prepared against the attached file must go first
        for (auto it = cache_.begin(); it != cache_.end();) {
            if (!it.value().inUse) {
                sqlite3_finalize(it.value().statement);
                it = cache_.erase(it);
            } else {
                ++it;
            }
        }
        execute(QStringLiteral("DETACH DATABASE \"%1\"").arg(alias), {}, nullptr);
    }

    Error ensureStableKeys(const QStringList &tables) override
    {
        QStringList missing;
        bool haveKeyTable = false;
        QSet<QString> triggers;
        Error err = query(QStringLiteral("SELECT type, name FROM sqlite_master WHERE type IN ('table', 'trigger')"), {},
                          [&](const RowReader &r) {
                              if (r.value(0).toString() == u"trigger")
                                  triggers.insert(r.value(1).toString());
                              else if (r.value(1).toString() == kKeyTable)
                                  haveKeyTable = true;
                              return true;
                          });
        if (err)
            return err;
        for (const QString &table : tables) {
            const QStringList names = keyTriggerNames(table);
            if (!isInternalTable(table) && !(triggers.contains(names[0]) && triggers.contains(names[1])))
                missing << table;
        }
        if (haveKeyTable && missing.isEmpty()) {
            stableKeys_ = true;
            return {};
        }
        // inside a write already (a file being created): part of it
        const bool ownWrite = sqlite3_get_autocommit(db_) != 0;
        if (ownWrite && (err = beginWrite()))
            return err;
        QStringList statements;
        statements << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (tbl TEXT PRIMARY KEY, last INTEGER NOT NULL)").arg(kKeyTable);
        for (const QString &table : std::as_const(missing)) {
            statements << QStringLiteral("INSERT OR IGNORE INTO %1 (tbl, last) VALUES (%2, (SELECT coalesce(max(rowid), 0) FROM %3))")
                              .arg(kKeyTable, literal(table), quoteIdentifier(table))
                       << keyTriggerStatements(table);
        }
        for (const QString &sql : std::as_const(statements)) {
            if ((err = execute(sql, {}, nullptr))) {
                if (ownWrite)
                    rollback();
                return err;
            }
        }
        if (ownWrite && (err = commit()))
            return err;
        stableKeys_ = true;
        return {};
    }

    Error insertRow(const QString &table, const QStringList &columns, const QVariantList &values, qint64 &key) override
    {
        const QString t = quoteIdentifier(table);
        QStringList names;
        for (const QString &c : columns)
            names << quoteIdentifier(c);
        if (!stableKeys_) {
            const QString sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t)
                                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                      .arg(t, names.join(u", "), QStringList(names.size(), QStringLiteral("?")).join(u", "));
            if (Error e = execute(sql, values, nullptr))
                return e;
            key = lastInsertKey();
            return {};
        }
        // above every key the table ever had, so the trigger has nothing to move
        key = 0;
        if (Error e = query(QStringLiteral("SELECT max(coalesce((SELECT max(rowid) FROM %1), 0), "
                                           "coalesce((SELECT last FROM %2 WHERE tbl = ?), 0)) + 1")
                                .arg(t, kKeyTable),
                            {table}, [&](const RowReader &r) {
                                key = r.int64(0);
                                return false;
                            }))
            return e;
        names.prepend(QStringLiteral("rowid"));
        QVariantList all = values;
        all.prepend(key);
        return execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(t, names.join(u", "), QStringList(names.size(), QStringLiteral("?")).join(u", ")),
                       all, nullptr);
    }

    Error insertSelect(const QString &table, const QString &sql, const QVariantList &params, int *changes) override
    {
        if (!stableKeys_ || !hasTrigger(table))
            return execute(sql, params, changes);
        const QString t = quoteIdentifier(table);
        auto scalar = [this](const QString &q, const QVariantList &p, qint64 &out) {
            out = 0;
            return query(q, p, [&](const RowReader &r) {
                out = r.int64(0);
                return false;
            });
        };
        if (Error e = beginWrite())
            return e;
        // Without triggers the engine copies whole pages; the new rows' keys
        // are moved above the mark afterwards.
        qint64 oldMax = 0, mark = 0, newMax = 0;
        int copied = 0;
        Error e = scalar(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM %1").arg(t), {}, oldMax);
        if (!e)
            e = scalar(QStringLiteral("SELECT coalesce((SELECT last FROM %1 WHERE tbl = ?), 0)").arg(kKeyTable), {table}, mark);
        for (const QString &name : keyTriggerNames(table)) {
            if (!e)
                e = execute(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteIdentifier(name)), {}, nullptr);
        }
        if (!e)
            e = execute(sql, params, &copied);
        if (!e)
            e = scalar(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM %1").arg(t), {}, newMax);
        if (!e && copied > 0 && mark > oldMax)
            e = execute(QStringLiteral("UPDATE %1 SET rowid = rowid + ? WHERE rowid > ?").arg(t), {qMax(newMax, mark) - oldMax, oldMax}, nullptr);
        for (const QString &statement : keyTriggerStatements(table)) {
            if (!e)
                e = execute(statement, {}, nullptr);
        }
        if (Error failed = commitOrRollback(e))
            return failed;
        if (changes)
            *changes = copied;
        return {};
    }

private:
    bool hasTrigger(const QString &table)
    {
        bool found = false;
        query(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?"), {keyTriggerNames(table).first()},
              [&](const RowReader &) {
                  found = true;
                  return false;
              });
        return found;
    }

    struct Cached {
        sqlite3_stmt *statement = nullptr;
        bool inUse = false;
    };

    // A prepared statement borrowed from the cache for one query; a nested
    // query with the same text gets a private one.
    struct Lease {
        Lease(SqliteConnection &c, const QString &sql) : conn(c), key(sql)
        {
            auto it = c.cache_.find(sql);
            if (it != c.cache_.end() && !it->inUse) {
                it->inUse = true;
                statement = it->statement;
                cached = true;
                return;
            }
            const QByteArray utf8 = sql.toUtf8();
            if (sqlite3_prepare_v3(c.db_, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
                SQLITE_OK) {
                statement = nullptr;
                return;
            }
            if (it == c.cache_.end() && c.cache_.size() < 200) {
                c.cache_.insert(sql, {statement, true});
                cached = true;
            }
        }
        ~Lease()
        {
            if (!statement)
                return;
            if (cached) {
                sqlite3_reset(statement);
                sqlite3_clear_bindings(statement);
                conn.cache_[key].inUse = false;
            } else {
                sqlite3_finalize(statement);
            }
        }
        SqliteConnection &conn;
        QString key;
        sqlite3_stmt *statement = nullptr;
        bool cached = false;
    };

    static int bind(sqlite3_stmt *st, int index, const QVariant &v)
    {
        if (v.isNull() || !v.isValid())
            return sqlite3_bind_null(st, index);
        switch (v.typeId()) {
        case QMetaType::Bool: return sqlite3_bind_int(st, index, v.toBool() ? 1 : 0);
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long: return sqlite3_bind_int64(st, index, v.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float: return sqlite3_bind_double(st, index, v.toDouble());
        case QMetaType::QDate: return bindText(st, index, v.toDate().toString(Qt::ISODate));
        case QMetaType::QTime: return bindText(st, index, v.toTime().toString(QStringLiteral("HH:mm:ss")));
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            return sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        default: return bindText(st, index, v.toString());
        }
    }
    static int bindText(sqlite3_stmt *st, int index, const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        return sqlite3_bind_text(st, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

    sqlite3 *db_;
    QString path_;
    QHash<QString, Cached> cache_;
    bool stableKeys_ = false;
};

std::unique_ptr<Connection> openWithFlags(const QString &filePath, int flags, Error &error)
{
    sqlite3 *db = nullptr;
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    const QByteArray path = absolute.toUtf8();
    const int rc = sqlite3_open_v2(path.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        error = openError(db, sqlite3_extended_errcode(db) ? sqlite3_extended_errcode(db) : rc, absolute);
        sqlite3_close_v2(db);
        return nullptr;
    }
    auto conn = std::make_unique<SqliteConnection>(db, absolute);
    // Reading the schema proves the file is a database (and rolls back a journal left by a crash).
    error = conn->query(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, [](const RowReader &) { return true; });
    if (error) {
        // whatever else went wrong, the file did not read as a database
        if (error.code == ErrorCode::BadStatement)
            error = messages::notADatabase(QFileInfo(filePath).fileName());
        return nullptr;
    }
    return conn;
}

}  // namespace

bool isInternalTable(const QString &name)
{
    return name.startsWith(QLatin1String("tvx_"), Qt::CaseInsensitive) || name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

void setBusyTimeout(int milliseconds) { busyTimeoutMs = milliseconds; }

int busyTimeout() { return busyTimeoutMs; }

std::unique_ptr<Connection> openSqlite(const QString &filePath, Error &error)
{
    const QFileInfo info(filePath);
    if (!info.isFile()) {
        error = messages::fileMissing(info.fileName());
        return nullptr;
    }
    // The engine would take an empty file for an empty database and write
    // into it: a file cut to nothing is no data set file.
    if (info.size() == 0) {
        error = messages::emptyFile(info.fileName());
        return nullptr;
    }
    return openWithFlags(filePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error);
}

std::unique_ptr<Connection> createSqlite(const QString &filePath, Error &error)
{
    if (QFileInfo::exists(filePath)) {
        error = {ErrorCode::Io, QStringLiteral("A(z) %1 állomány már létezik.").arg(filePath)};
        return nullptr;
    }
    return openWithFlags(filePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, error);
}

}  // namespace tvx::data
