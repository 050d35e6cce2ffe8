#include "data/recordset.h"

#include "data/collation.h"
#include "data/messages.h"
#include "data/names.h"
#include "data/recordlock.h"
#include "data/values.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace tvx::data {

namespace {
constexpr int kRowCacheLimit = 4000;

quint64 nextRecordsetId()
{
    static quint64 last = 0;
    return ++last;
}
}  // namespace

Recordset::Recordset(std::shared_ptr<Database> database, const TableInfo &table, QVector<int> columns, jet::Select statement,
                     QString source)
    : id_(nextRecordsetId()),
      database_(std::move(database)),
      table_(table),
      columns_(std::move(columns)),
      statement_(std::move(statement)),
      source_(std::move(source)),
      locks_(database_->recordLocker())
{
    table_.index();
    selectSql_ = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                     .arg(columnList(columns_, table_), quoteIdentifier(table_.name), database_->connection().dialect().keyColumn());
    current_.resize(columns_.size());
    pending_.resize(columns_.size());
    changed_.fill(false, columns_.size());
}

Recordset::~Recordset()
{
    releaseLock();
}

bool Recordset::fail(Error error) const
{
    error_ = std::move(error);
    return false;
}

bool Recordset::succeed() const
{
    error_ = {};
    return true;
}

bool Recordset::ensureOpen() const
{
    if (open_)
        return true;
    return fail(messages::closed());
}

int Recordset::fieldIndex(const QString &name) const
{
    const int tableIndex = table_.indexOf(name);
    return tableIndex < 0 ? -1 : int(columns_.indexOf(tableIndex));
}

QString Recordset::fieldName(int position) const
{
    return position >= 0 && position < columns_.size() ? table_.fields[columns_[position]].name : QString();
}

FieldDef Recordset::field(int position) const
{
    return position >= 0 && position < columns_.size() ? table_.fields[columns_[position]] : FieldDef{};
}

int Recordset::recordCount() const { return open_ ? int(keys_.size()) : 0; }

bool Recordset::bof() const { return !open_ || keys_.empty() || pos_ < 0; }

bool Recordset::eof() const { return !open_ || keys_.empty() || pos_ >= qsizetype(keys_.size()); }

bool Recordset::hasCurrent() const { return open_ && !currentDeleted_ && pos_ >= 0 && pos_ < qsizetype(keys_.size()); }

int Recordset::absolutePosition() const { return hasCurrent() ? int(pos_) : -1; }

bool Recordset::hasPendingChanges() const
{
    return mode_ != EditMode::None && std::any_of(changed_.begin(), changed_.end(), [](bool c) { return c; });
}

void Recordset::setMode(EditMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    if (mode == EditMode::None) {
        pending_.fill(QVariant());
        changed_.fill(false);
    }
    emit editModeChanged();
}

bool Recordset::readRow(qint64 key, QVector<QVariant> &values, bool &exists) const
{
    exists = false;
    QVector<QVariant> read(columns_.size());
    const Error e = database_->connection().query(selectSql_, {key}, [&](const RowReader &r) {
        exists = true;
        for (int i = 0; i < columns_.size(); ++i)
            read[i] = fromStorage(table_.fields[columns_[i]], r.value(i));
        return false;
    });
    if (e)
        return fail(e);
    if (rowCache_.size() > kRowCacheLimit)
        rowCache_.clear();
    if (exists)
        rowCache_.insert(key, read);
    else
        rowCache_.remove(key);
    values = std::move(read);
    return true;
}

// Reads the current record again; on failure the values shown stay.
bool Recordset::loadCurrent()
{
    if (!hasCurrent()) {
        current_.fill(QVariant(), columns_.size());
        return true;
    }
    QVector<QVariant> values;
    bool exists = false;
    if (!readRow(keys_[size_t(pos_)], values, exists))
        return false;
    if (exists)
        current_ = std::move(values);
    return true;
}

size_t Recordset::indexOfKey(qint64 key, size_t from) const
{
    from = std::min(from, keys_.size());
    if (keysAscending_) {
        const auto it = std::lower_bound(keys_.begin() + qsizetype(from), keys_.end(), key);
        return it != keys_.end() && *it == key ? size_t(it - keys_.begin()) : keys_.size();
    }
    return size_t(std::find(keys_.begin() + qsizetype(from), keys_.end(), key) - keys_.begin());
}

