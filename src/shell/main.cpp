#include "common/desktopplatform.h"
#include "common/hungarian.h"
#include "shell/screens.h"
#include "shell/tarvixformx.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvix"));
    tvx::useHungarianLocale();
    tvx::useDesktopPlatform();
    tvx::registerScreens();

    tvx::TarvixFormX window;
    window.start();
    if (window.exitRequested())
        return 0;
    return app.exec();
}
