// Times the filing entry screen on 100 000 filing entries and 20 000
// partners: opening it on its last entry, a search that filters the list,
// "Új adat", OK, a deletion that archives first, and ">".
//   tvx-filingbench

#include "screenbench.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "filing/iktatasformx.h"

#include <QLabel>

using namespace tvx;
using namespace tvx::data;

namespace {

constexpr int kEntries = 100000;
constexpr int kPartners = 20000;
QTextStream &out = bench::out();

using bench::check;
using bench::medianMs;

void generate(const QDir &dir)
{
    bench::addPartners(dir, kPartners);
    Error error;

    auto entries = Database::open(QStringLiteral("Tarvix.tvd"), dir, error);
    check(error);
    Connection &e = EngineAccess::connection(*entries);
    check(e.beginWrite());
    for (int i = 1; i <= kEntries; ++i) {
        const int partner = i % kPartners + 1;
        check(e.execute(QStringLiteral("INSERT INTO Tarvix (recordID, PartnerNeve, PartnerID, SzerzödésSzáma, SzerzödésDátuma, "
                                       "FelvitelDátuma, IktatószámJelleg, IktatószámJel, IktatószámSzám, Iktatószám) "
                                       "VALUES (?, ?, ?, ?, '2024-03-07', '2024-03-07', 'SZ', ?, ?, ?)"),
                        {QStringLiteral("2024371%1,5").arg(i), QStringLiteral("Partner %1 Kft.").arg(partner), partner,
                         QStringLiteral("K-%1").arg(i), QStringLiteral("/B%1").arg(i % 50), QString::number(i),
                         QStringLiteral("SZ/B%1%2").arg(i % 50).arg(i)}));
    }
    check(e.commit());
}

}  // namespace

int main(int argc, char **argv)
{
    bench::ScreenBench session(argc, argv);
    bench::QuietPlatform &quiet = session.quiet;
    const QDir dir = session.dir();
    generate(dir);
    out << "Iktatások: " << kEntries << ", partnerek: " << kPartners << Qt::endl;

    const double open = medianMs(7, [] {
        IktatasFormX screen;
        screen.SetQui(false);
        screen.activation();
    });
    out << "megnyitás az utolsón:  " << open << " ms (cél < 150)" << Qt::endl;

    IktatasFormX screen;
    screen.SetQui(false);
    screen.activation();
    quiet.answer = QStringLiteral("SZ/B7*");  // the first match filters to its number
    const double search = medianMs(7, [&] { screen.searchBy(filing::fieldSearches()[0]); }, [&] { screen.moveLast(); });
    out << "keresés és szűrés:     " << search << " ms (cél < 150)  -> " << screen.TarvixData.recordCount() << " iktatás" << Qt::endl;
    quiet.answer = QStringLiteral("/B7");
    const double partSearch = medianMs(7, [&] { screen.searchBy(filing::fieldSearches()[2]); }, [&] { screen.removeFilter(); });
    out << "jel keresése, szűrés:  " << partSearch << " ms (cél < 150)  -> " << screen.TarvixData.recordCount() << " iktatás" << Qt::endl;
    const double unfilter = medianMs(7, [&] { screen.removeFilter(); });
    out << "szűrés kikapcsolása:   " << unfilter << " ms" << Qt::endl;

    screen.moveLast();
    const double added = medianMs(7, [&] { screen.newEntry(); }, [&] { screen.modify(); });
    out << "Új adat:               " << added << " ms (cél < 150)  -> " << screen.TarvixData.value(QStringLiteral("recordID")).toString()
        << Qt::endl;
    int n = 0;
    const double ok = medianMs(7, [&] { screen.ok(); },
                               [&] { screen.TarvixData.setValue(QStringLiteral("IktatószámSzám"), QString::number(++n)); });
    out << "OK:                    " << ok << " ms (cél < 150)  -> " << screen.Label18->text() << Qt::endl;
    const double deleted = medianMs(7, [&] { screen.deleteEntry(); }, [&] { screen.moveLast(); });
    qint64 archived = 0;
    check(screen.TarvixArchivData.database()->rowCount(QStringLiteral("Tarvix"), archived));
    out << "törlés archiválással:  " << deleted << " ms (cél < 150)  -> archívumban " << archived << Qt::endl;
    screen.moveFirst();
    const double next = medianMs(21, [&] { screen.moveNext(); });
    out << "\">\":                   " << next << " ms (cél < 20)" << Qt::endl;
    return 0;
}
