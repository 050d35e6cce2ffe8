#pragma once

// What the benchmark programs share: the median of timed runs, and stopping
// at the first failure of the data layer.

#include "common/platform.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "data/error.h"
#include "data/templates.h"

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

// The large data set of the data-layer benchmarks: `kEntries` filing entries
// (entry i's partner is (i·7919) mod kPartners), as many attachments, and
// `kPartners` partners, written straight through the engine, one transaction
// per file.
namespace entries {
inline constexpr int kEntries = 100000;
inline constexpr int kPartners = 20000;
inline constexpr int kAttachments = 100000;

inline QString entryId(int i) { return QStringLiteral("2024%1%2").arg(i % 12 + 1).arg(i); }
// one number stands apart, near the end
inline QString filingNumber(int i) { return i == kEntries - 10 ? QStringLiteral("ZZ/UTOLSÓ-1") : QStringLiteral("SZ/B%1-%2").arg(i % 997).arg(i); }
inline QString partnerName(int i) { return QStringLiteral("Partner %1 Kft.").arg(i); }

inline void write(const QDir &dir)
{
    check(tvx::data::createDataSetFiles(dir));
    tvx::data::Error error;
    {
        auto db = tvx::data::Database::open(QStringLiteral("Tarvix.tvd"), dir, error);
        check(error);
        tvx::data::Connection &c = tvx::data::EngineAccess::connection(*db);
        check(c.beginWrite());
        for (int i = 0; i < kEntries; ++i) {
            check(c.execute(QStringLiteral("INSERT INTO Tarvix (recordID, PartnerNeve, PartnerID, \"SzerzödésSzáma\", \"SzerzödésDátuma\", "
                                           "\"ÜgyJellege\", \"Iktatószám\", \"IktatószámJelleg\", \"Megjegyzés\") VALUES (?,?,?,?,?,?,?,?,?)"),
                            {entryId(i), partnerName((i * 7919) % kPartners), (i * 7919) % kPartners + 1, QStringLiteral("K-%1").arg(i),
                             QStringLiteral("2024-03-07"), QStringLiteral("Bérleti szerződés"), filingNumber(i), QStringLiteral("SZ"),
                             QStringLiteral("Megjegyzés a(z) %1. tételhez").arg(i)}));
        }
        for (int i = 0; i < kAttachments; ++i) {
            check(c.execute(QStringLiteral("INSERT INTO Mellekletek (IktatasrecordID, \"Iktatószám\", \"DokumentumÚtvonalaNeve\") VALUES (?,?,?)"),
                            {entryId(i), filingNumber(i), QStringLiteral("/home/iroda/dokumentumok/szerződés-%1.odt").arg(i)}));
        }
        check(c.commit());
    }
    auto db = tvx::data::Database::open(QStringLiteral("Torzsek.tvd"), dir, error);
    check(error);
    tvx::data::Connection &c = tvx::data::EngineAccess::connection(*db);
    check(c.beginWrite());
    for (int i = 0; i < kPartners; ++i) {
        check(c.execute(QStringLiteral("INSERT INTO BePartner (BerNev, BerSzekhely, recordID, BerOrszag) VALUES (?,?,?,?)"),
                        {partnerName(i), QStringLiteral("Budapest"), i + 1, QStringLiteral("HU")}));
    }
    check(c.commit());
}
}  // namespace entries

}  // namespace bench
