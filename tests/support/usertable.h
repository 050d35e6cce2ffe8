#pragma once

// Rows of Users written and read through a data source of their own, as
// another screen or program would see them.

#include "data/datasource.h"
#include "support/tablerows.h"

#include <QDir>
#include <QTest>

struct UserRow {
    QVariant name, password, level;
};

inline void addUsers(const QDir &dir, const QList<UserRow> &rows)
{
    tvx::data::DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, dir);
    QVERIFY(users.refresh());
    for (const UserRow &r : rows) {
        QVERIFY(users.addNew());
        if (!r.name.isNull())
            QVERIFY(users.setValue(0, r.name));
        if (!r.password.isNull())
            QVERIFY(users.setValue(1, r.password));
        if (!r.level.isNull())
            QVERIFY(users.setValue(2, r.level));
        QVERIFY2(users.update(), qPrintable(users.lastError().message));
    }
}

// every row of Users, each field in table order
inline QList<QVariantList> userRows(const QDir &dir) { return tableRows(dir, QStringLiteral("regiszt.tvd"), QStringLiteral("Users")); }

inline QStringList userNames(const QDir &dir)
{
    QStringList names;
    for (const QVariantList &row : userRows(dir))
        names << row.value(0).toString();
    return names;
}

// the stored password of the rows named exactly `name`
inline QStringList storedPasswords(const QDir &dir, const QString &name)
{
    QStringList passwords;
    for (const QVariantList &row : userRows(dir))
        if (row.value(0).toString() == name)
            passwords << row.value(1).toString();
    return passwords;
}
