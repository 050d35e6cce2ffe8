#include "common/recordsetmodel.h"

#include "data/datasource.h"
#include "common/funcs.h"

namespace tvx {

RecordsetModel::RecordsetModel(data::DataSource *source, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), source_(source), columns_(std::move(columns))
{
    connect(source_, &data::DataSource::recordsetChanged, this, &RecordsetModel::reset);
    connect(source_, &data::DataSource::rowsReset, this, &RecordsetModel::reset);
    connect(source_, &data::DataSource::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        rows_ = source_->recordCount();
        endInsertRows();
    });
    connect(source_, &data::DataSource::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        rows_ = source_->recordCount();
        endRemoveRows();
    });
    connect(source_, &data::DataSource::rowChanged, this,
            [this](int row) { Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(source_, &data::DataSource::editModeChanged, this, [this] {
        const int row = source_->absolutePosition();
        if (row >= 0)
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    reset();
}

void RecordsetModel::reset()
{
    beginResetModel();
    rows_ = source_ ? source_->recordCount() : 0;
    positions_.clear();
    endResetModel();
}

int RecordsetModel::fieldPosition(int column) const
{
    if (positions_.size() != columns_.size()) {
        auto *self = const_cast<RecordsetModel *>(this);
        self->positions_.clear();
        const auto rs = source_ ? source_->recordset() : nullptr;
        for (const GridColumn &c : columns_)
            self->positions_ << (rs ? rs->fieldIndex(c.field) : -1);
    }
    return positions_.value(column, -1);
}

int RecordsetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows_; }

int RecordsetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !source_ || !source_->recordset() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const int position = fieldPosition(index.column());
    if (position < 0)
        return {};
    return Funcs::NullToEmpty(source_->recordset()->valueAt(index.row(), position));
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columns_.value(section).caption;
    return {};
}

}  // namespace tvx
