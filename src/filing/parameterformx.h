#pragma once

#include "common/screen.h"
#include "data/datasource.h"

#include <QStringList>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tvx {

class DataGrid;
class DataNavigator;
class FieldBinder;

// The filing-number templates, one or more per partner: the five parts that
// the filing entry screen offers when the partner is chosen there.
class ParameterFormX : public Screen {
    Q_OBJECT
public:
    explicit ParameterFormX(QWidget *parent = nullptr);
    ~ParameterFormX() override;

    // in the order the exit routine closes them
    data::DataSource PartnerData{QStringLiteral("Torzsek.tvd"), QStringLiteral("select * from BePartner order by BerNev")};
    data::DataSource ParameterData{QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam")};

    QGroupBox *Frame1;
    QLineEdit *Text1;  // Jelleg
    QLineEdit *Text2;  // Jel
    QLineEdit *Text3;  // Szám
    QLineEdit *Text4;  // Alszám
    QLineEdit *Text5;  // EgyébJel
    QLineEdit *Text6;  // PartnerNeve
    QLabel *Label8;    // PartnerID, read only
    DataNavigator *ParameterNavigator;
    DataGrid *DBGrid2;  // the templates
    QPushButton *Command1;  // OK
    QLabel *Label7;         // "Partner kereső:"
    QLineEdit *Text7;       // the live partner search
    DataGrid *DBGrid1;      // the partners
    DataNavigator *PartnerNavigator;

    QMenu *Kereses;
    QAction *UjAdat;
    QAction *Partnertorzs;
    QAction *Torles;
    QAction *Segedlet;
    QAction *KilepesMenu;  // "&Vissza": the exit routine
    QAction *SzuresKi;     // "Szűrés kikapcsolása"

    // The "&Keresés-szűrés" items, in menu order.
    enum class TemplateSearch {
        Jelleg,
        Jel,
        Szam,
        Alszam,
        EgyebJel,
        JellegJel,
        JellegJelSzam,
        JellegJelSzamAlszam,
        AllParts,
        PartnerNeve,
    };
    QList<QAction *> searchItems;  // in the order of TemplateSearch

    // The screen's steps, as its commands run them.
    void activation() override;
    void newTemplate();
    void choosePartner();
    void partnerSearchChanged(const QString &text);
    void confirm();
    void openPartners();
    void searchTemplates(TemplateSearch which);
    void removeFilter();
    bool filtered() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    // True when the templates can be worked on; otherwise the reason was said.
    bool templatesReady();
    void report(data::DataSource &source);
    void report(const data::Error &error);
    void appendEmptyTemplate(bool onlyIntoEmptyTable);
    // Narrows the templates to those whose `fields` equal the current one's.
    void filterLikeCurrent(const QStringList &fields);

    FieldBinder *binder_;
    // files that could not be opened, said at the first activation
    QList<data::Error> openErrors_;
};

}  // namespace tvx
