// Times the partner screen on 20 000 partners: opening it, a live-filter
// keystroke that finds a partner near the end, "Új partner", and the full
// check (with 1 000 nameless partners among them).
//   tvx-partnerbench

#include "screenbench.h"
#include "data/database.h"
#include "data/engineaccess.h"
#include "partners/beraktarozokformx.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <functional>

using namespace tvx;
using namespace tvx::data;

namespace {

constexpr int kPartners = 20000;
constexpr int kNameless = 1000;
QTextStream &out = bench::out();

using bench::check;
using bench::medianMs;

void generate(const QDir &dir)
{
    bench::addPartners(dir, kPartners, kPartners / kNameless);
}

}  // namespace

int main(int argc, char **argv)
{
    bench::ScreenBench session(argc, argv);
    const QDir dir = session.dir();
    generate(dir);
    const QString torzsek = dir.filePath(QStringLiteral("Torzsek.tvd"));
    const QString pristine = dir.filePath(QStringLiteral("pristine.bak"));
    QFile::copy(torzsek, pristine);
    const auto restore = [&] {
        QFile::remove(torzsek);
        QFile::copy(pristine, torzsek);
    };

    out << "Partnerek: " << kPartners << " (" << kNameless << " név nélkül)" << Qt::endl;

    const double open = medianMs(7, [] {
        BeraktarozokFormX screen;
        screen.SetQui(false);
    });
    out << "megnyitás:            " << open << " ms (cél < 200)" << Qt::endl;

    {
        BeraktarozokFormX screen;
        screen.SetQui(false);
        const double filter = medianMs(7, [&] { screen.filterChanged(QStringLiteral("Partner 19998")); },
                                       [&] { screen.Beraktarozok.moveFirst(); });
        out << "élő szűrő leütés:     " << filter << " ms (cél < 50)  -> " << screen.Beraktarozok.value(QStringLiteral("BerNev")).toString()
            << Qt::endl;
        const double added = medianMs(7, [&] { screen.newPartner(); });
        out << "Új partner:           " << added << " ms (cél < 50)  -> recordID "
            << screen.Beraktarozok.value(QStringLiteral("recordID")).toInt() << Qt::endl;
    }

    qint64 left = 0;
    const double fullCheck = medianMs(3, [&] {
        BeraktarozokFormX screen;
        screen.Kilepes();  // the full-check question is answered Yes
    }, restore);
    {
        Error error;
        auto db = Database::open(QStringLiteral("Torzsek.tvd"), dir, error);
        check(error);
        check(db->rowCount(QStringLiteral("BePartner"), left));
    }
    out << "teljes ellenőrzés:    " << fullCheck << " ms (cél < 2000), megnyitással; maradt " << left << " partner" << Qt::endl;
    return 0;
}
