#pragma once

#include "attachments/viewers.h"
#include "common/screen.h"
#include "data/datasource.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QStringListModel;
class QToolButton;

namespace tvx {

class DataGrid;
class DataNavigator;
class FieldBinder;

// The register of files attached to filing entries: one entry's attachments
// (opened from the filing entry screen) or every attachment (from the main
// window), the paths of seven kinds of file, a panel that picks paths from
// the file system, and the opening of a path in its program.
class IktatasMellekletekFormX : public Screen {
    Q_OBJECT
public:
    using Kind = attachments::Kind;

    explicit IktatasMellekletekFormX(QWidget *parent = nullptr);
    ~IktatasMellekletekFormX() override;

    data::DataSource MellekletekData{QStringLiteral("Tarvix.tvd"), QStringLiteral("select * from Mellekletek order by Iktatószám")};

    QLineEdit *Text1;  // Iktatószám
    QLineEdit *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8;  // the paths, in kind order
    QRadioButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7;
    QButtonGroup *kinds;

    // the file-picking panel; File1 null until it is made, as the event
    // filter already sees Dir1's events
    QListView *Dir1 = nullptr;
    QLabel *PickHint = nullptr;
    QListView *File1 = nullptr;
    QToolButton *Command9;

    QPushButton *Command1;  // Számlatartozás
    QGroupBox *Frame1;      // Keres-szűrés:
    // the searches, in kind order after Iktatószám: Command10 … Command17
    QPushButton *Command10, *Command11, *Command12, *Command13, *Command14, *Command15, *Command16, *Command17;
    QPushButton *Command18;  // Szűrés ki
    DataGrid *DBGrid1;
    DataNavigator *MellekletekNavigator;

    QAction *Oke, *UjMelleklet;
    QMenu *Megtekint;
    QAction *Foto, *Dokumentum, *Excel, *Adatbazis, *Email, *HangAnyag, *VideoFile;
    QMenu *Szures;
    QAction *SzuresBe, *SzuresKi;
    QAction *Torol, *KilepesItem;

    // The office suite that opens documents, spreadsheets and databases;
    // empty: the desktop's own program opens them.
    QString officeSuite;

    // The screen's steps, as its commands run them.
    void activation() override;
    // false when it was refused (and said so)
    bool newAttachment();
    void ok();
    void deleteAttachment();
    void filterOn();
    void filterOff();
    void removeFilter();
    // 0: Iktatószám, 1 to 7: the paths in kind order
    void searchBy(int search);
    void invoiceDebts();
    void open(Kind kind);

    // The picking panel.
    QString folder() const { return folder_; }
    void setFolder(const QString &path);
    void enterFolder(const QString &name);  // an item of Dir1, ".." included
    void pickFile(const QString &name);
    void pickSelected();
    QStringList folderItems() const;
    QStringList fileItems() const;
    QStringList selectedFiles() const;
    // The kind of path that picking fills in; false when none is chosen.
    bool chosenKind(Kind &kind) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QLayout *buildPickingPanel(QWidget *parent);
    void buildMenus();
    bool refused(bool stepOk);
    bool hasRecords() const { return MellekletekData.recordCount() > 0; }
    void setRecordCommands(bool enabled);
    void noData();
    // Runs a statement; "Nincs adat!" when it lists nothing.
    void showStatement(const QString &statement);
    QString entryStatement() const;
    QString pickedPath(const QString &name) const;
    QLineEdit *pathEdit(Kind kind) const;
    QString shownPath(Kind kind) const;

    FieldBinder *binder_;
    QStringListModel *folders_;
    QStringListModel *files_;
    QString folder_;
};

}  // namespace tvx
