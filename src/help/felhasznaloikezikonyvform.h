#pragma once

#include "common/screen.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace tvx {

// The user manual window: the manual built into the program, and its printing.
class FelhasznaloiKezikonyvForm : public Screen {
    Q_OBJECT
public:
    explicit FelhasznaloiKezikonyvForm(QWidget *parent = nullptr);

    // the manual as the program carries it
    static QByteArray builtInManual();

    void Nyomtatas();

    QTextEdit *RichTextBox1;
    QPushButton *Command2, *Kilepes_;  // "Kilépés"
    QLabel *Label1;
};

}  // namespace tvx
