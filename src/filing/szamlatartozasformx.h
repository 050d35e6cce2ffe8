#pragma once

#include "common/screen.h"
#include "data/datasource.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace tvx {

class DataGrid;
class DataNavigator;
class DatePicker;
class FieldBinder;

// The invoice debts of one partner: the partner of the filing entry the
// screen was opened from, a partner grid to choose another one, the current
// debt's fields and the list of the partner's debts.
class SzamlaTartozasFormX : public Screen {
    Q_OBJECT
public:
    explicit SzamlaTartozasFormX(QWidget *parent = nullptr);
    ~SzamlaTartozasFormX() override;

    data::DataSource TartozasData{QStringLiteral("Tarvix.tvd"), QStringLiteral("select * from SzamlaTartozas where PartnerNeve = '*'")};
    data::DataSource PartnerData{QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner")};

    DataGrid *DBGrid2;  // partners
    DataNavigator *PartnerNavigator;

    // the current debt
    QLineEdit *Text1;     // PartnerNeve
    QLabel *Label4;       // PartnerID
    QLabel *Label6;       // IktatásRecordID
    QLineEdit *Text2;     // OkmánySzám
    DatePicker *DTPicker1, *DTPicker2, *DTPicker3;  // OkmányKelte, TeljesitésDátuma, FizetésiHatáridö
    QLineEdit *Text3;     // BruttóÖsszeg
    QLabel *Label1;       // the identifier made by "Új adat"

    DataGrid *DBGrid1;  // the debts
    DataNavigator *TartozasNavigator;

    QAction *UjAdat;
    QMenu *Szures;
    QAction *AzonositSzur, *MindenTartozas;
    QAction *Torles, *KilepesItem;

    // The screen's steps, as its commands run them.
    void activation() override;
    void choosePartner();
    void newDebt();

protected:
    // Leaves the screen open when the current debt cannot be written yet.
    void exitRoutine() override;

private:
    void buildWindow();
    void buildMenus();
    // After a failed step of the debt source: the amount, lock or other
    // message; true when it failed.
    bool refused(bool stepOk);
    bool openedFromFilingEntry() const;

    FieldBinder *binder_;
};

}  // namespace tvx
