#pragma once

#include "common/screen.h"
#include "data/datasource.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx {

// Adds a row to Users. Somebody who already has a name and password
// identifies first; the new row records the user logged into the main window
// as its creator. Every further user needs a new identification.
class menuUjFelhasznaloForm : public Screen {
    Q_OBJECT
public:
    explicit menuUjFelhasznaloForm(QWidget *parent = nullptr);
    ~menuUjFelhasznaloForm() override;

    // "Bejelentkezés"; also when Text2 loses the focus, and Text1 empty
    void identify();
    // "Rendben"; also when Text3 or Text4 loses the focus
    void save();

    QPushButton *defaultButton() const { return defaultButton_; }

    data::DataSource RegisztData;
    data::DataSource Regisztralas;  // "Regisztrálás": only opened and closed

    QLabel *Label1, *Label2;
    QLineEdit *Text1;       // the name of somebody who has one
    QLineEdit *Text2;       // their password
    QPushButton *Command1;  // "Bejelentkezés"
    QGroupBox *Frame1;      // "Új felhasználó (user)"
    QLabel *Label3, *Label4, *Label5;
    QLineEdit *Text3;       // the new user's name
    QLineEdit *Text4;       // their password
    QLineEdit *Text5;       // their level, 0 to 2
    QPushButton *command3;  // "Rendben"
    QAction *Kilepes_;      // "&Kilépés"

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // what a field does when the focus moves from it to another control here
    void fieldLeft(QWidget *field);
    void text1Left();
    void text5Left();

    // the row the system writes into an empty Users table
    void addDefaultUser();
    void nameTaken();
    // A name or password not accepted: the message, the first row, and the field again with its text selected.
    void sendBack(const QString &text, QLineEdit *field);
    // an unexpected failure of the data source: its own message, nothing changed
    void report(data::DataSource &source);
    void setDefaultButton(QPushButton *button);
    static QString nameCriteria(const QString &name);

    QPushButton *defaultButton_ = nullptr;
    QMetaObject::Connection focusWatch_;
    bool reacting_ = false;  // a handler runs: the focus moves it makes react to nothing
};

}  // namespace tvx
