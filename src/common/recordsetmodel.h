#pragma once

#include <QAbstractTableModel>
#include "data/datasource.h"

#include <QPointer>

namespace tvx {

namespace data {
class DataSource;
}

struct GridColumn {
    QString caption;
    QString field;
};

// The rows of a data source for a grid. Values are read only for the rows a
// view asks for, so a grid over 100 000 records stays quick.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordsetModel(data::DataSource *source, QList<GridColumn> columns, QObject *parent = nullptr);

    data::DataSource *dataSource() const { return source_; }
    const QList<GridColumn> &columns() const { return columns_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void reset();
    int fieldPosition(int column) const;

    QPointer<data::DataSource> source_;
    QList<GridColumn> columns_;
    QList<int> positions_;
    int rows_ = 0;
};

}  // namespace tvx
