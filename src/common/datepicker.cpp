#include "common/datepicker.h"

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
