#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace tvx {

namespace data {
class DataSource;
}

// The navigator bar of a data source: first, previous, the caption, next, last.
class DataNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DataNavigator(QWidget *parent = nullptr);
    void setDataSource(data::DataSource *source);
    void setCaption(const QString &caption);
    QString caption() const;

private:
    data::DataSource *source_ = nullptr;
    QLabel *caption_;
};

}  // namespace tvx
