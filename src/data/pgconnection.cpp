#include "data/pgconnection.h"

#include "data/messages.h"
#include "data/names.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QTime>

#include <libpq-fe.h>

#include <cmath>

namespace tvx::data {

namespace {

// Type identifiers of the server's built-in types (pg_type.oid), fixed for every server.
enum : Oid {
    kBoolOid = 16,
    kByteaOid = 17,
    kInt8Oid = 20,
    kInt2Oid = 21,
    kInt4Oid = 23,
    kOidOid = 26,
    kFloat4Oid = 700,
    kFloat8Oid = 701,
    kNumericOid = 1700,
};

constexpr int kStatementCacheLimit = 200;

// A 63-bit key for an advisory lock, from a text naming what it guards.
qint64 advisoryKey(const QString &what)
{
    quint64 h = 1469598103934665603ULL;
    for (const QChar c : what) {
        h ^= c.unicode();
        h *= 1099511628211ULL;
    }
    return qint64(h & 0x7FFFFFFFFFFFFFFFULL);
}

// The layer writes `?` for every parameter; the server numbers them. Quoted
// text, quoted names and comments are left as they are.
QString numberPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype close = sql.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? sql.size() : close + 1;
            out += QStringView(sql).mid(i, end - i);
            i = end - 1;
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            const qsizetype close = sql.indexOf(u'\n', i);
            const qsizetype end = close < 0 ? sql.size() : close;
            out += QStringView(sql).mid(i, end - i);
            i = end - 1;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out;
}

// A value as the server reads it: text (or bytes) and the type it is sent as.
// Integers and text go without a type, so the server takes the column's type
// (a 1 fits a boolean, a smallint and a double alike); doubles go as double
// precision, so an integer column compares with 2.5 as a number.
struct Parameter {
    QByteArray data;
    Oid type = 0;
    bool null = false;
    bool binary = false;
};

Parameter toParameter(const QVariant &v)
{
    Parameter p;
    if (v.isNull() || !v.isValid()) {
        p.null = true;
        return p;
    }
    switch (v.typeId()) {
    case QMetaType::Bool: p.data = v.toBool() ? "1" : "0"; break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: p.data = QByteArray::number(v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d))
            p.data = std::isnan(d) ? "NaN" : (d > 0 ? "Infinity" : "-Infinity");
        else
            p.data = QByteArray::number(d, 'g', 17);
        p.type = kFloat8Oid;
        break;
    }
    case QMetaType::QDate: p.data = v.toDate().toString(Qt::ISODate).toUtf8(); break;
    case QMetaType::QTime: p.data = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8(); break;
    case QMetaType::QByteArray:
        p.data = v.toByteArray();
        p.type = kByteaOid;
        p.binary = true;
        break;
    default: p.data = v.toString().toUtf8(); break;
    }
    return p;
}

class PgRow final : public RowReader {
public:
    explicit PgRow(const PGresult *r) : r_(r) {}
    int columnCount() const override { return PQnfields(r_); }
    bool isNull(int c) const override { return PQgetisnull(r_, 0, c) != 0; }
    qint64 int64(int c) const override
    {
        if (isNull(c))
            return 0;
        if (PQftype(r_, c) == kBoolOid)
            return *PQgetvalue(r_, 0, c) == 't' ? 1 : 0;
        return QByteArray::fromRawData(PQgetvalue(r_, 0, c), PQgetlength(r_, 0, c)).toLongLong();
    }
    QVariant value(int c) const override
    {
        if (isNull(c))
            return {};
        const char *text = PQgetvalue(r_, 0, c);
        const int length = PQgetlength(r_, 0, c);
        switch (PQftype(r_, c)) {
        case kBoolOid: return QVariant::fromValue<qint64>(*text == 't' ? 1 : 0);
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
        case kOidOid: return QVariant::fromValue<qint64>(QByteArray::fromRawData(text, length).toLongLong());
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid: return QByteArray::fromRawData(text, length).toDouble();
        case kByteaOid: {
            size_t size = 0;
            unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &size);
            const QByteArray result(reinterpret_cast<const char *>(bytes), qsizetype(size));
            PQfreemem(bytes);
            return result;
        }
        default: return QString::fromUtf8(text, length);
        }
    }

