#include "common/screen.h"

#include "common/platform.h"
#include "data/datasource.h"

#include <QCloseEvent>
#include <QShowEvent>

#include <utility>

namespace tvx {

Screen::Screen(QWidget *parent) : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Screen::showModal() { platform().runModal(*this); }

void Screen::addDataSource(data::DataSource &source) { dataSources_.append(&source); }

void Screen::Kilepes()
{
    exitRoutine();
    if (std::exchange(stayOpen_, false))
        return;
    close();
}

void Screen::exitRoutine()
{
    exitOnClose_ = false;
    for (data::DataSource *source : std::as_const(dataSources_)) {
        source->closeRecordset();
        source->clearError();
    }
}

void Screen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && exitOnClose_)
        activation();
}

void Screen::closeEvent(QCloseEvent *event)
{
    if (exitOnClose_)
        exitRoutine();
    if (std::exchange(stayOpen_, false)) {
        event->ignore();
        return;
    }
    event->accept();
    QMainWindow::closeEvent(event);
    Q_EMIT closed();
}

}  // namespace tvx
