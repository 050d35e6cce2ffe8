#include "common/search.h"

#include "data/datasource.h"
#include "data/jetsql.h"

namespace tvx {

QString findCriteria(const QString &prefix, const QString &value) { return prefix + data::jet::quoted(value, u'"'); }

SearchResult promptAndFind(QWidget *screen, data::DataSource &source, const SearchPrompt &search)
{
    const data::Bookmark before = source.bookmark();
    const QString answer = platform().input(screen, search.title, search.text);
    if (answer.isEmpty() && !search.emptyAnswerSearches)
        return SearchResult::Cancelled;

    if (!source.findFirst(findCriteria(search.criteriaPrefix, answer + search.appended)))
        return SearchResult::Failed;
    if (!source.noMatch())
        return SearchResult::Found;

    reportProblem(screen, search.notFoundTitle, search.notFoundText, search.notFoundIcon);
    // after a miss the position is undefined
    const bool back = search.afterMiss == SearchPrompt::AfterMiss::PreviousRecord && before.isValid() && source.setBookmark(before);
    if (!back) {
        source.clearError();
        source.moveFirst();
    }
    source.clearError();
    return SearchResult::NotFound;
}

void findAsYouType(data::DataSource &source, const QString &field, const QString &text)
{
    if (text.isEmpty())
        return;
    platform().setBusyPointer(true);
    if (!source.findFirst(findCriteria(QStringLiteral("[%1] like ").arg(field), text + u'*')))
        source.clearError();
    platform().setBusyPointer(false);
}

}  // namespace tvx
