#pragma once

#include "data/templates.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A fresh data set (the six database files with their default rows) in a
// temporary folder that is removed with the object.
class TestDataSet {
public:
    TestDataSet()
    {
        QVERIFY2(tmp_.isValid(), "no temporary folder");
        const auto error = tvx::data::createDataSetFiles(dir());
        if (error)
            qFatal("%s", qPrintable(error.message));
    }
    QDir dir() const { return QDir(tmp_.path()); }
    QString path(const QString &name) const { return dir().filePath(name); }

private:
    QTemporaryDir tmp_;
};
