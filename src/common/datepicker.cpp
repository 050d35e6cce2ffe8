#include "common/datepicker.h"

#include "common/platform.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>

namespace tvx {

namespace {
const QDate kEmpty(1752, 9, 14);
}

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setMinimumDate(kEmpty);
    setSpecialValueText(QStringLiteral(" "));
    setDisplayFormat(QStringLiteral("yyyy.MM.dd."));
    setDate(kEmpty);
    connect(this, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!settingValue_)
            Q_EMIT edited(d == kEmpty ? QVariant() : QVariant(d));
    });
    // an empty date's calendar opens on today, not on the empty marker
    calendarWidget()->installEventFilter(this);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    // Delete empties the date: the field stores null
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        setDate(kEmpty);
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == calendarWidget() && event->type() == QEvent::Show && date() == kEmpty) {
        const QDate today = platform().clock().today();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}

QVariant DatePicker::value() const
{
    return date() == kEmpty ? QVariant() : QVariant(date());
}

void DatePicker::setValue(const QVariant &value)
{
    settingValue_ = true;
    const QDate d = value.toDate();
    setDate(d.isValid() ? d : kEmpty);
    settingValue_ = false;
}

}  // namespace tvx
