// Another workstation for the partner tests: opens the partner screen headless
// in DIR and presses "Új partner" COUNT times.
//   tvx-partnerpeer DIR COUNT

#include "partners/beraktarozokformx.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || !QDir::setCurrent(args[0])) {
        std::puts("usage: tvx-partnerpeer DIR COUNT");
        return 2;
    }
    tvx::BeraktarozokFormX screen;
    const int count = args[1].toInt();
    for (int i = 0; i < count; ++i)
        screen.newPartner();
    std::puts("DONE");
    return 0;
}
