#pragma once

// Browse and edit mode of a screen: the screen lists once what each control
// does in each mode, and switches all of them in one call.
//
//     modes.editOnly({Text1, Text2, Check1, DBGrid2, Combo1});
//     modes.editOnly({UjAdat});
//     modes.disabledInBrowse({Oke});          // edit mode leaves it as it is
//     modes.dateFields({Datum1, Datum2});     // label in browse, picker over it in edit
//     modes.setMode(ModeSwitch::Browse);

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <initializer_list>

class QAction;
class QWidget;

namespace tvx {

class DateField;

class ModeSwitch : public QObject {
    Q_OBJECT
public:
    enum Mode { Browse, Edit };
    // What switching to a mode does to a control.
    enum class State { Unchanged, Enabled, Disabled, ReadOnly, Writable, Shown, Hidden };

    explicit ModeSwitch(QObject *parent = nullptr);

    void add(QWidget *control, State inBrowse, State inEdit);
    void add(QAction *action, State inBrowse, State inEdit);

    // enabled in edit mode, disabled in browse mode
    void editOnly(std::initializer_list<QWidget *> controls);
    void editOnly(std::initializer_list<QAction *> actions);
    // disabled in browse mode; edit mode leaves it as it is
    void disabledInBrowse(std::initializer_list<QWidget *> controls);
    void disabledInBrowse(std::initializer_list<QAction *> actions);
    // always enabled (they can be scrolled and copied from) but typed into only
    // in edit mode; a control that cannot be read-only is disabled instead
    void readOnlyInBrowse(std::initializer_list<QWidget *> controls);
    // visible in edit mode only
    void shownInEdit(std::initializer_list<QWidget *> controls);
    // the date label in browse mode, the date picker over it in edit mode
    void dateFields(std::initializer_list<DateField *> fields);
    // anything else a switch does (a status label, a menu caption)
    void onSwitch(std::function<void(Mode)> step);

    Mode mode() const { return mode_; }
    void setMode(Mode mode);

Q_SIGNALS:
    void modeChanged(tvx::ModeSwitch::Mode mode);

private:
    struct Rule {
        QPointer<QObject> control;  // a control deleted meanwhile is skipped
        State inBrowse, inEdit;
    };
    static void apply(QObject *control, State state);

    QList<Rule> rules_;
    QList<std::function<void(Mode)>> steps_;
    Mode mode_ = Browse;
};

}  // namespace tvx