private:
    const PGresult *r_;
};

// A field of the catalog from the server's name of its type (format_type()).
FieldDef fieldFromServerType(const QString &name, const QString &type)
{
    QString declared = type.trimmed().toUpper();
    if (declared.startsWith(u"CHARACTER VARYING"))
        declared = QStringLiteral("VARCHAR") + declared.mid(17);
    else if (declared.startsWith(u"CHARACTER"))
        declared = QStringLiteral("CHAR") + declared.mid(9);
    else if (declared.startsWith(u"TIME") && !declared.startsWith(u"TIMESTAMP"))
        declared = QStringLiteral("TIME");
    else if (declared.startsWith(u"TIMESTAMP"))
        declared = QStringLiteral("DATETIME");
    else if (declared == u"DOUBLE PRECISION")
        declared = QStringLiteral("DOUBLE");
    else if (declared == u"TEXT")
        declared = QStringLiteral("LONGTEXT");
    return fieldFromDeclaredType(name, declared);
}

QString serverType(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::Text: return QStringLiteral("varchar(%1) COLLATE \"hu-x-icu\"").arg(field.size);
    case FieldType::Memo: return QStringLiteral("text COLLATE \"hu-x-icu\"");
    case FieldType::Date: return QStringLiteral("date");
    case FieldType::Time: return QStringLiteral("time(0) without time zone");
    case FieldType::YesNo: return QStringLiteral("boolean");
    case FieldType::Short: return QStringLiteral("smallint");
    case FieldType::Long: return QStringLiteral("integer");
    case FieldType::Double: return QStringLiteral("double precision");
    }
    return QStringLiteral("text COLLATE \"hu-x-icu\"");
}

// The names the server's message quotes, in order: column "x" of relation "T" does not exist.
QStringList quotedNames(const QString &text)
{
    QStringList names;
    for (qsizetype open = text.indexOf(u'"'); open >= 0;) {
        const qsizetype close = text.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        names << text.mid(open + 1, close - open - 1);
        open = text.indexOf(u'"', close + 1);
    }
    return names;
}

class PgConnection final : public ServerConnection {
public:
    PgConnection(PGconn *conn, QString conninfo, QString schema, QString fileName)
        : conn_(conn), conninfo_(std::move(conninfo)), schema_(std::move(schema)), fileName_(std::move(fileName))
    {
        // the server's notices go to the log, not to the program's error output
        PQsetNoticeProcessor(conn_, [](void *, const char *message) { qDebug("tvx: PostgreSQL: %s", message); }, nullptr);
    }
    ~PgConnection() override { PQfinish(conn_); }

    // Session settings; the key of the schema's writer lock.
    Error setUp()
    {
        PQsetClientEncoding(conn_, "UTF8");
        const QString sql = QStringLiteral("SET DateStyle = ISO; SET IntervalStyle = iso_8601; SET extra_float_digits = 1; "
                                           "SET lock_timeout = %1; SET search_path = %2")
                                .arg(qMax(1, busyTimeout()))
                                .arg(schema_.isEmpty() ? QStringLiteral("pg_catalog") : quoteIdentifier(schema_));
        PGresult *r = PQexec(conn_, sql.toUtf8().constData());
        Error e = PQresultStatus(r) == PGRES_COMMAND_OK ? Error{} : resultError(r);
        PQclear(r);
        if (e)
            return e;
        if (schema_.isEmpty())
            return {};
        bool found = false;
        if ((e = serverSchemaExists(*this, schema_, found)))
            return e;
        return found ? Error{} : messages::fileMissing(fileName_.toUpper());
    }

    QString filePath() const override { return fileName_; }
    const Dialect &dialect() const override { return serverDialect(); }
    QString schema() const override { return schema_; }
    quint64 sessionGeneration() const override { return generation_; }
    bool isConnected() const override { return PQstatus(conn_) == CONNECTION_OK; }
    bool isIdle() const override
    {
        return isConnected() && !busy_ && !inTransaction_ && PQtransactionStatus(conn_) == PQTRANS_IDLE && heldRecords_.isEmpty();
    }

    Error execute(const QString &sql, const QVariantList &params, int *changes) override
    {
        int written = 0;
        Error e = run(sql, params, nullptr, &written);
        if (!e && changes)
            *changes = written;
        return e;
    }

