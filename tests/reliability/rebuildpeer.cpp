// A Tarvfix run without its window, as another process, that a test can end
// at any write: the same rebuild, with every question answered No.
//   tvx-rebuildpeer DIR TEMPLATES [--die-at-write K]
// prints FINISHED or ABANDONED and the number of writes the run made

#include "maintenance/rebuild.h"
#include "support/faultvfs.h"
#include "support/scriptedplatform.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <unistd.h>


int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("usage: tvx-rebuildpeer DIR TEMPLATES [--die-at-write K]\n", stderr);
        return 2;
    }
    long long dieAt = 0;
    if (const int at = int(args.indexOf(QStringLiteral("--die-at-write"))); at >= 0 && at + 1 < args.size())
        dieAt = args[at + 1].toLongLong();
    long long writes = 0;
    faultvfs::install([dieAt, &writes](faultvfs::Operation op, const char *, long long, int) {
        if (op == faultvfs::Operation::Write && ++writes == dieAt)
            ::kill(::getpid(), SIGKILL);
        return 0;
    });
    ScriptedPlatform platform;
    platform.fixedClock.set(QDateTime::currentDateTime());
    tvx::maintenance::SilentRebuildObserver observer;
    tvx::maintenance::Rebuild rebuild{QDir(args[0]), QDir(args[1]), observer};
    const bool finished = rebuild.run() == tvx::maintenance::Rebuild::Outcome::Finished;
    for (const ShownMessage &m : platform.messages)
        std::fprintf(stderr, "%s\n", qPrintable(m.text));
    std::printf("%s %lld\n", finished ? "FINISHED" : "ABANDONED", writes);
    return 0;
}
