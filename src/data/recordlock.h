#pragma once

// Record locks between data sources and between processes: byte-range locks
// on a small lock file beside each database file. Every handle has its own
// open file description, so two data sources of one process exclude each
// other as two processes do; the system drops the locks of a process that dies.
// A new lock file gets the database file's read and write permissions, so that
// everyone who may write the database may also lock its records.

#include "data/error.h"

#include <QString>

#include <memory>

namespace tvx::data {

// The record lock of one record set: one record at a time, and kept apart
// from every other record set, of this process or another.
class RecordLocker {
public:
    virtual ~RecordLocker() = default;
    // No error: the record is this record set's until unlock(). Otherwise
    // "locked by another" or why no lock can be had here.
    virtual Error lock(const QString &table, qint64 key) = 0;
    virtual void unlock() = 0;
    // Before a locked record is written: whether the lock taken is still held
    // (a server session can be lost meanwhile, and its locks with it).
    virtual Error stillHeld() const { return {}; }
};

// Locks in the lock file beside a database file.
std::unique_ptr<RecordLocker> fileRecordLocker(const QString &databasePath, const QString &fileName);

class LockFile {
public:
    explicit LockFile(const QString &databasePath);
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    bool isOpen() const;

    // Unavailable: no lock file can be made here (a read-only medium, where
    // nobody can write the database either). Denied: the lock file exists but
    // this user may not open it for writing (it belongs to another user).
    // NotSupported: the file system refused the lock call itself (a network
    // share mounted without locking).
    enum class Result { Acquired, Busy, Unavailable, Denied, NotSupported };
    Result lock(qint64 offset, bool exclusive);
    void unlock(qint64 offset);

    // Offset 0 marks "the database is open": shared by every user, exclusive
    // only for a program that must have the file to itself.
    static constexpr qint64 kInUseOffset = 0;
    static qint64 recordOffset(const QString &table, qint64 key);
    static QString lockFilePath(const QString &databasePath);

private:
    bool denied_ = false;
#ifdef _WIN32
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// True when another data source or program has the database file open.
bool databaseInUse(const QString &databasePath);

}  // namespace tvx::data
