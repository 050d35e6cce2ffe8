#include "common/datagrid.h"

#include "data/datasource.h"
#include "common/headersort.h"

#include <QHash>
#include <QHeaderView>

namespace tvx {

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(16);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    // a caption wider than its column shows its beginning, as the cells do
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWordWrap(false);

    connect(this, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && moveToRow(index.row()))
            Q_EMIT rowClicked(index.row());
    });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && moveToRow(index.row()))
            Q_EMIT rowDoubleClicked(index.row());
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (sortable_ && !sortByColumn(column))
            Q_EMIT sortFailed();
    });
}

void DataGrid::setDataSource(data::DataSource *source, const QList<GridColumn> &columns)
{
    delete model_;
    model_ = new RecordsetModel(source, columns, this);
    setModel(model_);
    connect(source, &data::DataSource::currentChanged, this, &DataGrid::markCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::markCurrent);
    markCurrent();
}

data::DataSource *DataGrid::dataSource() const { return model_ ? model_->dataSource() : nullptr; }

int &DataGrid::sortClicks()
{
    static QHash<QString, int> counters;
    const QString key = (window() ? window()->objectName() : QString()) + u'/' + objectName();
    return counters[key];
}

bool DataGrid::sortByColumn(int column)
{
    auto *ds = dataSource();
    if (!ds || column < 0 || column >= model_->columns().size())
        return false;
    return sortByHeaderClick(*ds, model_->columns()[column].field, sortClicks());
}

bool DataGrid::moveToRow(int row)
{
    auto *ds = dataSource();
    if (!ds)
        return false;
    if (ds->moveTo(row))
        return true;
    markCurrent();
    Q_EMIT moveFailed(ds->lastError());
    return false;
}

void DataGrid::markCurrent()
{
    auto *ds = dataSource();
    const int row = ds ? ds->absolutePosition() : -1;
    if (row < 0) {
        clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, qMax(0, currentIndex().column()));
    if (!selectionModel()->isRowSelected(row, {}))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

}  // namespace tvx
