#pragma once

// Starting clerks (tvx-clerk) on a data set, and the data set they start from.

#include "data/templates.h"
#include "filing/filingtestkit.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <memory>
#include <vector>

// A fresh data set as the first start of the program leaves it (the user
// "demo" without a password), with the one entry that every clerk edits.
inline void prepareClerkDataSet(const QDir &dir)
{
    const auto error = tvx::data::createDataSetFiles(dir);
    QVERIFY2(!error, qPrintable(error.message));
    {
    tvx::data::DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, dir);
    QVERIFY(users.refresh() && users.addNew() && users.setValue(0, QStringLiteral("demo")) && users.setValue(2, 1) &&
            users.setValue(3, QStringLiteral("Első indítás")) && users.update());
    }

    addEntries(dir, {{{QStringLiteral("recordID"), QStringLiteral("KOZOS")},
                      {QStringLiteral("IktatószámJelleg"), QStringLiteral("KÖZÖS")},
                      {QStringLiteral("IktatószámJel"), QStringLiteral("/")},
                      {QStringLiteral("IktatószámSzám"), QStringLiteral("1")},
                      {QStringLiteral("Iktatószám"), QStringLiteral("KÖZÖS/1")}}});
}

struct ClerkOptions {
    int clerk = 1;
    quint32 seed = 1;
    double seconds = 5;
    QString operations;     // empty: every operation
    qint64 dieAtWrite = 0;  // 0: never
};

inline std::unique_ptr<QProcess> startClerk(const QDir &dir, const QString &journal, const ClerkOptions &o)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{dir.path(), journal, QStringLiteral("--clerk"), QString::number(o.clerk), QStringLiteral("--seed"),
                     QString::number(o.seed), QStringLiteral("--seconds"), QString::number(o.seconds)};
    if (!o.operations.isEmpty())
        args << QStringLiteral("--ops") << o.operations;
    if (o.dieAtWrite > 0)
        args << QStringLiteral("--die-at-write") << QString::number(o.dieAtWrite);
    process->start(QStringLiteral(CLERK), args);
    process->waitForStarted();
    return process;
}

inline int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}