void Recordset::dropKey(qsizetype index)
{
    rowCache_.remove(keys_[size_t(index)]);
    keys_.erase(keys_.begin() + index);
    if (index < pos_)
        --pos_;
    emit rowRemoved(int(index));
}

// The current record's row is gone from the file: it leaves the record set
// the way a record deleted here does.
void Recordset::currentWasDeleted()
{
    releaseLock();
    setMode(EditMode::None);
    currentDeleted_ = true;
    current_.fill(QVariant(), columns_.size());
    dropKey(pos_);  // pos_ now names the record after it
    emit currentChanged();
}

// Makes the record at `position` current, or -1 / size for before the first /
// after the last. The row is read before anything changes, so a failed read
// leaves the position and the values as they were.
bool Recordset::go(qsizetype position, Gone gone)
{
    position = std::clamp<qsizetype>(position, -1, qsizetype(keys_.size()));
    QVector<QVariant> values(columns_.size());
    while (position >= 0 && position < qsizetype(keys_.size())) {
        bool exists = false;
        if (!readRow(keys_[size_t(position)], values, exists))
            return false;
        if (exists)
            break;
        dropKey(position);
        if (gone == Gone::Fail)
            return fail(messages::recordDeleted());
        // the next record now stands at `position`, the previous one before it
        if (gone == Gone::SkipBackward)
            --position;
        position = std::clamp<qsizetype>(position, -1, qsizetype(keys_.size()));
        if (position < 0 || position >= qsizetype(keys_.size()))
            values.fill(QVariant(), columns_.size());
    }
    pos_ = position;
    currentDeleted_ = false;
    current_ = std::move(values);
    emit currentChanged();
    return succeed();
}

bool Recordset::flushPending()
{
    switch (mode_) {
    case EditMode::None: return true;
    case EditMode::Edit:
        if (hasPendingChanges())
            return update();
        releaseLock();
        setMode(EditMode::None);
        return true;
    case EditMode::AddNew:
        if (hasPendingChanges())
            return update();
        cancelUpdate();  // an untouched new record is not written
        return true;
    }
    return true;
}

bool Recordset::writePending()
{
    if (!ensureOpen())
        return false;
    return flushPending() ? succeed() : false;
}

// The first and the last record are whichever exist now: records deleted
// elsewhere are passed over. A step to the next or previous record that finds
// it deleted is refused once, as the record the user stepped onto is gone.
bool Recordset::moveFirst()
{
    if (!ensureOpen() || !flushPending())
        return false;
    if (keys_.empty())
        return fail(messages::noCurrentRecord());
    return go(0, Gone::SkipForward);
}

bool Recordset::moveLast()
{
    if (!ensureOpen() || !flushPending())
        return false;
    if (keys_.empty())
        return fail(messages::noCurrentRecord());
    return go(qsizetype(keys_.size()) - 1, Gone::SkipBackward);
}

bool Recordset::moveNext()
{
    if (!ensureOpen() || !flushPending())
        return false;
    if (eof())
        return fail(messages::noCurrentRecord());
    return go(currentDeleted_ ? pos_ : pos_ + 1);
}

bool Recordset::movePrevious()
{
    if (!ensureOpen() || !flushPending())
        return false;
    if (bof())
        return fail(messages::noCurrentRecord());
    return go(pos_ - 1);
}

bool Recordset::moveTo(int row)
{
    if (!ensureOpen())
        return false;
    if (row < 0 || row >= int(keys_.size()))
        return fail(messages::noCurrentRecord());
    if (row == pos_ && hasCurrent())
        return succeed();
    if (!flushPending())
        return false;
    return go(row);
}

bool Recordset::addNew()
{
    if (!ensureOpen() || !flushPending())
        return false;
    beforeAdd_ = bookmark();
    pending_.fill(QVariant());
    changed_.fill(false);
    setMode(EditMode::AddNew);
    emit currentChanged();
    return succeed();
}

bool Recordset::lockCurrent()
{
    if (Error e = locks_->lock(table_.name, keys_[size_t(pos_)]))
        return fail(e);
    locked_ = true;
    return true;
}

void Recordset::releaseLock()
{
    if (locked_) {
        locks_->unlock();
        locked_ = false;
    }
}

