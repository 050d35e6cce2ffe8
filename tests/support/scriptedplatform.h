#pragma once

// A Platform for tests: it records every message, prompt, beep and program
// start, answers from queues the test fills before it acts, and never blocks.

#include "common/platform.h"

#include <QList>
#include <QQueue>
#include <QTest>

#include <functional>

struct ShownMessage {
    QString title, text;
    tvx::MessageIcon icon;
    tvx::MessageButtons buttons;
};

class ScriptedPlatform final : public tvx::Platform {
public:
    ScriptedPlatform() : fixedClock(QDateTime(QDate(2024, 3, 7), QTime(12, 35, 8, 500))) { tvx::setPlatform(this); }
    ~ScriptedPlatform() override { tvx::setPlatform(nullptr); }

    // answers, used in order; a message without a queued answer is answered Ok / No
    QQueue<tvx::Answer> answers;
    QQueue<QString> inputs;  // a prompt without a queued text answers empty (Cancel)
    // called when a message is shown, e.g. to check the state of a window meanwhile
    std::function<void(const ShownMessage &)> onMessage;
    // drives a screen opened modally; without it the screen is only recorded
    std::function<void(tvx::Screen &)> onModal;

    QList<ShownMessage> messages;
    QStringList prompts;
    int beeps = 0;
    bool busy = false;
    int busyChanges = 0;
    QStringList started;  // "target|arg1 arg2|folder"
    bool startSucceeds = true;
    int printed = 0;
    bool printSucceeds = true;
    bool printedLandscape = false;
    // prints a page for real, e.g. into a PDF file through tvx::printPage
    std::function<bool(const tvx::PageDrawing &, bool)> onPrintPage;
    QStringList printedTexts;
    // prints text for real, e.g. into a PDF file through tvx::printPlainText
    std::function<bool(const QString &)> onPrintText;
    tvx::FixedClock fixedClock;
    int modalRuns = 0;
    int programEnds = 0;

    tvx::Answer message(QWidget *, const QString &title, const QString &text, tvx::MessageIcon icon,
                        tvx::MessageButtons buttons) override
    {
        const ShownMessage shown{title, text, icon, buttons};
        messages << shown;
        if (onMessage)
            onMessage(shown);
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons != tvx::MessageButtons::Ok ? tvx::Answer::No : tvx::Answer::Ok;
    }
    QString input(QWidget *, const QString &title, const QString &prompt) override
    {
        prompts << title + QStringLiteral("|") + prompt;
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    void beep() override { ++beeps; }
    void setBusyPointer(bool b) override
    {
        busy = b;
        ++busyChanges;
    }
    const tvx::Clock &clock() const override { return fixedClock; }
    void processEvents() override {}
    bool startProgram(const QString &target, const QStringList &arguments, const QString &folder) override
    {
        started << target + QStringLiteral("|") + arguments.join(u' ') + QStringLiteral("|") + folder;
        return startSucceeds;
    }
    bool openDocument(const QString &pathOrUrl) override
    {
        started << pathOrUrl;
        return startSucceeds;
    }
    bool printText(QWidget *, const QString &text) override
    {
        ++printed;
        printedTexts << text;
        if (!printSucceeds)
            return false;
        return onPrintText ? onPrintText(text) : true;
    }
    bool printPage(QWidget *, const tvx::PageDrawing &page, bool landscape) override
    {
        ++printed;
        printedLandscape = landscape;
        if (!printSucceeds)
            return false;
        return onPrintPage ? onPrintPage(page, landscape) : true;
    }

    void runModal(tvx::Screen &screen) override
    {
        ++modalRuns;
        if (onModal)
            onModal(screen);
    }
    void endProgram() override { ++programEnds; }

    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
