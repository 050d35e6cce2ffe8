#pragma once

// Controls bound to one field of a data source: they always show that field
// of the current record (null as empty), and what the user types becomes a
// pending change of the current record.

#include "data/error.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tvx {

namespace data {
class DataSource;
}
class DataGrid;
class DataNavigator;
class DateField;
class DatePicker;

class FieldBinder : public QObject {
    Q_OBJECT
public:
    explicit FieldBinder(data::DataSource *source, QObject *parent = nullptr);

    // maxLength: the most characters the field accepts (the screen's input limit)
    void bind(QLineEdit *field, const QString &fieldName, int maxLength = -1);
    void bind(QPlainTextEdit *field, const QString &fieldName);
    void bind(QCheckBox *field, const QString &fieldName);
    void bind(QLabel *field, const QString &fieldName);
    void bind(DatePicker *field, const QString &fieldName);
    void bind(DateField *field, const QString &fieldName);  // its picker; the label follows

    // Shows the current record again in every bound control.
    void refresh();

Q_SIGNALS:
    // A typed change could not become a pending change (the record is locked,
    // there is no current record); the control keeps the text, and the data
    // source keeps the failure for the screen.
    void writeFailed(const tvx::data::Error &error);

private:
    struct Binding {
        QPointer<QWidget> widget;
        QString field;
    };
    void add(QWidget *widget, const QString &field);
    void write(QWidget *widget, const QString &field, const QVariant &value);
    void show(const Binding &binding);

    data::DataSource *source_;
    QList<Binding> bindings_;
    QWidget *writing_ = nullptr;
};

// A record that could not be left from the grid or the navigator bar, or a
// typed change that could not be written (another program holds the record):
// `report` tells the user, and what was typed stays.
void reportRefusedRecord(QObject *screen, DataGrid *grid, DataNavigator *navigator, FieldBinder *binder,
                         const std::function<void(const data::Error &)> &report);

}  // namespace tvx
