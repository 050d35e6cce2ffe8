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
// Every operation goes through again.
void clear();

// Counts the operations that reached the hook since install().
long long operations();

}  // namespace faultvfs
