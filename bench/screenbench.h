#pragma once

// What every screen benchmark starts from: Qt without a display, the
// Hungarian locale, the quiet platform, and a fresh data set that is the
// working folder (screens open their files by bare name).

#include "benchkit.h"
#include "common/hungarian.h"
#include "data/templates.h"

#include <QApplication>
#include <QTemporaryDir>

namespace bench {

class ScreenBench {
public:
    ScreenBench(int &argc, char **argv) : app_(offscreen(argc), argv)
    {
        tvx::useHungarianLocale();
        tvx::setPlatform(&quiet);
        check(tvx::data::createDataSetFiles(dir()));
        QDir::setCurrent(dir().path());
    }
    ~ScreenBench() { tvx::setPlatform(nullptr); }

    QDir dir() const { return QDir(tmp_.path()); }
    QuietPlatform quiet;

private:
    static int &offscreen(int &argc)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }
    QApplication app_;
    QTemporaryDir tmp_;
};

}  // namespace bench
