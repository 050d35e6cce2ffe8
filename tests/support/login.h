#pragma once

// Logging in on the main window's login panel, as a user does: the name from
// the list, the password, "Bejelentkezés". True when no message came and the
// user is the current one.

#include "common/session.h"
#include "shell/tarvixformx.h"
#include "support/scriptedplatform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

inline bool loginAs(tvx::TarvixFormX &w, ScriptedPlatform &platform, const QString &name, const QString &password)
{
    const int index = w.Combo1->findText(name);
    if (index < 0)
        return false;
    w.Combo1->setCurrentIndex(index);
    emit w.Combo1->activated(index);
    w.Text1->setText(password);
    const qsizetype before = platform.messages.size();
    w.Command1->click();
    return platform.messages.size() == before && tvx::currentUser().name == name;
}
