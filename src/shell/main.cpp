#include "hungarian.h"
#include "tarvixformx.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvix"));
    tvx::useHungarianLocale();

    tvx::TarvixFormX window;
    window.start();
    if (window.exitRequested())
        return 0;
    return app.exec();
}
