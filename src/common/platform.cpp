#include "common/platform.h"

#include <QTextStream>

namespace tvx {

Answer HeadlessPlatform::message(QWidget *, const QString &title, const QString &text, MessageIcon, MessageButtons buttons)
{
    QTextStream(stderr) << title << ": " << text << Qt::endl;
    return buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
}

namespace {

Platform *installed = nullptr;
Platform *replacement = nullptr;

}  // namespace

Platform &platform()
{
    if (replacement)
        return *replacement;
    if (installed)
        return *installed;
    static HeadlessPlatform headless;
    return headless;
}

void setPlatform(Platform *p) { replacement = p; }

void reportProblem(QWidget *screen, const QString &title, const QString &text, MessageIcon icon)
{
    platform().setBusyPointer(false);
    platform().beep();
    platform().message(screen, title, text, icon, MessageButtons::Ok);
}

void installPlatform(Platform *implementation) { installed = implementation; }

}  // namespace tvx
