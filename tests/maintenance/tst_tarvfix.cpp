#include "common/commandline.h"
#include "maintenance/form1.h"
#include "rebuildfixture.h"
#include "support/scriptedplatform.h"

#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

using tvx::maintenance::Form1;

namespace {

// what the program hands the window once its own options are taken out
QString commandLine(const QStringList &arguments)
{
    return tvx::parseCommandLine(tvx::ProgramKind::Tarvfix, arguments).programText;
}

}  // namespace

class TestTarvfix : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowInTwips()
    {
        ScriptedPlatform platform;
        Folders f;
        Form1 form(f.work(), f.templates());
        QCOMPARE(form.objectName(), u"Form1"_s);
        QCOMPARE(form.windowTitle(), u"TARVFIX - Adatbázis frissítése/javítása- Tarvix"_s);
        const QList<QPair<const char *, QRect>> places{
            {"l1", {0, 0, 425, 17}},          {"pb1", {0, 24, 425, 25}},      {"l2", {0, 56, 425, 17}},
            {"pb2", {0, 80, 425, 25}},        {"Command1", {8, 112, 65, 41}}, {"Label1", {152, 112, 193, 17}},
            {"Command2", {352, 112, 65, 41}}, {"Label2", {112, 128, 195, 13}},
        };
        for (const auto &[name, rect] : places)
            QCOMPARE(form.findChild<QWidget *>(QString::fromLatin1(name))->geometry(), rect);
        QCOMPARE(form.findChild<QPushButton *>(u"Command1"_s)->text(), u"&Szerver"_s);
        QCOMPARE(form.findChild<QPushButton *>(u"Command2"_s)->text(), u"Kilép - ESC"_s);
        QCOMPARE(form.findChild<QLabel *>(u"Label2"_s)->text(), u"V.1.0 Tarvfix01 - https://tarvix.hu/frissites"_s);
        QCOMPARE(form.findChild<QLabel *>(u"Label2"_s)->toolTip(), u"Rákattintva Weblap"_s);
    }

    void titlesAreExactlyTheProgramsOwn()
    {
        // the desktop adds a display name to every window title; the program sets none
        tvx::maintenance::nameApplication();
        QCOMPARE(QCoreApplication::applicationName(), u"Tarvfix"_s);
        QCoreApplication::setApplicationName(u"más"_s);
        QCOMPARE(QGuiApplication::applicationDisplayName(), u"más"_s);
        tvx::maintenance::nameApplication();

        // messages without a title of their own leave it to the program's name
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        Form1 form(f.work(), f.templates());
        form.runServer();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, QString());
    }

    void onlySlashSRunsUnattended()
    {
        for (const QStringList &args : {QStringList{u"/s"_s, u"x"_s}, QStringList{u"-s"_s}, QStringList{u"--data-set"_s, u"/s"_s}, QStringList{}}) {
            ScriptedPlatform platform;
            Folders f;
            fillDataSet(f);
            Form1 form(f.work(), f.templates());
            QVERIFY(form.start(commandLine(args)));
            QVERIFY(form.isVisible());
            QVERIFY(platform.messages.isEmpty());
        }
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        const auto before = snapshot(f.work());
        Form1 form(f.work(), f.templates());
        QVERIFY(!form.start(commandLine({u"--data-set=."_s, u"/S"_s})));
        QVERIFY(!form.isVisible());
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), u"Karbantartás vége!"_s);
        QCOMPARE(snapshot(f.work()), before);
        QCOMPARE(snapshot(QDir(f.in(u"SAVE-20240307-123508"_s))), before);
        QCOMPARE(form.findChild<QProgressBar *>(u"pb1"_s)->value(), 5);
        QCOMPARE(form.findChild<QLabel *>(u"l1"_s)->text(), u"Adatbázis :regiszt.tvd"_s);
    }

    void enterRunsEscapeEndsAndABusyWindowStaysOpen()
    {
        ScriptedPlatform platform;
        Folders f;
        fillDataSet(f);
        QVERIFY(QFile::remove(f.templates().filePath(u"Torzsek.tvd"_s)));  // stops the run at the error prompt
        Form1 form(f.work(), f.templates());
        QVERIFY(form.start(QString()));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *buttons = form.findChild<QPushButton *>(u"Command1"_s);
        bool closed = true, escaped = true, enabled = true;
        platform.onMessage = [&](const ShownMessage &) {
            enabled = buttons->isEnabled();
            closed = form.close();
            QTest::keyClick(&form, Qt::Key_Escape);
            escaped = !form.isVisible();
        };
        QTest::keyClick(&form, Qt::Key_Return);
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.lastText().contains(u"Torzsek.tvd mintaállomány"_s));
        QCOMPARE(platform.messages[0].buttons, tvx::MessageButtons::YesNoDefaultNo);
        QCOMPARE(backedUp(f, u"SAVE-20240307-123508"_s), QStringList());  // nothing moved
        QVERIFY(!closed && !escaped && !enabled);
        // abandoned: idle again
        QVERIFY(buttons->isEnabled());
        QVERIFY(!form.isBusy());
        platform.onMessage = nullptr;
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void versionLabelOpensTheVendorPage()
    {
        ScriptedPlatform platform;
        Folders f;
        Form1 form(f.work(), f.templates());
        form.show();
        auto *label = form.findChild<QLabel *>(u"Label2"_s);
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(platform.started, QStringList{u"https://tarvix.hu/frissites"_s});
        platform.started.clear();
        platform.startSucceeds = false;
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(platform.started, (QStringList{u"https://tarvix.hu/frissites"_s, u"firefox|https://tarvix.hu/frissites|"_s}));
        QCOMPARE(platform.beeps, 2);
        QVERIFY(platform.messages.isEmpty());
    }

    // --db names the data set, whatever the folder holds
    void dbOptionNamesTheServerDataSet()
    {
        if (!testEngineIsServer())
            QSKIP("server data sets only");
        Folders f;
        fillDataSet(f);
        QTemporaryDir elsewhere;
        QProcess tarvfix;
        tarvfix.setProcessChannelMode(QProcess::MergedChannels);
        tarvfix.start(QStringLiteral(TARVFIX), {u"--check"_s, u"--data-set"_s, elsewhere.path(), u"--db"_s, f.conninfo()});
        QVERIFY(tarvfix.waitForFinished(60000));
        const QString output = QString::fromUtf8(tarvfix.readAll());
        QVERIFY2(output.contains(u"kiszolgáló: Tarvix.tvd – rendben"_s), qPrintable(output));
    }
};

QTEST_MAIN(TestTarvfix)
#include "tst_tarvfix.moc"
