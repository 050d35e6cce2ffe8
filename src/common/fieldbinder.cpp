#include "common/fieldbinder.h"

#include "data/datasource.h"
#include "common/datagrid.h"
#include "common/datefield.h"
#include "common/datepicker.h"
#include "common/funcs.h"
#include "common/navigator.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tvx {

FieldBinder::FieldBinder(data::DataSource *source, QObject *parent) : QObject(parent), source_(source)
{
    connect(source_, &data::DataSource::currentChanged, this, &FieldBinder::refresh);
    connect(source_, &data::DataSource::recordsetChanged, this, &FieldBinder::refresh);
    // a value the screen itself set on the current record
    connect(source_, &data::DataSource::rowChanged, this, [this](int row) {
        if (row == source_->absolutePosition())
            refresh();
    });
}

void FieldBinder::add(QWidget *widget, const QString &field)
{
    bindings_.append({widget, field});
    show(bindings_.last());
}

void FieldBinder::bind(QLineEdit *field, const QString &fieldName, int maxLength)
{
    if (maxLength > 0)
        field->setMaxLength(maxLength);
    connect(field, &QLineEdit::textEdited, this, [this, field, fieldName](const QString &text) { write(field, fieldName, text); });
    add(field, fieldName);
}

void FieldBinder::bind(QPlainTextEdit *field, const QString &fieldName)
{
    connect(field, &QPlainTextEdit::textChanged, this, [this, field, fieldName] {
        if (!field->property("tvxShowing").toBool())
            write(field, fieldName, field->toPlainText());
    });
    add(field, fieldName);
}

void FieldBinder::bind(QCheckBox *field, const QString &fieldName)
{
    connect(field, &QCheckBox::clicked, this, [this, field, fieldName](bool checked) { write(field, fieldName, checked); });
    add(field, fieldName);
}

void FieldBinder::bind(QLabel *field, const QString &fieldName) { add(field, fieldName); }

void FieldBinder::bind(DatePicker *field, const QString &fieldName)
{
    connect(field, &DatePicker::edited, this, [this, field, fieldName](const QVariant &date) { write(field, fieldName, date); });
    add(field, fieldName);
}

void FieldBinder::bind(DateField *field, const QString &fieldName) { bind(field->picker(), fieldName); }

void FieldBinder::write(QWidget *widget, const QString &field, const QVariant &value)
{
    writing_ = widget;
    const bool ok = source_->setValue(field, value);
    writing_ = nullptr;
    if (!ok)
        Q_EMIT writeFailed(source_->lastError());
}

void FieldBinder::refresh()
{
    for (const Binding &b : std::as_const(bindings_)) {
        if (b.widget && b.widget != writing_)
            show(b);
    }
}

void FieldBinder::show(const Binding &b)
{
    // showing is no step of the screen's: a failure it is about to test stays
    const QVariant value = source_->shownValue(b.field);
    if (auto *line = qobject_cast<QLineEdit *>(b.widget)) {
        const QString text = Funcs::NullToEmpty(value);
        if (line->text() != text) {
            line->setText(text);
            line->setCursorPosition(0);  // a long value shows from its beginning
        }
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(b.widget)) {
        const QString text = Funcs::NullToEmpty(value);
        if (plain->toPlainText() != text) {
            plain->setProperty("tvxShowing", true);
            plain->setPlainText(text);
            plain->setProperty("tvxShowing", false);
        }
    } else if (auto *check = qobject_cast<QCheckBox *>(b.widget)) {
        check->setChecked(value.toBool());
    } else if (auto *label = qobject_cast<QLabel *>(b.widget)) {
        label->setText(Funcs::NullToEmpty(value));
    } else if (auto *date = qobject_cast<DatePicker *>(b.widget)) {
        date->setValue(value);
    }
}

void reportRefusedRecord(QObject *screen, DataGrid *grid, DataNavigator *navigator, FieldBinder *binder,
                         const std::function<void(const data::Error &)> &report)
{
    QObject::connect(grid, &DataGrid::moveFailed, screen, report);
    QObject::connect(navigator, &DataNavigator::moveFailed, screen, report);
    QObject::connect(binder, &FieldBinder::writeFailed, screen, report);
}

}  // namespace tvx
