#pragma once

// The small pieces a screen's form is built of, named as the screen names them.

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace tvx {

// A caption whose access key moves to `field`.
QLabel *captionFor(QWidget *field, const QString &text, QWidget *parent);
QLineEdit *namedLineEdit(const char *name, QWidget *parent);
// A bound value shown, not typed: a sunken panel whose text can be selected.
QLabel *valueLabel(const char *name, QWidget *parent);
// A record's identifier: a yellow box whose text can be selected.
QLabel *identifierLabel(const char *name, QWidget *parent, const QString &text = {});

}  // namespace tvx
