#pragma once

#include "data/error.h"

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
    // Puts a screen's own buttons over the bar's arrows (first, previous,
    // next, last): they take the arrows' places and the screen decides what
    // they do.
    void coverArrows(QWidget *first, QWidget *previous, QWidget *next, QWidget *last);

Q_SIGNALS:
    // A move failed (the record left could not be saved); nothing moved.
    void moveFailed(const tvx::data::Error &error);

private:
    data::DataSource *source_ = nullptr;
    QLabel *caption_;
    QList<QToolButton *> arrows_;
};

}  // namespace tvx
