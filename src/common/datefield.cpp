#include "common/datefield.h"

#include "common/datepicker.h"
#include "common/funcs.h"

#include <QLabel>
#include <QStackedLayout>

namespace tvx {

DateField::DateField(QWidget *parent) : QWidget(parent), label_(new QLabel(this)), picker_(new DatePicker(this))
{
    auto *layout = new QStackedLayout(this);
    layout->setStackingMode(QStackedLayout::StackAll);  // both at one place, the picker on top
    layout->setContentsMargins(0, 0, 0, 0);
    label_->setFrameShape(QFrame::Panel);
    label_->setFrameShadow(QFrame::Sunken);
    layout->addWidget(label_);
    layout->addWidget(picker_);
    layout->setCurrentWidget(picker_);
    setFocusProxy(picker_);
    // the same text a label bound to the date field would show
    connect(picker_, &DatePicker::dateChanged, this, [this] { label_->setText(Funcs::NullToEmpty(picker_->value())); });
    picker_->hide();
}

void DateField::setEditing(bool editing) { picker_->setVisible(editing); }

bool DateField::isEditing() const { return !picker_->isHidden(); }

QVariant DateField::value() const { return picker_->value(); }

}  // namespace tvx
