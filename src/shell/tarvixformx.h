#pragma once

#include "data/datasource.h"
#include "common/screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;

namespace tvx {

class FieldBinder;

// The main window: the login panel, the operator's name, the menus that open
// every other screen, and the activity-log writer.
class TarvixFormX : public Screen {
    Q_OBJECT
public:
    explicit TarvixFormX(QWidget *parent = nullptr);
    ~TarvixFormX() override;

    // Load, show, and the first activation.
    void start();
    // Runs every time the window becomes active after a screen it opened closes.
    void activationSequence();
    bool exitRequested() const { return exitRequested_; }

    void writeActivityLogRow();
    QString actionText() const { return actionText_; }
    QString workingDirectory() const { return workingDirectory_; }

    // the menu commands
    void login();
    void userSwitch();
    void openScreen(const QString &name, bool hideMeanwhile);

    data::DataSource Regiszt;
    data::DataSource BettorzsData;
    data::DataSource RegisztData;

    QLabel *Label1;         // the title
    QLabel *LabelUser;      // "Kérem a felhasználó nevét:"
    QComboBox *Combo1;      // the user names
    QLabel *LabelPassword;  // "Jelszó:"
    QLineEdit *Text1;       // the password
    QPushButton *Command1;  // "Bejelentkezés"
    QLabel *Label2;         // the operator's name
    QLineEdit *VendorText;  // the vendor's update page

    QMenu *Torzsek, *Iktatas, *Beallitas, *Segedlet;
    QAction *Szerviz, *Kilepes_;
    QAction *Partnertorzs, *Iktato, *Mellekletek, *FelhasznaloValtas, *UjFelhasznalo, *FelhasznaloModositas, *Parameter,
        *Kezikonyv;

protected:
    void exitRoutine() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void load();
    void buildMenus();
    void setMenusEnabled(bool enabled);
    void showLoginPanel(bool shown);
    void userChosen();
    // the "demo" row the system writes into an empty user table; the error when it could not be saved
    data::Error addDefaultUser(const QString &password, const QString &creator);
    void setLoginButtonColor(quint32 bgr);
    bool focusUserField();
    bool isUserFieldPart(const QWidget *widget) const;
    void pressDefaultButton();

    FieldBinder *operatorBinder_;
    QMetaObject::Connection focusWatch_;
    QString workingDirectory_;
    QString actionText_;
    bool firstActivation_ = true;
    bool exitRequested_ = false;
};

}  // namespace tvx
