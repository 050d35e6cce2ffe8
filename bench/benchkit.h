#pragma once

// What the benchmark programs share: the median of timed runs, and stopping
// at the first failure of the data layer.

#include "data/error.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// The median in milliseconds of `runs` runs of `work`; `prepare` runs untimed before each.
inline double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void check(const tvx::data::Error &e)
{
    if (e) {
        out() << "HIBA: " << e.message << Qt::endl;
        std::exit(1);
    }
}

}  // namespace bench
