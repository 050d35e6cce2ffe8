#include "common/commandline.h"
#include "common/desktopplatform.h"
#include "common/hungarian.h"
#include "data/dataset.h"
#include "shell/screens.h"
#include "shell/startup.h"
#include "shell/tarvixformx.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    // what needs no window is done before one could be asked for
    tvx::CommandLine line = tvx::parseCommandLine(tvx::ProgramKind::Tarvix, tvx::argumentsOf(argc, argv));
    if (line.action != tvx::CommandLine::Action::Run && line.action != tvx::CommandLine::Action::Check) {
        QCoreApplication app(argc, argv);
        tvx::useHungarianLocale();
        return tvx::runWithoutWindow(tvx::parseCommandLine(tvx::ProgramKind::Tarvix, app.arguments().mid(1)), out, err);
    }
    // the check reads the manual as a document, which needs no screen
    if (line.action == tvx::CommandLine::Action::Check && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvix"));
    QApplication::setApplicationVersion(tvx::versionNumber());
    QApplication::setDesktopFileName(QStringLiteral("tarvix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarvix-128.png")));
    tvx::useHungarianLocale();
    line = tvx::parseCommandLine(tvx::ProgramKind::Tarvix, QApplication::arguments().mid(1));
    tvx::data::setServerOverride(line.db);
    if (line.action == tvx::CommandLine::Action::Check)
        return tvx::checkInstallation(line, out);

    tvx::useDesktopPlatform();
    if (!line.dataSet.isEmpty() && !tvx::enterDataSet(line.dataSet))
        return 1;
    tvx::registerScreens();

    tvx::TarvixFormX window;
    window.start();
    if (window.exitRequested())
        return 0;
    return app.exec();
}