    Error query(const QString &sql, const QVariantList &params, const std::function<bool(const RowReader &)> &row) override
    {
        return run(sql, params, &row, nullptr);
    }

    Error beginWrite() override
    {
        if (Error e = execute(QStringLiteral("BEGIN"), {}, nullptr))
            return e;
        if (Error e = becomeWriterOf(schema_)) {
            rollback();
            return e;
        }
        return {};
    }

    Error commit() override
    {
        // a transaction that failed is only rolled back by COMMIT, with no error
        if (PQtransactionStatus(conn_) == PQTRANS_INERROR) {
            rollback();
            return messages::notExecuted(fileName_);
        }
        Error e = execute(QStringLiteral("COMMIT"), {}, nullptr);
        if (e)
            rollback();
        return e;
    }

    void rollback() override
    {
        const PGTransactionStatusType status = PQtransactionStatus(conn_);
        if (status == PQTRANS_INTRANS || status == PQTRANS_INERROR)
            PQclear(PQexec(conn_, "ROLLBACK"));
        // a lost session took its transaction with it
        inTransaction_ = false;
    }

    qint64 lastInsertKey() const override { return lastKey_; }

    Error holdInUse() override
    {
        holdsInUse_ = true;
        return takeInUse();
    }

    void releaseInUse() override
    {
        if (holdsInUse_ && PQstatus(conn_) == CONNECTION_OK)
            execute(QStringLiteral("SELECT pg_catalog.pg_advisory_unlock_shared(?::bigint)"), {inUseKey()}, nullptr);
        holdsInUse_ = false;
    }

