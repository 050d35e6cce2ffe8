#include "common/formwidgets.h"

#include "common/fieldbehaviour.h"

#include <QLabel>
#include <QLineEdit>

namespace tvx {

QLabel *captionFor(QWidget *field, const QString &text, QWidget *parent)
{
    auto *caption = new QLabel(text, parent);
    caption->setBuddy(field);
    return caption;
}

QLineEdit *namedLineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    return edit;
}

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return label;
}

QLabel *identifierLabel(const char *name, QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setMinimumWidth(130);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Box);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setBackground(label, 0x0000FFFF);  // yellow
    return label;
}

}  // namespace tvx