bool Recordset::edit()
{
    if (!ensureOpen())
        return false;
    if (mode_ == EditMode::Edit)
        return succeed();
    if (!flushPending())
        return false;
    if (!hasCurrent())
        return fail(messages::noCurrentRecord());
    if (!lockCurrent())
        return false;
    // read it again under the lock: another program may have changed it
    QVector<QVariant> values;
    bool exists = false;
    if (!readRow(keys_[size_t(pos_)], values, exists)) {
        releaseLock();
        return false;
    }
    if (!exists) {
        currentWasDeleted();
        return fail(messages::recordDeleted());
    }
    current_ = std::move(values);
    setMode(EditMode::Edit);
    emit currentChanged();
    return succeed();
}

bool Recordset::update() { return update(WriteGuard{}); }

Error WriteCheck::highest(const QString &field, QVariant &value, const QString &criteria)
{
    value = QVariant();
    const Recordset &rs = recordset_;
    const int column = rs.table_.indexOf(field);
    if (column < 0)
        return messages::noSuchField(rs.table_.name, field);
    const Dialect &dialect = rs.database_->connection().dialect();
    QString where = dialect.alwaysTrue();
    QVariantList params;
    if (!criteria.isEmpty()) {
        const auto parsed = jet::parseCriteria(criteria);
        if (!parsed)
            return parsed.error;
        const SqlText clause = whereClause(*parsed.value, rs.table_, dialect);
        if (clause.error)
            return clause.error;
        where = clause.sql;
        params = clause.params;
    }
    const FieldDef &def = rs.table_.fields[column];
    return rs.database_->connection().query(
        QStringLiteral("SELECT MAX(%1) FROM %2 WHERE %3").arg(quoteIdentifier(def.name), quoteIdentifier(rs.table_.name), where),
        params, [&](const RowReader &r) {
            value = fromStorage(def, r.value(0));
            return false;
        });
}

Error WriteCheck::exists(const QString &criteria, bool &found) { return recordset_.storedRowExists(criteria, found); }

WriteGuard onlyIntoEmptyTable()
{
    return [](WriteCheck &check) {
        bool rows = false;
        if (Error e = check.exists(QString(), rows))
            return e;
        return rows ? Error{ErrorCode::Refused, QString()} : Error{};
    };
}

Error Recordset::storedRowExists(const QString &criteria, bool &found) const
{
    found = false;
    const Dialect &dialect = database_->connection().dialect();
    SqlText clause;
    clause.sql = dialect.alwaysTrue();
    if (!criteria.isEmpty()) {
        const auto parsed = jet::parseCriteria(criteria);
        if (!parsed)
            return parsed.error;
        clause = whereClause(*parsed.value, table_, dialect);
        if (clause.error)
            return clause.error;
    }
    return database_->connection().query(
        QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1").arg(quoteIdentifier(table_.name), clause.sql), clause.params,
        [&](const RowReader &) {
            found = true;
            return false;
        });
}

bool Recordset::existsInTable(const QString &criteria, bool &found)
{
    if (!ensureOpen())
        return false;
    if (Error e = storedRowExists(criteria, found))
        return fail(e);
    return succeed();
}

bool Recordset::storedValues(QVector<QVariant> &values)
{
    if (!ensureOpen())
        return false;
    if (!hasCurrent())
        return fail(messages::noCurrentRecord());
    bool exists = false;
    QVector<QVariant> read;
    if (!readRow(keys_[size_t(pos_)], read, exists))
        return false;
    if (!exists) {
        currentWasDeleted();
        return fail(messages::recordDeleted());
    }
    values = std::move(read);
    return succeed();
}

Error WriteCheck::setValue(const QString &field, const QVariant &value)
{
    Recordset &rs = recordset_;
    const int i = rs.fieldIndex(field);
    if (i < 0)
        return messages::noSuchField(rs.table_.name, field);
    rs.pending_[i] = value;
    rs.changed_[i] = true;
    return {};
}

