#pragma once

// Everything that waits on a person or touches the world outside the program
// goes through this interface: message boxes, input prompts, the beep, the
// mouse pointer, the clock, starting other programs, printing, modal screens
// and the end of the program. The programs install the desktop implementation;
// tests put a scripted one in its place.

#include "common/clock.h"

#include <QString>
#include <QStringList>

#include <QSize>

#include <functional>

class QPainter;
class QWidget;

namespace tvx {

class Screen;

enum class MessageIcon { None, Critical, Exclamation, Question, Information };
// YesNo has Yes as its default button (Enter), YesNoDefaultNo has No.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Yes, No };

// A printed page drawn by the same code that draws it on screen: the painter's
// coordinates are the page's own units (`PageDrawing::size`), scaled to the
// device, so text is laid out at the device's own resolution. Fonts are sized
// in page units (QFont::setPixelSize).
struct PageDrawing {
    QSize size;
    std::function<void(QPainter &)> paint;
};

class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box; an empty title shows the program's title.
    virtual Answer message(QWidget *parent, const QString &title, const QString &text, MessageIcon icon,
                           MessageButtons buttons = MessageButtons::Ok) = 0;
    // A modal input prompt with an empty default; Cancel gives the empty text.
    virtual QString input(QWidget *parent, const QString &title, const QString &prompt) = 0;
    virtual void beep() = 0;
    virtual void setBusyPointer(bool busy) = 0;
    virtual const Clock &clock() const = 0;
    // Lets the window system repaint during long work.
    virtual void processEvents() = 0;

    // Starts a program through the desktop: `target` is a program, a document or
    // a web address. False when it could not be started.
    virtual bool startProgram(const QString &target, const QStringList &arguments = {}, const QString &workingFolder = {}) = 0;
    virtual bool openDocument(const QString &pathOrUrl) = 0;

    // The default printer. False when nothing was printed.
    // Plain text, line by line, on as many pages as it takes.
    virtual bool printText(QWidget *parent, const QString &text) = 0;
    virtual bool printPage(QWidget *parent, const PageDrawing &page, bool landscape) = 0;

    // Shows a screen modally and returns when it has closed.
    virtual void runModal(Screen &screen) = 0;
    // Ends the program at once (the main window's exit routine).
    virtual void endProgram() = 0;
};

// For programs that never show a window: every question gets its default
// answer (shown on the standard error), every prompt is cancelled, nothing is
// started, printed or opened.
class HeadlessPlatform : public Platform {
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, MessageIcon icon, MessageButtons buttons) override;
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
    void beep() override {}
    void setBusyPointer(bool) override {}
    const Clock &clock() const override { return clock_; }
    void processEvents() override {}
    bool startProgram(const QString &, const QStringList &, const QString &) override { return false; }
    bool openDocument(const QString &) override { return false; }
    bool printText(QWidget *, const QString &) override { return false; }
    bool printPage(QWidget *, const PageDrawing &, bool) override { return false; }
    void runModal(Screen &) override {}
    void endProgram() override {}

private:
    SystemClock clock_;
};

// A problem report as every screen makes it: the arrow pointer, a beep, then
// an OK-only message box.
void reportProblem(QWidget *screen, const QString &title, const QString &text, MessageIcon icon);

// The platform in use; until a program installs the desktop one (see
// useDesktopPlatform), a HeadlessPlatform.
Platform &platform();
// Puts another implementation in place (tests); nullptr returns to the installed one.
void setPlatform(Platform *replacement);
// Installs the implementation `platform()` returns when no replacement is set.
void installPlatform(Platform *implementation);

}  // namespace tvx
