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

    // entry fields, in tab order; null until buildWindow() makes them, as the
    // event filter already sees the events of the fields made first
    QLineEdit *BerNevText = nullptr;
    QLineEdit *BerIrszamText = nullptr;
    QLineEdit *BerSzekhelyText = nullptr;
    QLineEdit *BerCimText = nullptr;
    QLineEdit *BerTelefonText = nullptr;
    QLineEdit *BerFaxText = nullptr;
    QLineEdit *BerMobilText = nullptr;
    QLineEdit *BerAdoszamText = nullptr;
    QLineEdit *BerSzamlaszamText = nullptr;
    QLineEdit *KapcsolattartoText = nullptr;
    QLineEdit *UgyfelStatusText = nullptr;
    QLineEdit *BerEUAdoszamText = nullptr;
    QLabel *BerOrszagLabel = nullptr;
    QLabel *RecordIdLabel = nullptr;

    QLabel *KeresesLabel = nullptr;  // "<      Keresés (cég)névre     >"
    QLineEdit *SzuroText = nullptr;  // the live name filter
    DataGrid *PartnerGrid = nullptr;
    DataNavigator *PartnerNavigator = nullptr;
    DataGrid *OrszagGrid = nullptr;  // the country list
    QPushButton *OkButton = nullptr;
    QPushButton *OrszagButton = nullptr;
    QPushButton *MegseButton = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    QAction *UjPartner = nullptr;
    QAction *Torles = nullptr;
    QAction *MentesKilepes = nullptr;
    QAction *Nyomtatas = nullptr;
    QAction *Segedlet = nullptr;

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

    FieldBinder *binder_ = nullptr;
    data::Error openError_;  // the partner file could not be opened
};

}  // namespace tvx
