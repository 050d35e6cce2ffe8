#include "common/commandline.h"
#include "common/desktopplatform.h"
#include "common/hungarian.h"
#include "common/paths.h"
#include "common/platform.h"
#include "maintenance/form1.h"
#include "maintenance/installcheck.h"
#include "data/dataset.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

namespace {

int checkInstallation(const tvx::CommandLine &line, QTextStream &out)
{
    tvx::maintenance::InstallationReport report;
    report.lines << tvx::versionText(tvx::ProgramKind::Tarvfix);
    tvx::maintenance::checkProgramFiles(report, {QStringLiteral("Form1")});
    tvx::maintenance::checkDataSetFolder(report, QDir(line.dataSet.isEmpty() ? QDir::currentPath() : line.dataSet));
    return report.print(out);
}

}  // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    using Action = tvx::CommandLine::Action;
    if (tvx::parseCommandLine(tvx::ProgramKind::Tarvfix, tvx::argumentsOf(argc, argv)).action != Action::Run) {
        QCoreApplication app(argc, argv);
        tvx::useHungarianLocale();
        const tvx::CommandLine line = tvx::parseCommandLine(tvx::ProgramKind::Tarvfix, app.arguments().mid(1));
        tvx::data::setServerOverride(line.db);
        switch (line.action) {
        case Action::Version: out << tvx::versionText(tvx::ProgramKind::Tarvfix) << Qt::endl; return 0;
        case Action::Help: out << tvx::usageText(tvx::ProgramKind::Tarvfix) << Qt::flush; return 0;
        case Action::Check: return checkInstallation(line, out);
        default: err << line.error << Qt::endl; return 2;
        }
    }

    QApplication app(argc, argv);
    tvx::maintenance::nameApplication();
    QApplication::setApplicationVersion(tvx::versionNumber());
    QApplication::setDesktopFileName(QStringLiteral("tarvfix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarvfix-128.png")));
    tvx::useHungarianLocale();
    tvx::useDesktopPlatform();
    const tvx::CommandLine line = tvx::parseCommandLine(tvx::ProgramKind::Tarvfix, QApplication::arguments().mid(1));
    // --db names the data set to rebuild, whatever the folder holds
    tvx::data::setServerOverride(line.db);
    if (!line.dataSet.isEmpty() && !QDir::setCurrent(line.dataSet)) {
        tvx::platform().message(nullptr, QStringLiteral("FIGYELEM!"),
                                QStringLiteral("Nem található a(z) %1 mappa.").arg(QDir::toNativeSeparators(line.dataSet)),
                                tvx::MessageIcon::Critical);
        return 1;
    }

    tvx::maintenance::Form1 form(QDir::current(), QDir(tvx::paths::templatesFolder()));
    if (!form.start(line.programText))
        return 0;
    return app.exec();
}
