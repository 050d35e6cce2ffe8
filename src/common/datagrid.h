#pragma once

#include "common/recordsetmodel.h"

#include <QTableView>

namespace tvx {

// A grid bound to a whole data source: one row per record, the current record
// marked; a click makes a row current, a double click picks it. Sortable grids
// sort by the clicked column header.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);

    void setDataSource(data::DataSource *source, const QList<GridColumn> &columns);
    data::DataSource *dataSource() const;
    RecordsetModel *recordsetModel() const { return model_; }

    void setSortable(bool sortable) { sortable_ = sortable; }
    bool isSortable() const { return sortable_; }
    // Header click counter of this grid; it keeps counting while the program runs.
    int &sortClicks();

    // What a click on a column header does for a sortable grid.
    bool sortByColumn(int column);

Q_SIGNALS:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void sortFailed();
    // A click could not make its row current (the record left could not be
    // saved); the grid keeps marking the current record.
    void moveFailed(const tvx::data::Error &error);

private:
    void markCurrent();
    bool moveToRow(int row);

    RecordsetModel *model_ = nullptr;
    bool sortable_ = false;
};

}  // namespace tvx
