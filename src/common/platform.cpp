#include "common/platform.h"

#include <QTextStream>

namespace tvx {

namespace {

// Used by programs that never show a window: every question gets its default
// answer, and what would have been shown goes to the standard error.
class HeadlessPlatform final : public Platform {
public:
    Answer message(QWidget *, const QString &title, const QString &text, MessageIcon, MessageButtons buttons) override
    {
        QTextStream(stderr) << title << ": " << text << Qt::endl;
        return buttons != MessageButtons::Ok ? Answer::No : Answer::Ok;
    }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
    void beep() override {}
    void setBusyPointer(bool) override {}
    const Clock &clock() const override { return clock_; }
    void processEvents() override {}
    bool startProgram(const QString &, const QStringList &, const QString &) override { return false; }
    bool openDocument(const QString &) override { return false; }
    bool printDocument(QWidget *, const QTextDocument &) override { return false; }
    bool printImage(QWidget *, const QImage &, bool) override { return false; }
    void runModal(Screen &) override {}
    void endProgram() override {}

private:
    SystemClock clock_;
};

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

void installPlatform(Platform *implementation) { installed = implementation; }

}  // namespace tvx
