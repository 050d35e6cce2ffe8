#pragma once

#include "common/screen.h"
#include "data/datasource.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx {

// The logged-in user replaces their own password in three confirmed stages:
// the old password, the new one, the new one again. The new password is the
// current one at once, and is written to the user's row of Users.
class FelhJelszoValtoztatFormX : public Screen {
    Q_OBJECT
public:
    explicit FelhJelszoValtoztatFormX(QWidget *parent = nullptr);

    void ok1();  // "OK - 1": the old password
    void ok2();  // "OK - 2": the new password
    void ok3();  // "OK - 3": the new password again, and the save

    data::DataSource RegisztJ;

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *Text1, *Text2, *Text3;
    QPushButton *Command1, *Command2, *Command3;
    QAction *Kilepes_;  // "&Vissza"

private:
    enum class RowFound { Yes, No, Failed };
    // The logged-in user's row: among the rows whose name matches ignoring
    // letter case, the one spelt exactly as the login name, else the first.
    RowFound findOwnRow(const QString &name);
    void enableNewPassword(bool enabled);
};

}  // namespace tvx
