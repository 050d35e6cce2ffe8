#pragma once

#include "common/screen.h"

class QAction;
class QTextEdit;

namespace tvx {

// The context help window: the help document of the screen that asked for
// help (the help screen identifier of the hand-over values), and its printing.
class HelpFormX : public Screen {
    Q_OBJECT
public:
    explicit HelpFormX(QWidget *parent = nullptr);

    void activation() override;
    void Nyomtat();

    QTextEdit *RichTextBox1;
    QAction *HNyom, *KilepesItem;
};

}  // namespace tvx
