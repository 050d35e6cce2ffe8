#include "screen.h"

#include "datasource.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>

namespace tvx {

namespace {
Screen::ModalRunner &modalRunner()
{
    static Screen::ModalRunner runner;
    return runner;
}
}  // namespace

Screen::Screen(QWidget *parent) : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Screen::setModalRunner(ModalRunner runner) { modalRunner() = std::move(runner); }

void Screen::showModal()
{
    if (modalRunner()) {
        modalRunner()(*this);
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &Screen::closed, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    show();
    loop.exec();
}

void Screen::Kilepes()
{
    exitRoutine();
    close();
}

void Screen::exitRoutine()
{
    exitOnClose_ = false;
    for (data::DataSource *source : dataSourcesToClose()) {
        if (source) {
            source->closeRecordset();
            source->clearError();
        }
    }
}

void Screen::closeEvent(QCloseEvent *event)
{
    if (exitOnClose_)
        exitRoutine();
    event->accept();
    QMainWindow::closeEvent(event);
    Q_EMIT closed();
}

}  // namespace tvx