    Error tryExclusiveUse(bool &acquired) override
    {
        acquired = false;
        if (Error e = query(QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock(?::bigint)"), {inUseKey()}, [&](const RowReader &r) {
                acquired = r.int64(0) != 0;
                return false;
            }))
            return e;
        exclusiveGeneration_ = acquired ? generation_ : 0;
        return {};
    }

    void releaseExclusiveUse() override
    {
        if (exclusiveGeneration_ != 0 && exclusiveGeneration_ == generation_)
            execute(QStringLiteral("SELECT pg_catalog.pg_advisory_unlock(?::bigint)"), {inUseKey()}, nullptr);
        exclusiveGeneration_ = 0;
    }

    std::unique_ptr<RecordLocker> recordLocker() override;

    // The lock of one row, kept in the process's registry beside the server's
    // lock: advisory locks are re-entrant within a session, and every record
    // set of the process talks to this schema through this one session.
    Error lockRecord(const QString &table, qint64 key)
    {
        const RecordKey record{tableTag(table), qint32(key)};
        if (heldRecords_.contains(record))
            return messages::recordLocked();
        bool acquired = false;
        if (Error e = query(QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock(?::integer, ?::integer)"), {record.first, record.second},
                            [&](const RowReader &r) {
                                acquired = r.int64(0) != 0;
                                return false;
                            }))
            return e;
        if (!acquired)
            return messages::recordLocked();
        heldRecords_.insert(record);
        return {};
    }

    void unlockRecord(const QString &table, qint64 key, quint64 generation)
    {
        const RecordKey record{tableTag(table), qint32(key)};
        // a lock of a former session went with it
        if (generation != generation_ || !heldRecords_.remove(record))
            return;
        execute(QStringLiteral("SELECT pg_catalog.pg_advisory_unlock(?::integer, ?::integer)"), {record.first, record.second}, nullptr);
    }

    Error recordStillHeld(quint64 generation) const
    {
        if (generation != generation_ || PQstatus(conn_) != CONNECTION_OK)
            return messages::recordLockLost(fileName_);
        return {};
    }

    Error readCatalog(QVector<StoredTable> &tables) override { return readCatalog(schema_, tables); }

    Error readCatalog(const QString &schema, QVector<StoredTable> &tables) override
    {
        tables.clear();
        QHash<QString, int> index;
        // tables in the order they were made, fields in their order
        const Error e = query(QStringLiteral("SELECT c.relname, a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod) "
                                             "FROM pg_catalog.pg_class c "
                                             "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                             "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                                             "WHERE n.nspname = ? AND c.relkind IN ('r', 'p') "
                                             "ORDER BY c.oid, a.attnum"),
                              {schema}, [&](const RowReader &r) {
                                  const QString table = r.value(0).toString();
                                  if (isInternalTable(table))
                                      return true;
                                  auto it = index.find(table);
                                  if (it == index.end()) {
                                      it = index.insert(table, int(tables.size()));
                                      tables.push_back({table, {}, {}});
                                  }
                                  const QString column = r.value(1).toString();
                                  if (column != QLatin1String(kServerKeyColumn))
                                      tables[*it].fields.push_back(fieldFromServerType(column, r.value(2).toString()));
                                  return true;
                              });
        return e;
    }

    // Other files of the data set are schemas of the same database: there is
    // nothing to attach, and the layer names them by schema (docs/server-engine.md).
    // A name that is no file of the data set is a schema's own (a rebuild's backup).
    Error openSource(const QString &fileOrPath, Source &source) override
    {
        const QString fileSchema = serverSchemaFor(fileOrPath);
        source = {fileSchema.isEmpty() ? fileOrPath : fileSchema,
                  fileSchema.isEmpty() ? fileOrPath : databaseFile(fileOrPath)->fileName};
        bool found = false;
        if (Error e = serverSchemaExists(*this, source.qualifier, found))
            return e;
        return found ? Error{} : messages::fileMissing(source.name);
    }
    void closeSource(const Source &) override {}

    Error useSchemaOf(const QString &fileName) override
    {
        const QString schema = serverSchemaFor(fileName);
        if (schema.isEmpty())
            return messages::fileMissing(fileName.toUpper());
        if (Error e = execute(QStringLiteral("SET search_path = %1").arg(quoteIdentifier(schema)), {}, nullptr))
            return e;
        // inside a write the session becomes the schema's writer, as beginWrite() makes it for its own
        if (PQtransactionStatus(conn_) == PQTRANS_INTRANS) {
            if (Error e = becomeWriterOf(schema))
                return e;
        }
        schema_ = schema;
        fileName_ = databaseFile(fileName)->fileName;
        return {};
    }

    // Identity columns never hand a key out twice; a table without one cannot
    // be kept apart row by row.
    Error ensureStableKeys(const QStringList &tables) override
    {
        QStringList keyed;
        if (Error e = query(QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c "
                                           "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                           "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
                                           "WHERE n.nspname = ? AND a.attname = ? AND a.attidentity = 'a' AND NOT a.attisdropped"),
                            {schema_, QString::fromLatin1(kServerKeyColumn)}, [&](const RowReader &r) {
                                keyed << r.value(0).toString();
                                return true;
                            }))
            return e;
        for (const QString &table : tables) {
            if (!isInternalTable(table) && !keyed.contains(table)) {
                qWarning("tvx: %s: table %s has no %s identity column", qPrintable(schema_), qPrintable(table), kServerKeyColumn);
                return messages::notExecuted(fileName_);
            }
        }
        return {};
    }

    Error insertRow(const QString &table, const QStringList &columns, const QVariantList &values, qint64 &key) override
    {
        QStringList names;
        for (const QString &c : columns)
            names << quoteIdentifier(c);
        const QString key_ = quoteIdentifier(QString::fromLatin1(kServerKeyColumn));
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(quoteIdentifier(table), key_)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                                      .arg(quoteIdentifier(table), names.join(u", "),
                                           QStringList(names.size(), QStringLiteral("?")).join(u", "), key_);
        qint64 made = -1;
        if (Error e = query(sql, values, [&](const RowReader &r) {
                made = r.int64(0);
                return false;
            }))
            return e;
        key = lastKey_ = made;
        return {};
    }

    Error insertSelect(const QString &, const QString &sql, const QVariantList &params, int *changes) override
    {
        if (PQtransactionStatus(conn_) != PQTRANS_IDLE)
            return execute(sql, params, changes);
        if (Error e = beginWrite())
            return e;
        int copied = 0;
        if (Error e = commitOrRollback(execute(sql, params, &copied)))
            return e;
        if (changes)
            *changes = copied;
        return {};
    }

