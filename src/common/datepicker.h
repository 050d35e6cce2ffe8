#pragma once

#include <QDateEdit>
#include <QVariant>

namespace tvx {

// A date field that can also be empty (a null date shows as an empty field);
// Delete empties it. It never holds an invalid date.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    QVariant value() const;  // QDate, or null
    void setValue(const QVariant &date);

Q_SIGNALS:
    void edited(const QVariant &date);  // changes made by the user only

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool settingValue_ = false;
};

}  // namespace tvx
