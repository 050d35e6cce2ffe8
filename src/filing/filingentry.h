#pragma once

// The filing entry without a window: the filing number, the searches over it,
// a new entry's identifier and the deletion that archives first.

#include "data/error.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <span>

namespace tvx {
class Clock;
namespace data {
class DataSource;
}
}  // namespace tvx

namespace tvx::filing {

// The five parts joined as they are: no separator, nothing trimmed.
QString composeFilingNumber(const QStringList &parts);

// One of the searches over the filing number: the prompt, the find criteria
// and, on a match, the filter to the entries that share the found value.
struct FieldSearch {
    QString caption;   // of the button
    QString button;    // its object name
    QString field;
    QString title;     // of the prompt
    QString prompt;
    QString notFound;
    bool filterWithLike;  // the whole number filters with like, the parts with =
};
std::span<const FieldSearch> fieldSearches();

// The statement of the list after a match: the entries whose field equals
// (or, for the whole number, matches under like) the value found, taken
// literally: its quotes and wildcards stand for themselves.
QString filterStatement(const FieldSearch &search, const QString &foundValue);
QString wholeTableStatement();

// Appends a new entry to `entries` and saves it at once: an identifier made
// from the clock, and `today` as its three dates; it becomes the current
// record. The identifier is never one that `entries`' table or `archive`'s
// already holds (another workstation may make one in the same instant): a
// taken one is made again from a later reading. False with the error pending
// on `entries` when the entry could not be saved.
bool addEntry(data::DataSource &entries, data::DataSource &archive, const Clock &clock, QString &identifier);

// Deletion that archives first. The current entry, as the file holds it,
// becomes a new row of `archive`, field by field in table order; only when
// that row is saved and reads back equal to the entry is the entry deleted.
enum class Archiving {
    Deleted,         // archived and deleted; the record after it is current
    EntryLocked,     // archived, but another program holds the entry: it stays
    NothingDeleted,  // the archive row could not be written whole: no row
                     // stays in the archive, the entry stays
};
struct ArchivingResult {
    Archiving outcome = Archiving::NothingDeleted;
    data::Error error;  // why, for EntryLocked and NothingDeleted
};
ArchivingResult archiveAndDelete(data::DataSource &entries, data::DataSource &archive);

// The field names of the entry table, in table order.
const QStringList &entryFields();

}  // namespace tvx::filing
