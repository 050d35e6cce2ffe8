#pragma once

// What the benchmark programs share: the median of timed runs, and stopping
// at the first failure of the data layer.

#include "common/platform.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "data/error.h"

#include <QDir>

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

// Every question is answered Yes, every prompt with `answer`; nothing waits.
class QuietPlatform final : public tvx::HeadlessPlatform {
public:
    QString answer;
    tvx::Answer message(QWidget *, const QString &, const QString &, tvx::MessageIcon, tvx::MessageButtons buttons) override
    {
        return buttons == tvx::MessageButtons::Ok ? tvx::Answer::Ok : tvx::Answer::Yes;
    }
    QString input(QWidget *, const QString &, const QString &) override { return answer; }
};

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

// Partners "Partner 1 Kft." … with identifiers 1 … `count`, written straight
// into the data set's Torzsek.tvd; every `namelessEvery`-th has no name (0: none).
inline void addPartners(const QDir &dir, int count, int namelessEvery = 0)
{
    tvx::data::Error error;
    auto db = tvx::data::Database::open(QStringLiteral("Torzsek.tvd"), dir, error);
    check(error);
    tvx::data::Connection &c = tvx::data::EngineAccess::connection(*db);
    check(c.beginWrite());
    for (int i = 1; i <= count; ++i) {
        const bool nameless = namelessEvery > 0 && i % namelessEvery == 0;
        const QVariant name = nameless ? QVariant() : QVariant(QStringLiteral("Partner %1 Kft.").arg(i));
        check(c.execute(QStringLiteral("INSERT INTO BePartner (BerNev, BerIrszam, BerSzekhely, BerCim, BerTelefon, recordID, BerOrszag) "
                                       "VALUES (?, '1052', 'Budapest', 'Váci utca 1.', '0612345678', ?, 'HU')"),
                        {name, i}));
    }
    check(c.commit());
}

}  // namespace bench
