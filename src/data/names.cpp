#include "data/names.h"

namespace tvx::data {

QString foldCase(const QString &text)
{
    return text.toCaseFolded();
}

bool sameName(const QString &a, const QString &b)
{
    return a == b || foldCase(a) == foldCase(b);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString findFileIgnoringCase(const QDir &directory, const QString &bareName)
{
    const QStringList entries = directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (entries.contains(bareName))
        return bareName;
    const QString wanted = foldCase(bareName);
    for (const QString &entry : entries) {
        if (foldCase(entry) == wanted)
            return entry;
    }
    return {};
}

}  // namespace tvx::data
