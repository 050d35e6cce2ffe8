#include "common/modeswitch.h"

#include "common/datefield.h"
#include "common/datepicker.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tvx {

namespace {

// false when the widget has no read-only state of its own
bool setReadOnly(QWidget *w, bool readOnly)
{
    if (auto *line = qobject_cast<QLineEdit *>(w))
        line->setReadOnly(readOnly);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
        plain->setReadOnly(readOnly);
    else if (auto *rich = qobject_cast<QTextEdit *>(w))
        rich->setReadOnly(readOnly);
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
        spin->setReadOnly(readOnly);
    else if (auto *date = qobject_cast<DateField *>(w))
        date->picker()->setReadOnly(readOnly);
    else
        return false;
    return true;
}

}  // namespace

ModeSwitch::ModeSwitch(QObject *parent) : QObject(parent) {}

void ModeSwitch::add(QWidget *control, State inBrowse, State inEdit) { rules_.append({control, inBrowse, inEdit}); }

void ModeSwitch::add(QAction *action, State inBrowse, State inEdit) { rules_.append({action, inBrowse, inEdit}); }

void ModeSwitch::editOnly(std::initializer_list<QWidget *> controls)
{
    for (QWidget *w : controls)
        add(w, State::Disabled, State::Enabled);
}

void ModeSwitch::editOnly(std::initializer_list<QAction *> actions)
{
    for (QAction *a : actions)
        add(a, State::Disabled, State::Enabled);
}

void ModeSwitch::disabledInBrowse(std::initializer_list<QWidget *> controls)
{
    for (QWidget *w : controls)
        add(w, State::Disabled, State::Unchanged);
}

void ModeSwitch::disabledInBrowse(std::initializer_list<QAction *> actions)
{
    for (QAction *a : actions)
        add(a, State::Disabled, State::Unchanged);
}

void ModeSwitch::readOnlyInBrowse(std::initializer_list<QWidget *> controls)
{
    for (QWidget *w : controls)
        add(w, State::ReadOnly, State::Writable);
}

void ModeSwitch::shownInEdit(std::initializer_list<QWidget *> controls)
{
    for (QWidget *w : controls)
        add(w, State::Hidden, State::Shown);
}

void ModeSwitch::dateFields(std::initializer_list<DateField *> fields)
{
    for (DateField *f : fields)
        add(f->picker(), State::Hidden, State::Shown);
}

void ModeSwitch::onSwitch(std::function<void(Mode)> step) { steps_.append(std::move(step)); }

void ModeSwitch::setMode(Mode mode)
{
    mode_ = mode;
    for (const Rule &rule : std::as_const(rules_)) {
        if (rule.control)
            apply(rule.control, mode == Browse ? rule.inBrowse : rule.inEdit);
    }
    for (const auto &step : std::as_const(steps_))
        step(mode);
    Q_EMIT modeChanged(mode);
}

void ModeSwitch::apply(QObject *control, State state)
{
    if (auto *action = qobject_cast<QAction *>(control)) {
        switch (state) {
        case State::Enabled:
        case State::Writable: action->setEnabled(true); break;
        case State::Disabled:
        case State::ReadOnly: action->setEnabled(false); break;
        case State::Shown: action->setVisible(true); break;
        case State::Hidden: action->setVisible(false); break;
        case State::Unchanged: break;
        }
        return;
    }
    auto *w = qobject_cast<QWidget *>(control);
    if (!w)
        return;
    switch (state) {
    case State::Enabled: w->setEnabled(true); break;
    case State::Disabled: w->setEnabled(false); break;
    case State::ReadOnly:
        if (!setReadOnly(w, true))
            w->setEnabled(false);
        break;
    case State::Writable:
        if (!setReadOnly(w, false))
            w->setEnabled(true);
        break;
    case State::Shown: w->setVisible(true); break;
    case State::Hidden: w->setVisible(false); break;
    case State::Unchanged: break;
    }
}

}  // namespace tvx
