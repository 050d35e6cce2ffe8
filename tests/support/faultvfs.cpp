#include "support/faultvfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace faultvfs {

namespace {

sqlite3_vfs *base = nullptr;
sqlite3_vfs wrapper;
std::mutex hookMutex;
Hook hook;
OpenHook openHook;
std::atomic<long long> counted{0};

struct File {
    sqlite3_file header;    // must come first: the engine sees this
    sqlite3_file *real;     // the system layer's file, allocated after this struct
    const char *path;
};

sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

int ask(sqlite3_file *f, Operation op, sqlite3_int64 offset, int amount)
{
    Hook current;
    {
        std::lock_guard lock(hookMutex);
        current = hook;
    }
    ++counted;
    return current ? current(op, reinterpret_cast<File *>(f)->path, offset, amount) : SQLITE_OK;
}

int xClose(sqlite3_file *f)
{
    const int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    return rc;
}
int xRead(sqlite3_file *f, void *p, int n, sqlite3_int64 o) { return real(f)->pMethods->xRead(real(f), p, n, o); }
int xWrite(sqlite3_file *f, const void *p, int n, sqlite3_int64 o)
{
    if (const int rc = ask(f, Operation::Write, o, n))
        return rc;
    return real(f)->pMethods->xWrite(real(f), p, n, o);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    if (const int rc = ask(f, Operation::Truncate, size, 0))
        return rc;
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file *f, int flags)
{
    if (const int rc = ask(f, Operation::Sync, 0, 0))
        return rc;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *s) { return real(f)->pMethods->xFileSize(real(f), s); }
int xLock(sqlite3_file *f, int l) { return real(f)->pMethods->xLock(real(f), l); }
int xUnlock(sqlite3_file *f, int l) { return real(f)->pMethods->xUnlock(real(f), l); }
int xCheckReservedLock(sqlite3_file *f, int *r) { return real(f)->pMethods->xCheckReservedLock(real(f), r); }
int xFileControl(sqlite3_file *f, int op, void *a) { return real(f)->pMethods->xFileControl(real(f), op, a); }
int xSectorSize(sqlite3_file *f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file *f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file *f, int i, int s, int e, void volatile **p) { return real(f)->pMethods->xShmMap(real(f), i, s, e, p); }
int xShmLock(sqlite3_file *f, int o, int n, int fl) { return real(f)->pMethods->xShmLock(real(f), o, n, fl); }
void xShmBarrier(sqlite3_file *f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file *f, int d) { return real(f)->pMethods->xShmUnmap(real(f), d); }
int xFetch(sqlite3_file *f, sqlite3_int64 o, int n, void **p) { return real(f)->pMethods->xFetch(real(f), o, n, p); }
int xUnfetch(sqlite3_file *f, sqlite3_int64 o, void *p) { return real(f)->pMethods->xUnfetch(real(f), o, p); }

const sqlite3_io_methods methods = {3,         xClose,        xRead,       xWrite,      xTruncate,          xSync,
                                    xFileSize, xLock,         xUnlock,     xCheckReservedLock, xFileControl, xSectorSize,
                                    xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap,   xFetch,
                                    xUnfetch};

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    auto *file = reinterpret_cast<File *>(f);
    file->real = reinterpret_cast<sqlite3_file *>(file + 1);
    file->path = name;
    std::memset(file->real, 0, size_t(base->szOsFile));
    OpenHook decide;
    {
        std::lock_guard lock(hookMutex);
        decide = openHook;
    }
    if (const int verdict = decide && name ? decide(name, flags) : SQLITE_OK) {
        if ((verdict & 0xff) != SQLITE_READONLY || !(flags & SQLITE_OPEN_READWRITE)) {
            f->pMethods = nullptr;
            return verdict;
        }
        // the system layer's own way with a file it may not write
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    }
    const int rc = base->xOpen(base, name, file->real, flags, outFlags);
    // without methods the engine never calls xClose, and neither do we
    f->pMethods = file->real->pMethods ? &methods : nullptr;
    return rc;
}

void registerWrapper()
{
    if (base)
        return;
    base = sqlite3_vfs_find(nullptr);
    wrapper = *base;
    wrapper.szOsFile = int(sizeof(File)) + base->szOsFile;
    wrapper.zName = "tvx-fault";
    wrapper.xOpen = xOpen;
    sqlite3_vfs_register(&wrapper, 1);
}

}  // namespace

void install(Hook h)
{
    {
        std::lock_guard lock(hookMutex);
        hook = std::move(h);
    }
    counted = 0;
    registerWrapper();
}

void setOpenHook(OpenHook h)
{
    {
        std::lock_guard lock(hookMutex);
        openHook = std::move(h);
    }
    registerWrapper();
}

void clear()
{
    std::lock_guard lock(hookMutex);
    hook = nullptr;
    openHook = nullptr;
}

long long operations() { return counted; }

}  // namespace faultvfs
