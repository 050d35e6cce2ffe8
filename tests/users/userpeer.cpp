// The other program of the two-program tests: adds users through the new-user
// screen, identifying as "demo" with an empty password before each one.
//   tvx-userpeer DIR NAME...   prints SAVED or TAKEN for each name, in order

#include "support/scriptedplatform.h"
#include "users/menuujfelhasznaloform.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || !QDir::setCurrent(args[0])) {
        std::fputs("usage: tvx-userpeer DIR NAME...\n", stderr);
        return 2;
    }
    ScriptedPlatform platform;
    tvx::menuUjFelhasznaloForm screen;
    for (const QString &name : args.mid(1)) {
        platform.messages.clear();
        screen.Text1->setText(QStringLiteral("demo"));
        screen.Text2->clear();
        screen.Command1->click();
        screen.Text3->setText(name);
        screen.Text4->setText(QStringLiteral("peer"));
        screen.Text5->setText(QStringLiteral("2"));
        screen.command3->click();
        const QString outcome = platform.messages.isEmpty() ? QStringLiteral("SAVED")
                                : platform.lastText() == QStringLiteral("Már létezik ilyen felhasználó! Adjon meg másik nevet!")
                                    ? QStringLiteral("TAKEN")
                                    : platform.lastText();
        std::fputs(qPrintable(outcome + u'\n'), stdout);
        std::fflush(stdout);
    }
    screen.Kilepes();
    return 0;
}
