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
Error recordDeleted();
Error foreignBookmark();
Error noEditInProgress();
Error valueDoesNotFit(const QString &field, const QString &why);
Error tooDeep(int limit);
Error tooLong(int limit);
Error badLikePattern(const QString &pattern);

}  // namespace tvx::data::messages