private:
    using RecordKey = QPair<qint32, qint32>;

    qint64 inUseKey() const { return advisoryKey(QStringLiteral("inuse:") + schema_); }

    // One writer per schema at a time, as per file under SQLite: a guarded
    // save sees no other writer between its checks and its write. Held to the
    // end of the transaction.
    Error becomeWriterOf(const QString &schema)
    {
        return execute(QStringLiteral("SELECT pg_catalog.pg_advisory_xact_lock(?::bigint)"), {advisoryKey(QStringLiteral("write:") + schema)},
                       nullptr);
    }

    // The tag of a table in the two-number form of the record locks, a key
    // space apart from the one-number locks of the file.
    qint32 tableTag(const QString &table) const { return qint32(advisoryKey(schema_ + u'.' + foldCase(table)) & 0x7FFFFFFF); }

    // Shared, so that the maintenance program's exclusive try fails while any
    // program has the file open; a program still opens the file while the
    // maintenance program holds it, as with files.
    Error takeInUse()
    {
        return query(QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock_shared(?::bigint)"), {inUseKey()},
                     [](const RowReader &) { return false; });
    }

    // A lost session is made anew before the next statement, with nothing of
    // the former one: no transaction, no prepared statements, no locks.
    bool ensureSession()
    {
        if (PQstatus(conn_) == CONNECTION_OK)
            return true;
        PQreset(conn_);
        statements_.clear();
        heldRecords_.clear();
        ++generation_;
        if (PQstatus(conn_) != CONNECTION_OK)
            return false;
        if (Error e = setUp()) {
            qWarning("tvx: %s: the renewed session could not be set up: %s", qPrintable(schema_), qPrintable(e.message));
            return false;
        }
        if (holdsInUse_)
            takeInUse();
        return true;
    }

    Error run(const QString &sql, const QVariantList &values, const std::function<bool(const RowReader &)> *row, int *changes)
    {
        if (busy_) {
            // one result stream per session: a query from inside another's row callback cannot run
            qWarning("tvx: %s: a statement was started while another one was still reading rows", qPrintable(schema_));
            return messages::notExecuted(fileName_);
        }
        // a transaction cannot outlive its session: what belonged to it must
        // not run in a new one, on its own
        if (PQstatus(conn_) != CONNECTION_OK && (inTransaction_ || !ensureSession()))
            return messages::serverConnectionLost(fileName_);

        std::vector<Parameter> params;
        params.reserve(size_t(values.size()));
        QByteArray signature;
        for (const QVariant &v : values) {
            params.push_back(toParameter(v));
            signature += QByteArray::number(params.back().type) + ',';
        }
        std::vector<const char *> data(params.size());
        std::vector<int> lengths(params.size()), formats(params.size());
        std::vector<Oid> types(params.size());
        for (size_t i = 0; i < params.size(); ++i) {
            data[i] = params[i].null ? nullptr : params[i].data.constData();
            lengths[i] = int(params[i].data.size());
            formats[i] = params[i].binary ? 1 : 0;
            types[i] = params[i].type;
        }

        const QByteArray text = numberPlaceholders(sql).toUtf8();
        const QByteArray cacheKey = signature + '|' + text;
        QByteArray name = statements_.value(cacheKey);
        if (name.isEmpty() && statements_.size() < kStatementCacheLimit) {
            const QByteArray candidate = "tvx_s" + QByteArray::number(++statementSerial_);
            PGresult *prepared = PQprepare(conn_, candidate.constData(), text.constData(), int(params.size()), types.data());
            const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
            Error e = ok ? Error{} : resultError(prepared);
            PQclear(prepared);
            if (!ok)
                return e;
            statements_.insert(cacheKey, candidate);
            name = candidate;
        }
        const int sent = name.isEmpty()
                             ? PQsendQueryParams(conn_, text.constData(), int(params.size()), types.data(), data.data(), lengths.data(),
                                                 formats.data(), 0)
                             : PQsendQueryPrepared(conn_, name.constData(), int(params.size()), data.data(), lengths.data(),
                                                   formats.data(), 0);
        if (!sent)
            return connectionError();
        PQsetSingleRowMode(conn_);

        busy_ = true;
        bool wanted = row != nullptr;
        Error error;
        while (PGresult *r = PQgetResult(conn_)) {
            switch (PQresultStatus(r)) {
            case PGRES_SINGLE_TUPLE:
                // after the callback said enough, the rest is read and dropped
                if (wanted && !error)
                    wanted = (*row)(PgRow(r));
                break;
            case PGRES_TUPLES_OK:
            case PGRES_COMMAND_OK:
                if (changes)
                    *changes = QByteArray(PQcmdTuples(r)).toInt();
                break;
            case PGRES_EMPTY_QUERY: break;
            default:
                if (!error)
                    error = resultError(r);
                break;
            }
            PQclear(r);
        }
        busy_ = false;
        const PGTransactionStatusType status = PQtransactionStatus(conn_);
        if (status != PQTRANS_UNKNOWN)
            inTransaction_ = status != PQTRANS_IDLE;
        // a plan made before the table changed: dropped, so the next run prepares it anew
        if (error && lastState_ == "0A000" && !name.isEmpty() && statements_.contains(cacheKey)) {
            statements_.remove(cacheKey);
            PQclear(PQexec(conn_, ("DEALLOCATE " + name).constData()));
        }
        return error;
    }

    Error connectionError()
    {
        qWarning("tvx: %s: %s", qPrintable(schema_), PQerrorMessage(conn_));
        lastState_ = "08006";
        return messages::serverConnectionLost(fileName_);
    }

    // The server's result as the user reads it, per SQLSTATE; its own
    // (English) text only goes to the log.
    Error resultError(const PGresult *r)
    {
        const char *stateText = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        if (!stateText || PQstatus(conn_) != CONNECTION_OK)
            return connectionError();
        const QByteArray state(stateText);
        lastState_ = state;
        const QString primary = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
        const QString column = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_COLUMN_NAME));
        const QByteArray cls = state.left(2);
        const bool waitedForLock = state == "55P03" || state == "40001" || state == "40P01";
        if (!waitedForLock)
            qWarning("tvx: %s: PostgreSQL %s: %s", qPrintable(schema_), state.constData(), qPrintable(primary));
        using messages::Rule;
        if (waitedForLock)
            return messages::busy(fileName_);
        if (cls == "08" || state == "57P01" || state == "57P02" || state == "57P03")
            return messages::serverConnectionLost(fileName_);
        if (cls == "28" || state == "3D000")
            return messages::serverUnreachable(fileName_);
        if (state == "3F000")
            return messages::fileMissing(fileName_.toUpper());
        const QStringList names = quotedNames(primary);
        if (state == "42P01")
            return messages::noSuchTable(names.value(0), fileName_);
        if (state == "42703")
            return messages::noSuchField(names.value(1), names.value(0));
        if (state == "2201B")
            return {ErrorCode::BadStatement, QStringLiteral("Hibás LIKE minta.")};
        if (state == "23502")
            return messages::ruleBroken(fileName_, column, Rule::NotNull);
        if (state == "23505")
            return messages::ruleBroken(fileName_, column, Rule::Unique);
        if (state == "23514")
            return messages::ruleBroken(fileName_, column, Rule::Check);
        if (state == "22001" || state == "22003" || state == "22007" || state == "22008" || state == "22P02")
            return messages::ruleBroken(fileName_, column, Rule::Check);
        if (state == "25006" || state == "42501")
            return messages::readOnly(fileName_);
        if (state == "53100")
            return messages::diskFull(fileName_);
        if (state == "53200")
            return messages::outOfMemory(fileName_);
        if (state == "XX001" || state == "XX002")
            return messages::damaged(fileName_);
        if (cls == "42" || cls == "25" || state == "0A000")
            return messages::notExecuted(fileName_);
        return messages::ioFailure(fileName_);
    }

    PGconn *conn_;
    QString conninfo_;
    QString schema_;
    QString fileName_;
    QHash<QByteArray, QByteArray> statements_;  // parameter types and text → prepared statement
    quint64 statementSerial_ = 0;
    quint64 generation_ = 1;
    qint64 lastKey_ = 0;
    QByteArray lastState_;
    bool busy_ = false;
    bool inTransaction_ = false;
    bool holdsInUse_ = false;
    quint64 exclusiveGeneration_ = 0;
    QSet<RecordKey> heldRecords_;
};