bool Recordset::update(const WriteGuard &guard)
{
    if (!ensureOpen())
        return false;
    if (mode_ == EditMode::None)
        return fail(messages::noEditInProgress());

    Connection &conn = database_->connection();
    const bool guarded = bool(guard);
    if (guarded) {
        if (Error e = conn.beginWrite())
            return fail(e);
        WriteCheck check(*this);
        if (Error e = guard(check)) {
            conn.rollback();
            return fail(e);
        }
    }

    QStringList columns;
    QVariantList params;
    for (int i = 0; i < columns_.size(); ++i) {
        if (!changed_[i])
            continue;
        const StoredValue stored = toStorage(table_.fields[columns_[i]], pending_[i]);
        if (stored.error) {
            if (guarded)
                conn.rollback();
            return fail(stored.error);
        }
        columns << table_.fields[columns_[i]].name;
        params << stored.value;
    }

    if (mode_ == EditMode::AddNew) {
        if (!guarded)
            if (Error e = conn.beginWrite())
                return fail(e);
        qint64 key = -1;
        if (Error e = conn.insertRow(table_.name, columns, params, key)) {
            conn.rollback();
            return fail(e);
        }
        if (Error e = conn.commit())
            return fail(e);
        if (!keys_.empty() && key <= keys_.back())
            keysAscending_ = false;
        keys_.push_back(key);
        setMode(EditMode::None);
        emit rowInserted(int(keys_.size()) - 1);
        // like a dynaset: the record that was current before the new one stays current
        qsizetype target = qsizetype(keys_.size()) - 1;
        if (beforeAdd_.isValid()) {
            const size_t at = indexOfKey(beforeAdd_.key);
            if (at < keys_.size())
                target = qsizetype(at);
        }
        // The row is saved: that is what the caller learns. Should the former
        // record not read back now, it stays shown as it was.
        go(target, Gone::SkipForward);
        return succeed();
    }

    // EditMode::Edit
    const qint64 key = keys_[size_t(pos_)];
    if (!columns.isEmpty()) {
        QStringList assignments;
        for (const QString &c : columns)
            assignments << quoteIdentifier(c) + QStringLiteral(" = ?");
        params << key;
        if (!guarded)
            if (Error e = conn.beginWrite())
                return fail(e);
        // the lock must have held from edit() to here, or another may have written meanwhile
        if (Error e = locks_->stillHeld()) {
            conn.rollback();
            return fail(e);
        }
        int changes = 0;
        if (Error e = conn.execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                       .arg(quoteIdentifier(table_.name), assignments.join(u", "), conn.dialect().keyColumn()),
                                   params, &changes)) {
            conn.rollback();
            return fail(e);
        }
        if (changes == 0) {
            // deleted meanwhile: the changes have no record left to go to
            conn.rollback();
            currentWasDeleted();
            return fail(messages::recordDeleted());
        }
        if (Error e = conn.commit())
            return fail(e);
    } else if (guarded) {
        conn.rollback();  // nothing to write
    }
    releaseLock();
    setMode(EditMode::None);
    rowCache_.remove(key);
    loadCurrent();
    emit rowChanged(int(pos_));
    emit currentChanged();
    return succeed();
}

void Recordset::cancelUpdate()
{
    if (mode_ == EditMode::None)
        return;
    releaseLock();
    setMode(EditMode::None);
    loadCurrent();
    emit currentChanged();
}

bool Recordset::deleteCurrent()
{
    if (!ensureOpen())
        return false;
    if (mode_ == EditMode::AddNew)
        cancelUpdate();
    if (!hasCurrent())
        return fail(messages::noCurrentRecord());
    if (!locked_ && !lockCurrent())
        return false;
    Connection &conn = database_->connection();
    const qint64 key = keys_[size_t(pos_)];
    int changes = 0;
    Error e = conn.beginWrite();
    if (!e)
        e = locks_->stillHeld();
    if (!e)
        e = conn.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoteIdentifier(table_.name), conn.dialect().keyColumn()), {key},
                         &changes);
    if (!e)
        e = conn.commit();
    else
        conn.rollback();
    if (e) {
        releaseLock();
        setMode(EditMode::None);
        return fail(e);
    }
    currentWasDeleted();
    // nothing was there to delete: another program had deleted it first
    return changes == 0 ? fail(messages::recordDeleted()) : succeed();
}

QVariant Recordset::shownValue(int position) const
{
    if (!open_ || position < 0 || position >= columns_.size())
        return {};
    if (mode_ != EditMode::None && changed_[position])
        return pending_[position];
    if (mode_ == EditMode::AddNew || !hasCurrent())
        return {};
    return current_[position];
}

QVariant Recordset::value(int position) const
{
    if (position < 0 || position >= columns_.size()) {
        fail(messages::noSuchPosition(table_.name, position));
        return {};
    }
    if (!ensureOpen())
        return {};
    if (mode_ != EditMode::AddNew && !hasCurrent() && !(mode_ != EditMode::None && changed_[position])) {
        fail(messages::noCurrentRecord());
        return {};
    }
    succeed();
    return shownValue(position);
}

