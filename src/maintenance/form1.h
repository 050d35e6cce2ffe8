#pragma once

#include "maintenance/rebuild.h"

#include <QDialog>
#include <QDir>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tvx::maintenance {

inline const QString kVendorPage = QStringLiteral("https://tarvix.hu/frissites");

// Names the program, whose name titles the messages that have no title of
// their own. It gets no display name: the desktop would add that to every
// window title.
void nameApplication();

// "/s" in any letter case, and nothing else, runs the rebuild without waiting for a person.
bool isUnattended(const QString &commandLine);

// The maintenance window. A dialog for its default (Enter) and cancel (Esc) buttons.
class Form1 final : public QDialog, private RebuildObserver {
    Q_OBJECT

public:
    Form1(const QDir &workingDirectory, const QDir &templateDirectory, QWidget *parent = nullptr);

    // Shows the window; in unattended mode runs the rebuild and closes it.
    // True when the window stays open for the user.
    bool start(const QString &commandLine);

    bool isBusy() const { return busy_; }

public Q_SLOTS:
    void runServer();
    void openVendorPage();
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setRunning(bool running) override;
    void setFileLine(const QString &text) override;
    void setTableLine(const QString &text) override;
    void setStatusText(const QString &text) override;
    void setFileProgress(int value, int maximum) override;
    void setTableProgress(int value, int maximum) override;
    void letWindowUpdate() override;

    QDir workingDirectory_;
    QDir templateDirectory_;
    bool busy_ = false;

    QLabel *l1_;
    QProgressBar *pb1_;
    QLabel *l2_;
    QProgressBar *pb2_;
    QPushButton *command1_;
    QLabel *label1_;
    QPushButton *command2_;
    QLabel *label2_;
};

}  // namespace tvx::maintenance
