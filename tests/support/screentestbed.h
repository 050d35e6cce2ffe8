#pragma once

// What every screen test starts from: a fresh data set as the working folder
// (screens open their files by bare name), a scripted platform and the
// session's start-up values. Derive the test class from it as well and call
// setUp() from init() and tearDown() from cleanup().

#include "common/session.h"
#include "support/scriptedplatform.h"
#include "support/testdataset.h"

#include <QDir>

#include <memory>

class ScreenTestBed {
protected:
    void setUp()
    {
        previousDir_ = QDir::currentPath();
        set = std::make_unique<TestDataSet>();
        QVERIFY(QDir::setCurrent(set->dir().path()));
        platform = std::make_unique<ScriptedPlatform>();
        tvx::currentUser() = tvx::CurrentUser{};
    }
    void tearDown()
    {
        platform.reset();
        QDir::setCurrent(previousDir_);
        set.reset();
    }

    std::unique_ptr<TestDataSet> set;
    std::unique_ptr<ScriptedPlatform> platform;

private:
    QString previousDir_;
};
