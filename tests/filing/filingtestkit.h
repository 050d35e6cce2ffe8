#pragma once

// Filing entries written straight into a data set, and read back.

#include "data/datasource.h"
#include "support/tablerows.h"

#include <QDir>
#include <QTest>
#include <QVariantMap>

// Each entry: field name → value; fields not named stay null.
inline void addEntries(const QDir &dir, const QList<QVariantMap> &entries, const QString &file = QStringLiteral("Tarvix.tvd"))
{
    tvx::data::DataSource table(file, QStringLiteral("Tarvix"), nullptr, dir);
    QVERIFY(table.refresh());
    for (const QVariantMap &entry : entries) {
        QVERIFY(table.addNew());
        for (auto it = entry.begin(); it != entry.end(); ++it)
            QVERIFY2(table.setValue(it.key(), it.value()), qPrintable(it.key()));
        QVERIFY2(table.update(), qPrintable(table.lastError().message));
    }
}

// entries with these filing numbers, identified "1", "2", …
inline void addNumbers(const QDir &dir, const QStringList &numbers, const QString &field = QStringLiteral("Iktatószám"))
{
    QList<QVariantMap> entries;
    for (int i = 0; i < numbers.size(); ++i)
        entries << QVariantMap{{QStringLiteral("recordID"), QString::number(i + 1)}, {field, numbers[i]}};
    addEntries(dir, entries);
}

inline QList<QVariantList> storedEntries(const QDir &dir, const QString &file = QStringLiteral("Tarvix.tvd"))
{
    return tableRows(dir, file, QStringLiteral("select * from Tarvix"));
}

inline QStringList storedField(const QDir &dir, int position, const QString &file = QStringLiteral("Tarvix.tvd"))
{
    QStringList values;
    for (const QVariantList &row : storedEntries(dir, file))
        values << row.value(position).toString();
    return values;
}