class PgRecordLocker final : public RecordLocker {
public:
    explicit PgRecordLocker(PgConnection &connection) : connection_(connection) {}
    ~PgRecordLocker() override { PgRecordLocker::unlock(); }

    Error lock(const QString &table, qint64 key) override
    {
        unlock();
        const quint64 generation = connection_.sessionGeneration();
        if (Error e = connection_.lockRecord(table, key))
            return e;
        // a statement may have made the session anew before the lock was taken
        generation_ = connection_.sessionGeneration();
        if (generation_ != generation) {
            connection_.unlockRecord(table, key, generation_);
            return messages::serverConnectionLost(connection_.filePath());
        }
        table_ = table;
        key_ = key;
        return {};
    }

    void unlock() override
    {
        if (key_ < 0)
            return;
        connection_.unlockRecord(table_, key_, generation_);
        key_ = -1;
    }

    Error stillHeld() const override { return key_ < 0 ? Error{} : connection_.recordStillHeld(generation_); }

private:
    PgConnection &connection_;
    QString table_;
    qint64 key_ = -1;
    quint64 generation_ = 0;
};

std::unique_ptr<RecordLocker> PgConnection::recordLocker() { return std::make_unique<PgRecordLocker>(*this); }

}  // namespace

QString serverSchemaFor(const QString &fileName)
{
    const DatabaseFileDef *file = databaseFile(fileName);
    if (!file)
        return {};
    QString base = file->fileName;
    base.chop(4);  // ".tvd"
    return base.toLower();
}

