// Another workstation making filing entries through the filing screen, with
// the clock standing still at the scripted instant.
//   tvx-filingpeer DIR COUNT

#include "common/hungarian.h"
#include "filing/iktatasformx.h"
#include "support/scriptedplatform.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || !QDir::setCurrent(args[0]))
        return 2;
    tvx::useHungarianLocale();
    ScriptedPlatform platform;
    tvx::IktatasFormX screen;
    screen.activation();
    for (int i = 0; i < args[1].toInt(); ++i) {
        screen.modify();
        screen.newEntry();
        if (!platform.messages.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(platform.lastText()));
            return 1;
        }
    }
    screen.Kilepes();
    return 0;
}
