#pragma once

#include <QString>

namespace tvx::data {

enum class ErrorCode {
    None,
    FileMissing,       // the database file does not exist
    NotADatabase,      // unreadable, or not a database file
    NoSuchTable,
    NoSuchField,
    BadStatement,      // malformed statement, criteria or sort text
    NoCurrentRecord,   // empty record set, or before the first / after the last record
    Locked,            // the record is being edited through another data source or program
    Busy,              // the file stayed locked by another writer
    ValueDoesNotFit,   // text in a number field, a date that is no date, text over its size
    RecordDeleted,     // the record was deleted meanwhile
    Closed,            // the record set is closed
    Io,                // any other failure of the engine or the file system
    Refused,           // a guarded save's own check refused it
};

struct Error {
    ErrorCode code = ErrorCode::None;
    QString message;  // Hungarian, fit to show to the user

    explicit operator bool() const { return code != ErrorCode::None; }
    static Error none() { return {}; }
};

}  // namespace tvx::data
