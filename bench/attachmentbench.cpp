// Times the attachment register on 100 000 attachments of 100 000 filing
// entries: the all-attachments view opening, one entry's view opening, a
// search that filters the list, and a folder of 5 000 files listing in the
// picking panel.
//   tvx-attachmentbench

#include "attachments/iktatasmellekletekformx.h"
#include "screenbench.h"
#include "common/session.h"
#include "data/database.h"
#include "data/engineaccess.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tvx;
using namespace tvx::data;

namespace {

constexpr int kEntries = 100000;
constexpr int kAttachments = 100000;
constexpr int kFiles = 5000;
QTextStream &out = bench::out();

using bench::check;
using bench::medianMs;

QString entryId(int i) { return QStringLiteral("2024371%1,5").arg(i); }

void generate(const QDir &dir)
{
    Error error;
    auto file = Database::open(QStringLiteral("Tarvix.tvd"), dir, error);
    check(error);
    Connection &c = EngineAccess::connection(*file);
    check(c.beginWrite());
    for (int i = 1; i <= kEntries; ++i)
        check(c.execute(QStringLiteral("INSERT INTO Tarvix (recordID, PartnerNeve, Iktatószám) VALUES (?, ?, ?)"),
                        {entryId(i), QStringLiteral("Partner %1 Kft.").arg(i % 20000 + 1), QStringLiteral("SZ/B%1%2").arg(i % 50).arg(i)}));
    // one attachment for most entries, a few for some
    for (int i = 1; i <= kAttachments; ++i) {
        const int entry = (i * 7) % kEntries + 1;
        check(c.execute(QStringLiteral("INSERT INTO Mellekletek (IktatasrecordID, Iktatószám, FotóÚtvonalaNeve, DokumentumÚtvonalaNeve) "
                                       "VALUES (?, ?, ?, ?)"),
                        {entryId(entry), QStringLiteral("SZ/B%1%2").arg(entry % 50).arg(entry),
                         QStringLiteral("/home/iroda/képek/%1.jpg").arg(i), QStringLiteral("/home/iroda/iratok/szerződés %1.odt").arg(i)}));
    }
    check(c.commit());
}

}  // namespace

int main(int argc, char **argv)
{
    bench::ScreenBench session(argc, argv);
    bench::QuietPlatform &quiet = session.quiet;
    const QDir dir = session.dir();
    generate(dir);
    out << "Mellékletek: " << kAttachments << ", iktatások: " << kEntries << Qt::endl;

    const double all = medianMs(7, [] {
        handOver().singleEntryAttachments = false;
        IktatasMellekletekFormX screen;
        screen.SetQui(false);
        screen.activation();
    });
    out << "minden melléklet megnyitása: " << all << " ms" << Qt::endl;

    handOver().singleEntryAttachments = true;
    handOver().currentFilingId = entryId(4243);
    const double single = medianMs(7, [] {
        IktatasMellekletekFormX screen;
        screen.SetQui(false);
        screen.activation();
    });
    out << "egy iktatás mellékletei:     " << single << " ms" << Qt::endl;

    handOver().singleEntryAttachments = false;
    IktatasMellekletekFormX screen;
    screen.SetQui(false);
    screen.activation();
    quiet.answer = QStringLiteral("SZ/B7*");
    const double search = medianMs(7, [&] { screen.searchBy(0); }, [&] { screen.filterOff(); });
    out << "iktatószám keresés, szűrés:  " << search << " ms  -> " << screen.MellekletekData.recordCount() << " melléklet" << Qt::endl;

    QTemporaryDir files;
    for (int i = 0; i < kFiles; ++i) {
        QFile f(QDir(files.path()).filePath(QStringLiteral("melléklet %1.pdf").arg(i)));
        f.open(QIODevice::WriteOnly);
    }
    const double listing = medianMs(7, [&] { screen.setFolder(files.path()); }, [&] { screen.setFolder(dir.path()); });
    out << "5000 fájlos mappa listázása: " << listing << " ms  -> " << screen.fileItems().size() << " fájl" << Qt::endl;
    return 0;
}
