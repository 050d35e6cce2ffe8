#pragma once

// Behaviours that fields of several screens share: the focus highlight, the
// key filter of numeric fields, and selecting a field's whole content.

#include <QString>

class QAbstractButton;
class QWidget;

namespace tvx {

// Light cyan background while the field has the focus, the system window
// colour when the focus leaves it (also to another window).
void highlightOnFocus(QWidget *field);

// Typed characters outside `accepted` are discarded with a beep; Backspace
// always passes. Enter presses `defaultButton` when there is one and never
// reaches the field; without one it is discarded with a beep like any other.
void acceptOnly(QWidget *field, const QString &accepted, QAbstractButton *defaultButton = nullptr);

// Selects from the first character over the whole text, so typing replaces it.
void selectWholeContent(QWidget *field);

// Sets a widget's background from an &H00BBGGRR colour.
void setBackground(QWidget *widget, quint32 bgr);

}  // namespace tvx
