#pragma once

#include "data/recordset.h"

#include <QDir>
#include <QObject>

#include <memory>

namespace tvx::data {

// A screen's binding to one database file (a bare name in the working
// directory) and one table or SELECT statement. Every operation reports its
// outcome through its result and lastError() (cleared by one that succeeds);
// nothing throws. Views reading values to show them leave lastError() alone.
class DataSource : public QObject {
    Q_OBJECT
public:
    DataSource(QString fileName, QString recordSource, QObject *parent = nullptr, QDir directory = QDir::current());
    ~DataSource() override;

    QString fileName() const { return fileName_; }
    QString recordSource() const { return recordSource_; }
    void setRecordSource(const QString &source) { recordSource_ = source; }

    // Opens the file if needed and runs the record source anew; the current
    // record is then the first one.
    bool refresh();
    // Puts another record source in force (a filter, or the whole table again).
    // The pending changes are written first; when they cannot be, or the new
    // source cannot run, the present one stays in force with its position and
    // the failure is pending.
    bool runRecordSource(const QString &source);
    // Runs the record set's statement again, in its own order (a header sort
    // stays); the current record is then the first one. Opens it when closed.
    bool requery();
    bool isOpen() const { return recordset_ && recordset_->isOpen(); }

    std::shared_ptr<Database> database();
    std::shared_ptr<Recordset> recordset() const { return recordset_; }
    // Puts another record set in place. The pending changes of the one it
    // replaces are written first; when that fails it stays, with its changes.
    bool setRecordset(std::shared_ptr<Recordset> recordset);
    bool closeRecordset();
    // Writes the pending changes of the current record, as a move does.
    bool writePending();

    int recordCount() const;
    bool bof() const;
    bool eof() const;
    bool hasCurrent() const;
    int absolutePosition() const;
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    bool moveTo(int row);
    bool addNew();
    bool edit();
    bool update();
    // Saves with `guard` run inside the save's write transaction.
    bool update(const WriteGuard &guard);
    void cancelUpdate();
    bool deleteCurrent();
    Recordset::EditMode editMode() const;
    QVariant value(int position) const;
    QVariant value(const QString &name) const;
    // What bound controls show; reading it never touches lastError().
    QVariant shownValue(const QString &name) const;
    bool setValue(int position, const QVariant &value);
    bool setValue(const QString &name, const QVariant &value);
    bool findFirst(const QString &criteria);
    // The first matching record after the current one.
    bool findNext(const QString &criteria);
    bool noMatch() const;
    // Whether any row of the table as the file holds it now matches `criteria`
    // (find syntax; empty: any row), whatever the record source selected.
    bool existsInTable(const QString &criteria, bool &found);
    // The current record as the file holds it now, without pending changes.
    bool storedValues(QVector<QVariant> &values);
    Bookmark bookmark() const;
    bool setBookmark(const Bookmark &bookmark);
    QString sort() const;
    void setSort(const QString &sort);

    Error lastError() const;
    void clearError();

signals:
    void recordsetChanged();
    void currentChanged();
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void editModeChanged();

private:
    template <typename F>
    bool call(F &&operation);
    bool closedError() const;

    QString fileName_;
    QString recordSource_;
    QDir directory_;
    std::shared_ptr<Database> database_;
    std::shared_ptr<Recordset> recordset_;
    mutable Error error_;
    Error openError_;  // why the last opening failed, until one succeeds
};

}  // namespace tvx::data
