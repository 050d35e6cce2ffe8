#pragma once

// The engine's file layer for tests: it wraps the system's own, and a hook
// decides what each write, truncation and sync does — go through, fail as a
// full disk or a broken medium does, or end the process on the spot as a
// crash or a power cut would. Every database file of the process goes through it.

#include <functional>

namespace faultvfs {

enum class Operation { Write, Truncate, Sync };

// Returns 0 (SQLITE_OK) to let the operation run, or the engine's error code to
// fail it (SQLITE_FULL, SQLITE_IOERR_WRITE, …). `path` is the file's full path.
using Hook = std::function<int(Operation operation, const char *path, long long offset, int amount)>;

// Makes the wrapping layer the engine's default (once per process) and sets the hook.
void install(Hook hook);
// Every operation goes through again, and every file opens as it would.
void clear();

// Decides how a file opens (not counted as an operation): 0 as it would;
// SQLITE_READONLY opens it for reading only, as a file without write
// permission or on a read-only medium opens; any other engine code fails the
// opening with it, as a journal that cannot be made in a read-only folder
// does (SQLITE_READONLY_DIRECTORY, SQLITE_CANTOPEN). `flags` are the engine's
// open flags (SQLITE_OPEN_MAIN_DB, SQLITE_OPEN_MAIN_JOURNAL, …). Installs the
// wrapping layer when needed.
using OpenHook = std::function<int(const char *path, int flags)>;
void setOpenHook(OpenHook hook);

// Counts the operations that reached the hook since install().
long long operations();

}  // namespace faultvfs
