#pragma once

#include "data/database.h"
#include "data/jetsql.h"

#include <QHash>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace tvx::data {

// A record of one record set; another record set does not take it.
struct Bookmark {
    quint64 owner = 0;
    qint64 key = -1;
    bool isValid() const { return key >= 0; }
    bool operator==(const Bookmark &) const = default;
};

class Recordset;

// What a guarded save sees inside its own write transaction: every row
// committed so far, and no other writer between these reads and the save.
// Used where a check and the row it protects must not be split (the next
// identifier, a name that must stay unique).
class WriteCheck {
public:
    // The highest value of `field` over the table's rows that match `criteria`
    // (find syntax; empty: every row); null when no row has one.
    Error highest(const QString &field, QVariant &value, const QString &criteria = {});
    // Whether any row of the table matches `criteria` (find syntax; empty: any row).
    Error exists(const QString &criteria, bool &found);
    // Sets a field of the record being saved.
    Error setValue(const QString &field, const QVariant &value);

private:
    friend class Recordset;
    explicit WriteCheck(Recordset &recordset) : recordset_(recordset) {}
    Recordset &recordset_;
};

// Runs inside the save's write transaction; an error it returns refuses the
// save (nothing is written, the changes stay pending) and becomes the error.
using WriteGuard = std::function<Error(WriteCheck &)>;

// A save that goes through only while the table has no row at all (a first,
// empty record that another workstation may have made meanwhile); otherwise
// it is refused with ErrorCode::Refused and an empty message.
WriteGuard onlyIntoEmptyTable();

// A dynaset: a live keyset over the rows a statement selected. Values are read
// from the file whenever a record becomes current, so changes made by other
// data sources and programs show; rows added here stay until the next requery.
//
// Every operation reports its own outcome through its result and lastError().
// One that fails changes nothing: the position, the values and the pending
// changes stay, and currentChanged() is emitted only when something changed.
// A record deleted meanwhile (by this process or another program) is never
// shown in its place: reaching it fails with ErrorCode::RecordDeleted, and it
// leaves the record set.
class Recordset : public QObject {
    Q_OBJECT
public:
    enum class EditMode { None, Edit, AddNew };

    Recordset(std::shared_ptr<Database> database, const TableInfo &table, QVector<int> columns, jet::Select statement,
              QString source);
    ~Recordset() override;

    std::shared_ptr<Database> database() const { return database_; }
    QString source() const { return source_; }
    QString tableName() const { return table_.name; }
    bool isOpen() const { return open_; }

    // fields of the record set, in statement order
    int fieldCount() const { return int(columns_.size()); }
    int fieldIndex(const QString &name) const;  // -1 when missing
    QString fieldName(int position) const;
    FieldDef field(int position) const;

    int recordCount() const;
    bool bof() const;
    bool eof() const;
    bool hasCurrent() const;
    int absolutePosition() const;  // -1 without a current record

    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    bool moveTo(int row);

    bool addNew();
    bool edit();
    bool update();
    bool update(const WriteGuard &guard);
    void cancelUpdate();
    bool deleteCurrent();
    EditMode editMode() const { return mode_; }
    bool hasPendingChanges() const;

    QVariant value(int position) const;
    QVariant value(const QString &name) const;
    // What a bound control shows: like value(), but never touching lastError().
    QVariant shownValue(int position) const;
    bool setValue(int position, const QVariant &value);
    bool setValue(const QString &name, const QVariant &value);

    bool findFirst(const QString &criteria);
    // The first matching record after the current one.
    bool findNext(const QString &criteria);
    bool noMatch() const { return noMatch_; }

    // Whether any row of the table as the file holds it now matches `criteria`
    // (find syntax; empty: any row), whatever this record set selected.
    bool existsInTable(const QString &criteria, bool &found);
    // The current record as the file holds it now, without pending changes.
    bool storedValues(QVector<QVariant> &values);

    Bookmark bookmark() const;
    bool setBookmark(const Bookmark &bookmark);

    QString sort() const { return sort_; }
    void setSort(const QString &sort) { sort_ = sort; }
    // A new record set on the same statement, in the order of the sort text.
    // Pending changes are written first; when that fails nothing is opened.
    std::shared_ptr<Recordset> openRecordset(Error &error);

    bool requery();
    bool close();  // pending changes are written first
    // Writes the pending changes, as leaving the record does.
    bool writePending();

    // For grids: a row's value without moving (read through a small cache).
    QVariant valueAt(int row, int position) const;
    void dropCache() const;

    const Error &lastError() const { return error_; }
    void clearError() { error_ = {}; }

signals:
    void currentChanged();
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void editModeChanged();

private:
    friend class WriteCheck;
    bool fail(Error error) const;
    bool fail(ErrorCode code, const QString &message) const { return fail(Error{code, message}); }
    bool succeed() const;
    bool ensureOpen() const;
    bool flushPending();
    bool loadCurrent();
    bool readRow(qint64 key, QVector<QVariant> &values, bool &exists) const;
    Error storedRowExists(const QString &criteria, bool &found) const;
    // A record deleted by another program meanwhile: report it, or move on
    // past it in the direction of the move.
    enum class Gone { Fail, SkipForward, SkipBackward };
    bool go(qsizetype position, Gone gone = Gone::Fail);
    bool find(const QString &criteria, qsizetype from);
    void dropKey(qsizetype index);
    // Where `key` stands among the keys from `from` on; keys_.size() when absent.
    size_t indexOfKey(qint64 key, size_t from = 0) const;
    void currentWasDeleted();
    bool lockCurrent();
    void releaseLock();
    void setMode(EditMode mode);

    const quint64 id_;
    std::shared_ptr<Database> database_;
    TableInfo table_;
    QVector<int> columns_;  // table column of each field
    jet::Select statement_;
    QString source_;
    QString selectSql_;
    std::unique_ptr<RecordLocker> locks_;

    std::vector<qint64> keys_;
    // The keys stand in rising order (a record set in the table's own order,
    // where new records get higher keys): a key's place is found by halving.
    bool keysAscending_ = false;
    qsizetype pos_ = -1;
    bool currentDeleted_ = false;  // after a delete, pos_ is the record after it
    QVector<QVariant> current_;
    QVector<QVariant> pending_;
    QVector<bool> changed_;
    EditMode mode_ = EditMode::None;
    Bookmark beforeAdd_;
    bool locked_ = false;  // the current record is locked for this record set
    bool noMatch_ = false;
    bool open_ = false;
    QString sort_;
    mutable Error error_;
    mutable QHash<qint64, QVector<QVariant>> rowCache_;
};

}  // namespace tvx::data
