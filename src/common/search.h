#pragma once

// The prompted search of the screens: ask for a pattern, find the first record
// that matches it, and say so when none does.

#include "common/platform.h"

#include <QString>

class QWidget;

namespace tvx {

namespace data {
class DataSource;
}

struct SearchPrompt {
    QString title;           // of the input prompt
    QString text;            // of the input prompt
    QString criteriaPrefix;  // the find criteria before the quoted value, e.g. "[BerNev] like "
    QString appended;        // added to the answer inside the quotes, e.g. "*"
    QString notFoundText;
    QString notFoundTitle;   // empty: the program's title
    MessageIcon notFoundIcon = MessageIcon::None;
    // An empty answer (also Cancel) does nothing, unless the screen searches
    // with `appended` alone then (the partner and country searches).
    bool emptyAnswerSearches = false;
    // After a miss: the first record, or the record current before the search
    // (the first when that one cannot be reached any more).
    enum class AfterMiss { FirstRecord, PreviousRecord } afterMiss = AfterMiss::FirstRecord;
};

enum class SearchResult {
    Cancelled,  // empty answer: nothing changed
    Found,      // the first match is the current record
    NotFound,   // beep and the message shown, moved as `afterMiss` says
    Failed,     // the find itself failed (e.g. the record left could not be
                // saved): nothing moved, the failure is pending on the source
};

// Find criteria: the prefix and the value between double quotes, a double
// quote inside the value doubled. Wildcards keep their meaning.
QString findCriteria(const QString &prefix, const QString &value);

SearchResult promptAndFind(QWidget *screen, data::DataSource &source, const SearchPrompt &search);

// Find as you type: moves to the first record whose `field` begins with
// `text`. An empty text moves nothing; no match says nothing and leaves the
// record where it is.
void findAsYouType(data::DataSource &source, const QString &field, const QString &text);

}  // namespace tvx
