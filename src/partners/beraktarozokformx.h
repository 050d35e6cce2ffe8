#pragma once

#include "common/caught.h"
#include "common/screen.h"
#include "data/datasource.h"

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

class DataGrid;
class DataNavigator;
class FieldBinder;

// The partner register: browse, find, edit, create and delete partners, pick
// a country, print the partner list, and on leaving remove nameless partners.
class BeraktarozokFormX : public Screen {
    Q_OBJECT
public:
    explicit BeraktarozokFormX(QWidget *parent = nullptr);
    ~BeraktarozokFormX() override;

    data::DataSource Beraktarozok{QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER")};
    data::DataSource Data1{QStringLiteral("Torzsek.tvd"), QStringLiteral("ORSZAGJEL")};
    data::DataSource Regisztralas{QStringLiteral("Regiszt.tvd"), QStringLiteral("Regisztrálás")};

    // entry fields, in tab order
    QLineEdit *BerNevText;
    QLineEdit *BerIrszamText;
    QLineEdit *BerSzekhelyText;
    QLineEdit *BerCimText;
    QLineEdit *BerTelefonText;
    QLineEdit *BerFaxText;
    QLineEdit *BerMobilText;
    QLineEdit *BerAdoszamText;
    QLineEdit *BerSzamlaszamText;
    QLineEdit *KapcsolattartoText;
    QLineEdit *UgyfelStatusText;
    QLineEdit *BerEUAdoszamText;
    QLabel *BerOrszagLabel;
    QLabel *RecordIdLabel;

    QLabel *KeresesLabel;  // "<      Keresés (cég)névre     >"
    QLineEdit *SzuroText;  // the live name filter
    DataGrid *PartnerGrid;
    DataNavigator *PartnerNavigator;
    DataGrid *OrszagGrid;  // the country list
    QPushButton *OkButton;
    QPushButton *OrszagButton;
    QPushButton *MegseButton;
    QProgressBar *ProgressBar1;

    QAction *UjPartner;
    QAction *Torles;
    QAction *MentesKilepes;
    QAction *Nyomtatas;
    QAction *Segedlet;

    // The screen's steps, as its commands run them.
    void activation() override;
    void filterChanged(const QString &text);
    void searchByName();
    void findCountry();
    void chooseCountry();
    void newPartner();
    void confirmPartner();
    void deletePartner();
    void saveAndExit();
    void openHelp();
    void printList();

    // the listing's page counter
    int pageNumber = 1;

protected:
    void exitRoutine() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    bool tableIsEmpty() const;
    // After a failed step of the partner source: its message; true when it failed.
    bool refused(bool stepOk, Beep beep = Beep::Yes);
    void refused(const data::Error &error, Beep beep = Beep::Yes);
    void addPlaceholder(bool emptyName);
    enum class LockedRow { Quiet, Beep };
    void fullCheck(LockedRow locked);

    FieldBinder *binder_;
    data::Error openError_;  // the partner file could not be opened
};

}  // namespace tvx