QVariant Recordset::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0) {
        fail(messages::noSuchField(table_.name, name));
        return {};
    }
    return value(i);
}

bool Recordset::setValue(int position, const QVariant &value)
{
    if (!ensureOpen())
        return false;
    if (position < 0 || position >= columns_.size())
        return fail(messages::noSuchPosition(table_.name, position));
    if (mode_ == EditMode::None && !edit())
        return false;
    pending_[position] = value;
    changed_[position] = true;
    if (mode_ == EditMode::Edit && hasCurrent())
        emit rowChanged(int(pos_));  // grids show what is being typed
    return succeed();
}

bool Recordset::setValue(const QString &name, const QVariant &value)
{
    const int i = fieldIndex(name);
    if (i < 0)
        return fail(messages::noSuchField(table_.name, name));
    return setValue(i, value);
}

bool Recordset::findFirst(const QString &criteria) { return find(criteria, 0); }

bool Recordset::findNext(const QString &criteria)
{
    // after a delete, pos_ already is the record after the deleted one
    return find(criteria, currentDeleted_ ? pos_ : pos_ + 1);
}

bool Recordset::find(const QString &criteria, qsizetype from)
{
    if (!ensureOpen())
        return false;
    const auto parsed = jet::parseCriteria(criteria);
    if (!parsed)
        return fail(parsed.error);
    Connection &conn = database_->connection();
    const SqlText where = whereClause(*parsed.value, table_, conn.dialect());
    if (where.error)
        return fail(where.error);
    if (!flushPending())
        return false;

    std::vector<qint64> matches;
    const Error e = conn.query(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(conn.dialect().keyColumn(), quoteIdentifier(table_.name), where.sql), where.params,
        [&](const RowReader &r) {
            matches.push_back(r.int64(0));
            return true;
        });
    if (e)
        return fail(e);
    const size_t start = size_t(std::max<qsizetype>(from, 0));
    size_t found = keys_.size();
    if (keysAscending_) {
        // each match's place by halving, rather than every key of the set asked in turn
        for (const qint64 key : matches)
            found = std::min(found, indexOfKey(key, start));
    } else if (!matches.empty()) {
        const std::unordered_set<qint64> matching(matches.begin(), matches.end());
        for (size_t i = start; i < keys_.size() && found == keys_.size(); ++i) {
            if (matching.count(keys_[i]))
                found = i;
        }
    }
    if (found < keys_.size()) {
        if (!go(qsizetype(found)))
            return false;
        noMatch_ = false;
        return true;
    }
    noMatch_ = true;
    return succeed();
}

Bookmark Recordset::bookmark() const
{
    return hasCurrent() ? Bookmark{id_, keys_[size_t(pos_)]} : Bookmark{};
}

bool Recordset::setBookmark(const Bookmark &bookmark)
{
    if (!ensureOpen())
        return false;
    if (!bookmark.isValid())
        return fail(messages::noCurrentRecord());
    if (bookmark.owner != id_)
        return fail(messages::foreignBookmark());
    if (!flushPending())
        return false;
    const size_t at = indexOfKey(bookmark.key);
    if (at == keys_.size())
        return fail(messages::recordDeleted());
    return go(qsizetype(at));
}

std::shared_ptr<Recordset> Recordset::openRecordset(Error &error)
{
    if (!ensureOpen() || !flushPending()) {
        error = error_;
        return nullptr;
    }
    jet::Select statement = statement_;
    if (!sort_.trimmed().isEmpty()) {
        const auto order = jet::parseSortText(sort_);
        if (!order) {
            error = order.error;
            return nullptr;
        }
        statement.orderBy = *order.value;
    }
    auto rs = std::make_shared<Recordset>(database_, table_, columns_, statement, source_);
    if (!rs->requery()) {
        error = rs->lastError();
        return nullptr;
    }
    error = {};
    return rs;
}

namespace {

// One sort item of a row as bytes whose memcmp order is the list order: nulls
// first, numbers by value, text in Hungarian order, dates and times as
// written. A descending item has its bytes inverted.
void appendOrderKey(const FieldDef &field, const QVariant &value, bool descending, std::string &key)
{
    const size_t start = key.size();
    if (value.isNull() || !value.isValid()) {
        key.push_back('\x01');
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double) {
        key.push_back('\x02');
        const double d = value.toDouble();
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        bits = (bits & 0x8000000000000000ULL) ? ~bits : (bits | 0x8000000000000000ULL);
        for (int shift = 56; shift >= 0; shift -= 8)
            key.push_back(char((bits >> shift) & 0xFF));
    } else if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        key.push_back('\x03');
        appendSortKey(value.toString(), key);
    } else {
        key.push_back('\x03');
        const QByteArray bytes = value.toString().toUtf8();
        key.append(bytes.constData(), size_t(bytes.size()));
        key.push_back('\0');
    }
    if (descending) {
        for (size_t i = start; i < key.size(); ++i)
            key[i] = char(~static_cast<unsigned char>(key[i]));
    }
}

}  // namespace

