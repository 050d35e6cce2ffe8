#include "names.h"

namespace tvx::data {

QString foldCase(const QString &text)
{
    return text.toCaseFolded();
}

bool sameName(const QString &a, const QString &b)
{
    return a.size() == b.size() ? a.compare(b, Qt::CaseInsensitive) == 0 || foldCase(a) == foldCase(b)
                                : foldCase(a) == foldCase(b);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString findFileIgnoringCase(const QDir &directory, const QString &bareName)
{
    if (QFileInfo::exists(directory.filePath(bareName))) {
        // The exact spelling exists; on a case-insensitive file system it may
        // still be spelled differently on disk, which does not matter there.
        const QStringList exact = directory.entryList({bareName}, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        if (exact.contains(bareName) || exact.isEmpty())
            return bareName;
    }
    const QString wanted = foldCase(bareName);
    const QStringList entries = directory.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (foldCase(entry) == wanted)
            return entry;
    }
    return {};
}

QString resolveFile(const QDir &directory, const QString &bareName)
{
    const QString found = findFileIgnoringCase(directory, bareName);
    return directory.filePath(found.isEmpty() ? bareName : found);
}

}  // namespace tvx::data
