#pragma once

// A property that does not hold ends the run as a crash does, so libFuzzer
// keeps the input and the replay test fails on it.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace tvx::fuzz {

[[noreturn]] inline void propertyFailed(const char *condition, const QString &detail, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n  %s\n", file, line, condition, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

// Text shown in a failure message: control characters escaped, long text cut.
inline QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text.left(300)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return text.size() > 300 ? out + QStringLiteral("…") : out;
}

}  // namespace tvx::fuzz

#define TVX_FUZZ_CHECK(condition, detail)                                                  \
    do {                                                                                   \
        if (!(condition))                                                                  \
            ::tvx::fuzz::propertyFailed(#condition, (detail), __FILE__, __LINE__);         \
    } while (0)
