#include "common/desktopplatform.h"
#include "common/platform.h"
#include "common/printing.h"
#include "common/programstart.h"
#include "common/screen.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>

namespace tvx {

namespace {

// The window that asked gets the keyboard again when a box closes, also
// where no window manager hands it back.
void giveKeyboardBack(QWidget *parent)
{
    if (parent && parent->window()->isVisible())
        parent->window()->activateWindow();
}

class QtPlatform final : public Platform {
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, MessageIcon icon, MessageButtons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        }
        if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoDefaultNo) {
            QPushButton *yes = box.addButton(QStringLiteral("&Igen"), QMessageBox::YesRole);
            QPushButton *no = box.addButton(QStringLiteral("&Nem"), QMessageBox::NoRole);
            box.setDefaultButton(buttons == MessageButtons::YesNo ? yes : no);
            box.setEscapeButton(no);
            box.exec();
            giveKeyboardBack(parent);
            return box.clickedButton() == yes ? Answer::Yes : Answer::No;
        }
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        giveKeyboardBack(parent);
        return Answer::Ok;
    }

    QString input(QWidget *parent, const QString &title, const QString &prompt) override
    {
        QInputDialog dialog(parent);
        dialog.setWindowTitle(title);
        dialog.setLabelText(prompt);
        dialog.setTextValue(QString());
        dialog.setOkButtonText(QStringLiteral("OK"));
        dialog.setCancelButtonText(QStringLiteral("Mégse"));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        giveKeyboardBack(parent);
        return accepted ? dialog.textValue() : QString();
    }

    void beep() override { QApplication::beep(); }

    void setBusyPointer(bool busy) override
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    const Clock &clock() const override { return clock_; }

    void processEvents() override { QApplication::processEvents(); }

    bool startProgram(const QString &target, const QStringList &arguments, const QString &workingFolder) override
    {
        return startProgramDetached(target, arguments, workingFolder);
    }

    bool openDocument(const QString &pathOrUrl) override { return openWithDesktop(pathOrUrl); }

    bool printText(QWidget *, const QString &text) override
    {
        const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
        if (printerInfo.isNull())
            return false;
        QPrinter printer(printerInfo, QPrinter::HighResolution);
        return printer.isValid() && tvx::printPlainText(printer, text);
    }

    bool printPage(QWidget *, const PageDrawing &page, bool landscape) override
    {
        const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
        if (printerInfo.isNull())
            return false;
        QPrinter printer(printerInfo, QPrinter::HighResolution);
        return tvx::printPage(printer, page, landscape);
    }

    void runModal(Screen &screen) override
    {
        screen.setWindowModality(Qt::ApplicationModal);
        const QPointer<QWidget> caller = screen.parentWidget();
        QEventLoop loop;
        QObject::connect(&screen, &Screen::closed, &loop, &QEventLoop::quit);
        QObject::connect(&screen, &QObject::destroyed, &loop, &QEventLoop::quit);
        screen.show();
        screen.activateWindow();  // its access keys work without a click first
        loop.exec();
        giveKeyboardBack(caller);
    }

    void endProgram() override { QCoreApplication::exit(0); }

private:
    SystemClock clock_;
};

}  // namespace

void useDesktopPlatform()
{
    static QtPlatform desktop;
    installPlatform(&desktop);
}

}  // namespace tvx
