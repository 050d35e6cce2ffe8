#pragma once

// A date shown twice at one place: a label, always visible, and over it a date
// picker that the screen shows in edit mode only. The label shows what the
// picker holds, so binding the picker binds both:
//
//     binder.bind(Datum1, QStringLiteral("SzerzödésDátuma"));

#include <QVariant>
#include <QWidget>

class QLabel;

namespace tvx {

class DatePicker;

class DateField : public QWidget {
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);

    QLabel *label() const { return label_; }
    DatePicker *picker() const { return picker_; }

    // the picker shown over the label (edit mode), or hidden (browse mode)
    void setEditing(bool editing);
    bool isEditing() const;

    QVariant value() const;  // QDate, or null

private:
    QLabel *label_;
    DatePicker *picker_;
};

}  // namespace tvx
