#include "common/desktopplatform.h"
#include "maintenance/form1.h"
#include "common/hungarian.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tvx::maintenance::nameApplication();
    tvx::useHungarianLocale();
    tvx::useDesktopPlatform();

    tvx::maintenance::Form1 form(QDir::current(), QDir(QApplication::applicationDirPath() + QStringLiteral("/Data")));
    if (!form.start(tvx::maintenance::commandLineText(QApplication::arguments())))
        return 0;
    return app.exec();
}