std::unique_ptr<ServerConnection> openServer(const QString &conninfo, const QString &fileName, Error &error)
{
    const QString schema = serverSchemaFor(fileName);
    if (schema.isEmpty() && !fileName.isEmpty()) {
        error = messages::fileMissing(fileName.toUpper());
        return nullptr;
    }
    const QString shownName = fileName.isEmpty() ? QStringLiteral("Tarvix") : databaseFile(fileName)->fileName;
    // A workstation gives up on an unreachable server within seconds rather
    // than the system's minutes, and notices a server that went away; the
    // office's connection string (expanded last) wins over each of these.
    const QByteArray text = conninfo.toUtf8();
    const char *keywords[] = {"connect_timeout", "keepalives_idle", "keepalives_interval", "keepalives_count", "dbname", nullptr};
    const char *values[] = {"10", "60", "10", "6", text.constData(), nullptr};
    PGconn *conn = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        qWarning("tvx: %s: %s", qPrintable(shownName), PQerrorMessage(conn));
        PQfinish(conn);
        error = messages::serverUnreachable(shownName);
        return nullptr;
    }
    auto connection = std::make_unique<PgConnection>(conn, conninfo, schema, shownName);
    if ((error = connection->setUp()))
        return nullptr;
    return connection;
}

QStringList serverCreateStatements(const DatabaseFileDef &file) { return serverCreateStatements(file, serverSchemaFor(file.fileName)); }

QStringList serverCreateStatements(const DatabaseFileDef &file, const QString &schemaName)
{
    const QString schema = quoteIdentifier(schemaName);
    QStringList statements{QStringLiteral("CREATE SCHEMA %1").arg(schema)};
    for (const TableDef &table : file.tables) {
        QStringList columns;
        for (const FieldDef &field : table.fields)
            columns << quoteIdentifier(field.name) + u' ' + serverType(field);
        columns << quoteIdentifier(QString::fromLatin1(kServerKeyColumn)) + QStringLiteral(" integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
        statements << QStringLiteral("CREATE TABLE %1.%2 (%3)").arg(schema, quoteIdentifier(table.name), columns.join(u", "));
    }
    return statements;
}

Error serverSchemaExists(Connection &connection, const QString &schema, bool &exists)
{
    exists = false;
    return connection.query(QStringLiteral("SELECT 1 FROM pg_catalog.pg_namespace WHERE nspname = ?"), {schema}, [&](const RowReader &) {
        exists = true;
        return false;
    });
}

Error serverFileInUse(const QString &conninfo, const QString &fileName, bool &inUse)
{
    inUse = false;
    Error error;
    auto probe = openServer(conninfo, fileName, error);
    if (!probe)
        return error;
    bool acquired = false;
    if ((error = probe->tryExclusiveUse(acquired)))
        return error;
    inUse = !acquired;
    probe->releaseExclusiveUse();
    return {};
}

}  // namespace tvx::data
