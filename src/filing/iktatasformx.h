#pragma once

#include "common/modeswitch.h"
#include "common/screen.h"
#include "data/datasource.h"
#include "filing/filingentry.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace tvx {

class DataGrid;
class DataNavigator;
class DateField;
class DatePicker;
class FieldBinder;

// The filing entry screen: one filing entry at a time with its partner, its
// contract, its handling and its five-part filing number, the list of all
// entries below it, and the way to templates, searches, attachments, debts
// and the partner master.
class IktatasFormX : public Screen {
    Q_OBJECT
public:
    explicit IktatasFormX(QWidget *parent = nullptr);
    ~IktatasFormX() override;

    data::DataSource TarvixData{QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix")};
    data::DataSource PartnerData{QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner")};
    data::DataSource ParameterData{QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam")};
    data::DataSource TarvixArchivData{QStringLiteral("TarvixArchiv.tvd"), QStringLiteral("Tarvix")};
    data::DataSource UgyintezoData{QStringLiteral("regiszt.tvd"), QStringLiteral("Users")};

    // the entry
    QLineEdit *Text1;   // PartnerNeve
    QLabel *Label3;     // PartnerID
    QLabel *Label2;     // recordID
    QLineEdit *Text2;   // SzerzödésSzáma
    QLineEdit *Text3;   // ÜgyJellege
    QCheckBox *Check7;  // SzámlaTartozás
    QCheckBox *Check1;  // Elözmények
    QLineEdit *Text5;   // KezelésiFeljegyzés
    QComboBox *Combo1;  // the users, copied into Ügyintézö
    QLineEdit *Text8;   // Ügyintézö
    DateField *Datum1, *Datum2, *Datum3;  // the three dates: label and picker
    QLabel *Label20, *Label21, *Label22;
    DatePicker *DTPicker1, *DTPicker2, *DTPicker3;
    QLineEdit *Text6;   // IrattáriAlszám
    QLineEdit *Text9, *Text10, *Text11, *Text12, *Text13;  // the five parts
    QLabel *Label18;    // Iktatószám
    QLabel *Label7;     // the status
    QPlainTextEdit *Text7;  // Megjegyzés
    QCheckBox *Check2, *Check3, *Check4, *Check5, *Check6;

    DataGrid *DBGrid2;  // partners
    DataNavigator *PartnerNavigator;
    QGroupBox *Frame1;  // the searches
    QPushButton *Command5, *Command6, *Command7, *Command8, *Command9, *Command10, *Command11;
    DataGrid *DBGrid1;  // the entries
    DataNavigator *TarvixNavigator;
    QPushButton *Command1, *Command2, *Command3, *Command4;  // << < > >>

    QAction *Oke, *Modositas, *UjAdat;
    QMenu *Mellekletek;
    QAction *MindenMelleklet, *Szamlatartozas;
    QMenu *Torzsek;
    QAction *Partnertorzs;
    QMenu *Parameterezes;
    QAction *Iktatoszamok;
    QAction *Torles, *Nyomtatas, *Segedlet, *KilepesItem;

    ModeSwitch modes;

    // The screen's steps, as its commands run them.
    void activation() override;
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();
    void modify();
    void newEntry();
    void choosePartner();
    void offerTemplate(const QString &partnerName);
    void ok();
    void searchBy(const filing::FieldSearch &search);
    void removeFilter();
    void deleteEntry();
    void allAttachments();
    void invoiceDebts();
    void partnerMaster();
    void filingNumberTemplates();
    void chooseClerk(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildMenus();
    void fillClerks();
    // After a failed step of the entry source: the lock message, or what
    // else went wrong; true when it failed.
    bool refused(bool stepOk);
    // Opens a screen of the registry over this one; false when none is registered.
    bool openScreen(const QString &name);
    bool hasEntries() const { return TarvixData.recordCount() > 0; }

    FieldBinder *binder_;
    data::Error openError_;  // the entry file could not be opened: said at the first activation
};

}  // namespace tvx
