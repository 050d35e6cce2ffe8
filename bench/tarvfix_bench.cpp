// Times a Tarvfix rebuild of a large data set against a plain copy of the same files.
//   tarvfix-bench [FOLDER]   (a temporary folder when none is given)

#include "data/database.h"
#include "data/engineaccess.h"
#include "data/names.h"
#include "common/platform.h"
#include "maintenance/rebuild.h"
#include "data/schema.h"
#include "data/templates.h"

#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace tvx;
using namespace tvx::data;

namespace {

constexpr int kFilings = 100000;
constexpr int kAttachments = 100000;
constexpr int kPartners = 20000;

// Answers every message at once; a prompt counts as a failure of the run.
class QuietPlatform final : public HeadlessPlatform {
public:
    int prompts = 0;
    QString lastText;
    Answer message(QWidget *, const QString &, const QString &text, MessageIcon, MessageButtons buttons) override
    {
        lastText = text;
        prompts += buttons == MessageButtons::Ok ? 0 : 1;
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
    }
};


[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::exit(1);
}

void fill(const QDir &dir, const QString &file, const QString &table, int rows, const std::function<QVariantList(int)> &row)
{
    Error error;
    auto db = Database::open(file, dir, error);
    if (!db)
        fail(error.message);
    const TableInfo *t = db->table(table);
    QStringList columns, marks;
    for (const auto &f : t->fields) {
        columns << quoteIdentifier(f.name);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteIdentifier(t->name), columns.join(u','), marks.join(u','));
    if (Error e = EngineAccess::connection(*db).beginWrite())
        fail(e.message);
    for (int i = 0; i < rows; ++i) {
        QVariantList values = row(i);
        values.resize(t->fields.size());
        if (Error e = EngineAccess::connection(*db).execute(sql, values))
            fail(e.message);
    }
    if (Error e = EngineAccess::connection(*db).commit())
        fail(e.message);
}

qint64 rowsOf(const QDir &dir, const QString &file, const QString &table)
{
    Error error;
    auto db = Database::open(file, dir, error);
    qint64 n = -1;
    if (!db || db->rowCount(table, n))
        return -1;
    return n;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QDir root(app.arguments().size() > 1 ? app.arguments().at(1) : tmp.path());
    root.mkpath(QStringLiteral("work"));
    root.mkpath(QStringLiteral("Data"));
    root.mkpath(QStringLiteral("copy"));
    const QDir work(root.filePath(QStringLiteral("work"))), templates(root.filePath(QStringLiteral("Data"))),
        copy(root.filePath(QStringLiteral("copy")));
    if (Error e = createDataSetFiles(templates))
        fail(e.message);
    if (Error e = createDataSetFiles(work))
        fail(e.message);

    QElapsedTimer timer;
    timer.start();
    const QDate day(2024, 3, 7);
    fill(work, QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), kFilings, [&](int i) {
        return QVariantList{QStringLiteral("2024%1").arg(i, 8, 10, QLatin1Char('0')), QStringLiteral("Partner %1 Kft.").arg(i % kPartners),
                            i % kPartners, QStringLiteral("SZ-%1/2024").arg(i), day.addDays(-(i % 3000)), QStringLiteral("Bérleti szerződés"),
                            i % 2, day, 0, QStringLiteral("Kezelési feljegyzés a(z) %1. iratról, ügyintéző: Kiss Éva.").arg(i),
                            day, QStringLiteral("A-%1").arg(i % 97), QStringLiteral("Megjegyzés %1").arg(i), QStringLiteral("Kiss Éva"), 0,
                            QStringLiteral("B"), QStringLiteral("SZ"), QString::number(i), QStringLiteral("1"), QStringLiteral("x"),
                            QStringLiteral("B/SZ/%1/1/x").arg(i), 1, 0, 0, 0};
    });
    fill(work, QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), kAttachments, [&](int i) {
        return QVariantList{QStringLiteral("2024%1").arg(i, 8, 10, QLatin1Char('0')), QStringLiteral("B/SZ/%1/1/x").arg(i),
                            QStringLiteral("C:\\Iratok\\Fotók\\kép-%1.jpg").arg(i), QStringLiteral("C:\\Iratok\\Szerződés-%1.docx").arg(i)};
    });
    fill(work, QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), kPartners, [&](int i) {
        return QVariantList{QStringLiteral("Partner %1 Kft.").arg(i), QStringLiteral("1%1").arg(i % 1000, 3, 10, QLatin1Char('0')),
                            QStringLiteral("Budapest"), QStringLiteral("Fő utca %1.").arg(i % 200), QStringLiteral("+36 1 %1").arg(i),
                            QString(), QString(), QStringLiteral("1234%1-2-41").arg(i % 10000, 4, 10, QLatin1Char('0')), QString(), i,
                            QStringLiteral("Nagy Ödön"), QStringLiteral("HU"), QStringLiteral("A")};
    });
    std::printf("data set: %d filing entries, %d attachments, %d partners, made in %.2f s\n", kFilings, kAttachments, kPartners,
                timer.nsecsElapsed() / 1e9);

    QStringList files;
    qint64 bytes = 0;
    for (const QString &name : rebuiltFileNames()) {
        const QString found = findFileIgnoringCase(work, name);
        files << work.filePath(found);
        bytes += QFileInfo(work.filePath(found)).size();
    }

    timer.restart();
    QProcess cp;
    cp.start(QStringLiteral("cp"), QStringList(files) << copy.absolutePath());
    if (!cp.waitForFinished(60000) || cp.exitCode() != 0)
        fail(QStringLiteral("cp failed"));
    const double copySeconds = timer.nsecsElapsed() / 1e9;

    QuietPlatform platform;
    setPlatform(&platform);
    maintenance::SilentRebuildObserver observer;
    timer.restart();
    maintenance::Rebuild rebuild(work, templates, observer);
    const auto outcome = rebuild.run();
    const double rebuildSeconds = timer.nsecsElapsed() / 1e9;
    setPlatform(nullptr);

    const bool complete = outcome == maintenance::Rebuild::Outcome::Finished && platform.prompts == 0 && rebuild.failedCopies() == 0 &&
                          rowsOf(work, QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix")) == kFilings &&
                          rowsOf(work, QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek")) == kAttachments &&
                          rowsOf(work, QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner")) == kPartners;
    // For comparison: the engine's own record transfer, which it uses only for
    // "INSERT INTO t SELECT * FROM s.t" between tables of identical structure.
    const QDir transfer(root.filePath(QStringLiteral("transfer")));
    root.mkpath(QStringLiteral("transfer"));
    double transferSeconds = 0;
    for (const QString &name : {QStringLiteral("Tarvix.tvd"), QStringLiteral("Torzsek.tvd")}) {
        QFile::copy(templates.filePath(name), transfer.filePath(name));
        timer.restart();
        Error error;
        auto db = Database::openPath(transfer.filePath(name), error);
        if (!db)
            fail(error.message);
        const QString saved = QDir(rebuild.backupFolderPath()).filePath(name);
        Connection::Source source;
        if (Error e = EngineAccess::connection(*db).openSource(saved, source))
            fail(e.message);
        for (const auto &t : db->tables()) {
            if (t.name == u"ORSZAGJEL")
                continue;
            if (Error e = EngineAccess::connection(*db).execute(
                    QStringLiteral("INSERT INTO main.%1 SELECT * FROM %2.%1").arg(quoteIdentifier(t.name), quoteIdentifier(source.qualifier))))
                fail(e.message);
        }
        EngineAccess::connection(*db).closeSource(source);
        transferSeconds += timer.nsecsElapsed() / 1e9;
    }

    std::printf("files: %.1f MB\n", bytes / 1048576.0);
    std::printf("cp of the five files: %.3f s\n", copySeconds);
    std::printf("rebuild:              %.3f s  (%.1fx the copy)\n", rebuildSeconds, rebuildSeconds / copySeconds);
    std::printf("engine's record transfer of the three large tables (SELECT *, for comparison): %.3f s\n", transferSeconds);
    std::printf("every row copied: %s\n", complete ? "yes" : qPrintable(QStringLiteral("NO — ") + platform.lastText));
    return complete ? 0 : 1;
}
