#include "reliability/faultkit.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace faults {

namespace {

// Before main, while the process has one thread (the only time the system
// lets it leave the shared mount table). Mounts made afterwards are seen by
// nobody else and go when the process does, however it ends.
bool privateMounts()
{
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0)
        return false;
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

const bool mountsOfOurOwn = privateMounts();

int pageSizeOf(const QByteArray &file)
{
    if (file.size() < 100)
        return 4096;
    const int size = (quint8(file[16]) << 8) | quint8(file[17]);
    return size == 1 ? 65536 : (size >= 512 ? size : 4096);
}

}  // namespace

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString breakageName(Breakage breakage)
{
    switch (breakage) {
    case Breakage::Text: return QStringLiteral("szöveg");
    case Breakage::Empty: return QStringLiteral("üres");
    case Breakage::Noise: return QStringLiteral("zaj");
    case Breakage::CutInHeader: return QStringLiteral("fejlécben vágva");
    case Breakage::CutMidPage: return QStringLiteral("lap közepén vágva");
    case Breakage::LastPageMissing: return QStringLiteral("utolsó lap nélkül");
    case Breakage::DamagedPages: return QStringLiteral("sérült lapok");
    }
    return {};
}

const QList<Breakage> &allBreakages()
{
    static const QList<Breakage> all{Breakage::Text,        Breakage::Empty,      Breakage::Noise,
                                     Breakage::CutInHeader, Breakage::CutMidPage, Breakage::LastPageMissing,
                                     Breakage::DamagedPages};
    return all;
}

bool breakFile(const QString &path, Breakage breakage)
{
    const QByteArray file = readBytes(path);
    const int page = pageSizeOf(file);
    switch (breakage) {
    case Breakage::Text:
        return writeBytes(path, QByteArray("Kedves Kollégák!\nEz a levél véletlenül került ide az adatbázis helyére.\n").repeated(40));
    case Breakage::Empty: return writeBytes(path, {});
    case Breakage::Noise: {
        QRandomGenerator random(20240307);
        QByteArray noise(3 * page, Qt::Uninitialized);
        for (char &c : noise)
            c = char(random.bounded(256));
        return writeBytes(path, noise);
    }
    case Breakage::CutInHeader: return writeBytes(path, file.left(60));
    case Breakage::CutMidPage: {
        const qsizetype pages = file.size() / page;
        return pages >= 2 && writeBytes(path, file.left((pages / 2) * page + page / 2));
    }
    case Breakage::LastPageMissing: return file.size() >= 2 * page && writeBytes(path, file.left(file.size() - page));
    case Breakage::DamagedPages: {
        if (file.size() < 2 * page)
            return false;
        QRandomGenerator random(7);
        QByteArray damaged = file;
        for (qsizetype i = page; i < damaged.size(); ++i)
            damaged[i] = char(random.bounded(256));
        return writeBytes(path, damaged);
    }
    }
    return false;
}

QString brokenMessageStart(const QString &fileName, Breakage breakage)
{
    switch (breakage) {
    case Breakage::Text:
    case Breakage::Noise: return QStringLiteral("A(z) %1 állomány nem olvasható adatbázis: a tartalma nem adatbázis.").arg(fileName);
    case Breakage::Empty: return QStringLiteral("A(z) %1 állomány nem olvasható adatbázis: üres (0 bájt).").arg(fileName);
    case Breakage::CutInHeader:
    case Breakage::CutMidPage:
    case Breakage::LastPageMissing:
    case Breakage::DamagedPages: return QStringLiteral("A(z) %1 állomány sérült (csonka vagy hibás adatbázis).").arg(fileName);
    }
    return {};
}

QString integrity(const QString &path)
{
    sqlite3 *db = nullptr;
    QString result;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                result += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        } else {
            result = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
    } else {
        result = QStringLiteral("nem nyitható meg");
    }
    sqlite3_close_v2(db);
    return result;
}

QString contentsOf(const QDir &dir)
{
    QString all;
    for (const QString &name : dir.entryList({QStringLiteral("*.tvd")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        all += QStringLiteral("== %1\n").arg(name);
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(dir.filePath(name)).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            all += QStringLiteral("(nem nyitható meg)\n");
            sqlite3_close_v2(db);
            continue;
        }
        QStringList tables;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        } else {
            all += QString::fromUtf8(sqlite3_errmsg(db)) + u'\n';
        }
        sqlite3_finalize(st);
        for (const QString &table : std::as_const(tables)) {
            all += QStringLiteral("-- %1\n").arg(table);
            const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table).toUtf8();
            if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
                continue;
            while (sqlite3_step(st) == SQLITE_ROW) {
                QStringList values;
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    values << (sqlite3_column_type(st, c) == SQLITE_NULL
                                   ? QStringLiteral("<null>")
                                   : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
                all += values.join(u'|') + u'\n';
            }
            sqlite3_finalize(st);
        }
        sqlite3_close_v2(db);
    }
    return all;
}

bool looksForeign(const QString &text)
{
    static const QStringList foreign{QStringLiteral("database"), QStringLiteral("disk"),     QStringLiteral("malformed"),
                                     QStringLiteral("readonly"), QStringLiteral("read-only"), QStringLiteral("constraint"),
                                     QStringLiteral("SQL"),      QStringLiteral("no such"),   QStringLiteral("unable"),
                                     QStringLiteral("attempt"),  QStringLiteral("file is"),   QStringLiteral("error")};
    for (const QString &word : foreign) {
        if (text.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool canMount() { return mountsOfOurOwn; }

ReadOnlyMount::ReadOnlyMount(const QString &dir) : dir_(dir)
{
    if (!canMount())
        return;
    const QByteArray path = QFile::encodeName(dir);
    if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return;
    if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        umount2(path.constData(), MNT_DETACH);
        return;
    }
    mounted_ = true;
}

ReadOnlyMount::~ReadOnlyMount()
{
    if (mounted_)
        umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
}

SmallDisk::SmallDisk(const QString &dir, qint64 bytes) : dir_(dir)
{
    if (!canMount())
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    mounted_ = mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
}

bool SmallDisk::fill()
{
    const QByteArray path = QFile::encodeName(QDir(dir_).filePath(QStringLiteral("kitolto.bin")));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    bool full = false;
    for (;;) {
        if (::write(fd, block.constData(), size_t(block.size())) < 0) {
            full = errno == ENOSPC;
            break;
        }
    }
    ::close(fd);
    return full;
}

void SmallDisk::release() { QFile::remove(QDir(dir_).filePath(QStringLiteral("kitolto.bin"))); }

}  // namespace faults
