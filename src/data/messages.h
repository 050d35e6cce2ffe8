#pragma once

// The data layer's errors as the user reads them, each worded once.

#include "data/error.h"

namespace tvx::data::messages {

Error fileMissing(const QString &fileName);
Error noSuchTable(const QString &table, const QString &fileName);
Error noSuchField(const QString &table, const QString &field);
Error noSuchPosition(const QString &table, int position);  // position counts from 0
Error noCurrentRecord();
Error closed();
Error recordLocked();
// The record-lock file beside a database may not be written by this user.
Error lockFileDenied(const QString &lockFilePath);
// The file system refuses record locks (a share mounted without locking).
Error lockingNotSupported(const QString &fileName);
Error recordDeleted();
Error foreignBookmark();
Error noEditInProgress();
Error valueDoesNotFit(const QString &field, const QString &why);
Error tooDeep(int limit);
Error tooLong(int limit);
Error badLikePattern(const QString &pattern);

// What the engine or the file system refused, per kind, naming the file (its
// bare name) and what the user can do about it.
Error notADatabase(const QString &fileName);
Error emptyFile(const QString &fileName);
Error damaged(const QString &fileName);
Error readOnly(const QString &fileName);
Error diskFull(const QString &fileName);
Error ioFailure(const QString &fileName);
Error cannotOpen(const QString &fileName);
Error outOfMemory(const QString &fileName);
Error busy(const QString &fileName);
Error notExecuted(const QString &fileName);
// The database server: unreachable at opening, or the session lost meanwhile.
Error serverUnreachable(const QString &fileName);
Error serverConnectionLost(const QString &fileName);
// The session that held the record's lock was lost between edit and save.
Error recordLockLost(const QString &fileName);
// A rule of the table refused a value; `field` may be empty when unknown.
enum class Rule { Unknown, NotNull, Unique, Check };
Error ruleBroken(const QString &fileName, const QString &field, Rule rule);

}  // namespace tvx::data::messages
