#include "data/recordlock.h"

#include "data/messages.h"
#include "data/names.h"

#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tvx::data {

QString LockFile::lockFilePath(const QString &databasePath)
{
    return databasePath + QStringLiteral("-lock");
}

qint64 LockFile::recordOffset(const QString &table, qint64 key)
{
    // FNV-1a over the folded table name, mixed with the row key; offsets stay
    // positive and below 2^62 so every platform accepts them.
    quint64 h = 1469598103934665603ULL;
    for (const QChar c : foldCase(table)) {
        h ^= c.unicode();
        h *= 1099511628211ULL;
    }
    h ^= quint64(key) * 0x9E3779B97F4A7C15ULL;
    h ^= h >> 29;
    const qint64 offset = qint64(h & ((quint64(1) << 62) - 1));
    return offset == kInUseOffset ? 1 : offset;
}

#ifdef _WIN32

LockFile::LockFile(const QString &databasePath)
{
    const std::wstring path = lockFilePath(databasePath).toStdWString();
    // a new file takes the folder's permissions, as the database file did
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        denied_ = GetLastError() == ERROR_ACCESS_DENIED && QFileInfo(databasePath).isWritable();
        return;
    }
    handle_ = h;
}

LockFile::~LockFile()
{
    if (handle_)
        CloseHandle(static_cast<HANDLE>(handle_));
}

bool LockFile::isOpen() const { return handle_ != nullptr; }

LockFile::Result LockFile::lock(qint64 offset, bool exclusive)
{
    if (!handle_)
        return denied_ ? Result::Denied : Result::Unavailable;
    OVERLAPPED ov{};
    ov.Offset = DWORD(offset & 0xffffffff);
    ov.OffsetHigh = DWORD(quint64(offset) >> 32);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(static_cast<HANDLE>(handle_), flags, 0, 1, 0, &ov))
        return Result::Acquired;
    return GetLastError() == ERROR_LOCK_VIOLATION ? Result::Busy : Result::NotSupported;
}

void LockFile::unlock(qint64 offset)
{
    if (!handle_)
        return;
    OVERLAPPED ov{};
    ov.Offset = DWORD(offset & 0xffffffff);
    ov.OffsetHigh = DWORD(quint64(offset) >> 32);
    UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &ov);
}

#else

LockFile::LockFile(const QString &databasePath)
{
    const QByteArray path = QFile::encodeName(lockFilePath(databasePath));
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        // made now: the database's read and write bits, not only the umask's
        struct stat database = {};
        if (::stat(QFile::encodeName(databasePath).constData(), &database) == 0)
            ::fchmod(fd_, database.st_mode & 0666);
        return;
    }
    if (errno == EEXIST)
        fd_ = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0 && (errno == EACCES || errno == EPERM))
        denied_ = ::access(QFile::encodeName(databasePath).constData(), W_OK) == 0;
}

LockFile::~LockFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool LockFile::isOpen() const { return fd_ >= 0; }

LockFile::Result LockFile::lock(qint64 offset, bool exclusive)
{
    if (fd_ < 0)
        return denied_ ? Result::Denied : Result::Unavailable;
    struct flock fl = {};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(offset);
    fl.l_len = 1;
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0)
        return Result::Acquired;
    return (errno == EAGAIN || errno == EACCES) ? Result::Busy : Result::NotSupported;
}

void LockFile::unlock(qint64 offset)
{
    if (fd_ < 0)
        return;
    struct flock fl = {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(offset);
    fl.l_len = 1;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
}

#endif

namespace {

class FileRecordLocker final : public RecordLocker {
public:
    FileRecordLocker(const QString &databasePath, QString fileName)
        : file_(databasePath), databasePath_(databasePath), fileName_(std::move(fileName))
    {
    }
    ~FileRecordLocker() override { FileRecordLocker::unlock(); }

    Error lock(const QString &table, qint64 key) override
    {
        const qint64 offset = LockFile::recordOffset(table, key);
        switch (file_.lock(offset, true)) {
        case LockFile::Result::Acquired: offset_ = offset; return {};
        case LockFile::Result::Busy: return messages::recordLocked();
        case LockFile::Result::Unavailable: return {};  // read-only medium: nobody can write anyway
        // writing without a lock could overwrite another workstation's edit unseen
        case LockFile::Result::Denied: return messages::lockFileDenied(LockFile::lockFilePath(databasePath_));
        case LockFile::Result::NotSupported: return messages::lockingNotSupported(fileName_);
        }
        return {};
    }

    void unlock() override
    {
        if (offset_ >= 0) {
            file_.unlock(offset_);
            offset_ = -1;
        }
    }

private:
    LockFile file_;
    QString databasePath_;
    QString fileName_;
    qint64 offset_ = -1;
};

}  // namespace

std::unique_ptr<RecordLocker> fileRecordLocker(const QString &databasePath, const QString &fileName)
{
    return std::make_unique<FileRecordLocker>(databasePath, fileName);
}

bool databaseInUse(const QString &databasePath)
{
    if (!QFileInfo::exists(LockFile::lockFilePath(databasePath)))
        return false;
    LockFile probe(databasePath);
    const LockFile::Result result = probe.lock(LockFile::kInUseOffset, true);
    // a lock file this user may not open, or a lock the system refuses, cannot tell: taken as in use
    if (result == LockFile::Result::Busy || result == LockFile::Result::Denied || result == LockFile::Result::NotSupported)
        return true;
    probe.unlock(LockFile::kInUseOffset);
    return false;
}

}  // namespace tvx::data