bool Recordset::requery()
{
    if (open_ && !flushPending())
        return false;
    const Dialect &dialect = database_->connection().dialect();
    const SqlText where = whereClause(statement_.where, table_, dialect);
    if (where.error)
        return fail(where.error);
    QVector<int> orderColumns;
    for (const auto &item : statement_.orderBy) {
        const int index = table_.indexOf(item.field);
        if (index < 0)
            return fail(messages::noSuchField(table_.name, item.field));
        orderColumns << index;
    }
    QString sql = QStringLiteral("SELECT ") + dialect.keyColumn();
    for (const int c : orderColumns)
        sql += QStringLiteral(", ") + quoteIdentifier(table_.fields[c].name);
    sql += QStringLiteral(" FROM ") + quoteIdentifier(table_.name);
    if (!where.sql.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.sql;
    if (orderColumns.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + dialect.keyColumn();

    std::vector<qint64> keys;
    // Sorted here rather than by the engine, so every engine gives the same
    // Hungarian order: all keys in one buffer, rows sorted by their key bytes.
    struct Sortable {
        size_t offset, length;
        qint64 key;
    };
    std::string arena;
    std::vector<Sortable> rows;
    const Error e = database_->connection().query(sql, where.params, [&](const RowReader &r) {
        if (orderColumns.isEmpty()) {
            keys.push_back(r.int64(0));
            return true;
        }
        const size_t offset = arena.size();
        for (int i = 0; i < orderColumns.size(); ++i)
            appendOrderKey(table_.fields[orderColumns[i]], r.value(i + 1), statement_.orderBy[i].descending, arena);
        rows.push_back({offset, arena.size() - offset, r.int64(0)});
        return true;
    });
    if (e)
        return fail(e);
    if (!orderColumns.isEmpty()) {
        const char *base = arena.data();
        std::sort(rows.begin(), rows.end(), [base](const Sortable &a, const Sortable &b) {
            const int c = std::memcmp(base + a.offset, base + b.offset, std::min(a.length, b.length));
            if (c != 0)
                return c < 0;
            if (a.length != b.length)
                return a.length < b.length;
            return a.key < b.key;
        });
        keys.reserve(rows.size());
        for (const Sortable &row : rows)
            keys.push_back(row.key);
    }
    releaseLock();
    keys_ = std::move(keys);
    keysAscending_ = orderColumns.isEmpty();
    rowCache_.clear();
    open_ = true;
    noMatch_ = false;
    pos_ = -1;
    currentDeleted_ = false;
    setMode(EditMode::None);
    emit rowsReset();
    // a row deleted since the keys were read is left out
    return go(keys_.empty() ? -1 : 0, Gone::SkipForward);
}

bool Recordset::close()
{
    if (!open_)
        return succeed();
    if (!flushPending())
        return false;
    releaseLock();
    open_ = false;
    keys_.clear();
    keys_.shrink_to_fit();
    rowCache_.clear();
    pos_ = -1;
    emit rowsReset();
    emit currentChanged();
    return succeed();
}

QVariant Recordset::valueAt(int row, int position) const
{
    if (!open_ || row < 0 || row >= int(keys_.size()) || position < 0 || position >= columns_.size())
        return {};
    if (row == pos_ && hasCurrent())
        return mode_ != EditMode::None && changed_[position] ? pending_[position] : current_[position];
    const qint64 key = keys_[size_t(row)];
    auto it = rowCache_.constFind(key);
    if (it == rowCache_.constEnd()) {
        QVector<QVariant> values;
        bool exists = false;
        const Error saved = error_;
        readRow(key, values, exists);
        error_ = saved;
        it = rowCache_.constFind(key);
        if (it == rowCache_.constEnd())
            return {};
    }
    return it.value().value(position);
}

void Recordset::dropCache() const { rowCache_.clear(); }

}  // namespace tvx::data
