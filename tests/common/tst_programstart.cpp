#include "common/programstart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Starting programs as the attachment screen does: a bare program name with
// a fixed working folder, and the path of a file as its argument.
class TestProgramStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aProgramInItsWorkingFolderGetsEachArgumentWhole()
    {
        QTemporaryDir folder;
        const QString output = folder.filePath(u"args.txt"_s);
        const QString program = u"tvx-nezo-"_s + QString::number(QCoreApplication::applicationPid());
        QFile script(folder.filePath(program));
        QVERIFY(script.open(QIODevice::WriteOnly));
        // writes the working folder and one argument per line, then the end mark
        script.write("#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; echo VEGE; } > args.tmp && mv args.tmp args.txt\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const QStringList arguments{u"--writer"_s, u"/home/iroda/Szerződés 2024 \"végleges\".odt"_s, u"a;b && c $(x)"_s};
        QVERIFY(tvx::startProgramDetached(program, arguments, folder.path()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(output), 10000);
        QFile written(output);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, QStringList{QDir(folder.path()).canonicalPath()} + arguments + QStringList{u"VEGE"_s});
    }

    void aProgramFoundNowhereIsNotStarted()
    {
        QTemporaryDir folder;
        QVERIFY(!tvx::startProgramDetached(u"winword.exe"_s, {u"x.doc"_s}, folder.path()));
        QVERIFY(!tvx::startProgramDetached(u"winword.exe"_s, {u"x.doc"_s}, u"/nincs/ilyen/mappa"_s));
        QVERIFY(!tvx::startProgramDetached(QString(), {}, QString()));
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_programstart.moc"
