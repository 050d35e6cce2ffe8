#include "form1.h"
#include "rebuildfixture.h"
#include "scripted.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using tvx::maintenance::Form1;

namespace {

const QString kBackup = QStringLiteral("SAVE-20240307-123508");

template <typename T>
T *child(QWidget &form, const char *name)
{
    return form.findChild<T *>(QString::fromLatin1(name));
}

}  // namespace

class TestTarvfix : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowLayout()
    {
        ScriptedPlatform platform;
        Folders folders;
        Form1 form(folders.work(), folders.templates());
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(form.windowTitle(), QStringLiteral("TARVFIX - Adatbázis frissítése/javítása- Tarvix"));
        // twips at 15 to a pixel
        const QList<QPair<const char *, QRect>> places{
            {"l1", {0, 0, 425, 17}},          {"pb1", {0, 24, 425, 25}},     {"l2", {0, 56, 425, 17}},
            {"pb2", {0, 80, 425, 25}},        {"Command1", {8, 112, 65, 41}}, {"Label1", {152, 112, 193, 17}},
            {"Command2", {352, 112, 65, 41}}, {"Label2", {112, 128, 195, 13}},
        };
        for (const auto &[name, rect] : places) {
            auto *widget = child<QWidget>(form, name);
            QVERIFY2(widget, name);
            QCOMPARE(widget->geometry(), rect);
        }
        QCOMPARE(child<QPushButton>(form, "Command1")->text(), QStringLiteral("&Szerver"));
        QVERIFY(child<QPushButton>(form, "Command1")->isDefault());
        QCOMPARE(child<QPushButton>(form, "Command2")->text(), QStringLiteral("Kilép - ESC"));
        auto *version = child<QLabel>(form, "Label2");
        QCOMPARE(version->text(), QStringLiteral("V.1.0 Tarvfix01 - https://tarvix.hu/frissites"));
        QCOMPARE(version->toolTip(), QStringLiteral("Rákattintva Weblap"));
    }

    void commandLine()
    {
        using namespace tvx::maintenance;
        QCOMPARE(commandLineText({QStringLiteral("tarvfix"), QStringLiteral("/s"), QStringLiteral("x")}), QStringLiteral("/s x"));
        QCOMPARE(commandLineText({QStringLiteral("tarvfix")}), QString());
        QVERIFY(isUnattended(QStringLiteral("/s")));
        QVERIFY(isUnattended(QStringLiteral("/S")));
        for (const char *other : {"", "/s x", "-s", "s", " /s", "/ss"})
            QVERIFY2(!isUnattended(QString::fromLatin1(other)), other);
    }

    void unattendedRunRebuildsAndCloses()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        bool busyAtEnd = true;
        platform.onMessage = [&](const ShownMessage &) { busyAtEnd = platform.busy; };

        Form1 form(folders.work(), folders.templates());
        const QString line = tvx::maintenance::commandLineText({QStringLiteral("tarvfix"), QStringLiteral("/S")});
        QVERIFY(!form.start(line));
        QVERIFY(!form.isVisible());
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        QVERIFY(!busyAtEnd);
        QCOMPARE(databaseFilesIn(QDir(folders.work().filePath(kBackup))).size(), 6);  // five files and the report
        QCOMPARE(tableRows(folders.work().filePath(QStringLiteral("Torzsek.tvd")), QStringLiteral("BePartner")).size(), 2);
        QCOMPARE(child<QProgressBar>(form, "pb1")->value(), 5);
        QCOMPARE(child<QLabel>(form, "l1")->text(), QStringLiteral("Adatbázis :regiszt.tvd"));
        QCOMPARE(child<QLabel>(form, "l2")->text(), QStringLiteral("Tábla :Regisztrálás"));
    }

    void otherCommandLinesWaitForTheUser()
    {
        for (const char *line : {"/s x", "-s", ""}) {
            ScriptedPlatform platform;
            Folders folders;
            fillDataSet(folders.work());
            Form1 form(folders.work(), folders.templates());
            QVERIFY(form.start(QString::fromLatin1(line)));
            QVERIFY(form.isVisible());
            QVERIFY(platform.messages.isEmpty());
            QVERIFY(!folders.work().exists(kBackup));
            QVERIFY(child<QPushButton>(form, "Command1")->isEnabled());
        }
    }

    void enterRunsAndEscapeEnds()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());
        QVERIFY(!tvx::data::createDataSetFiles(folders.templates()));
        Form1 form(folders.work(), folders.templates());
        QVERIFY(form.start(QString()));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_Return);
        QCOMPARE(platform.lastText(), QStringLiteral("Karbantartás vége!"));
        QVERIFY(folders.work().exists(kBackup));
        QVERIFY(form.isVisible());
        QVERIFY(child<QPushButton>(form, "Command2")->isEnabled());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void closingIsRefusedWhileARunIsBusy()
    {
        ScriptedPlatform platform;
        Folders folders;
        fillDataSet(folders.work());  // no templates: the first copy stops at the error prompt
        Form1 form(folders.work(), folders.templates());
        QVERIFY(form.start(QString()));
        bool closed = true, escaped = true, buttonsEnabled = true;
        platform.onMessage = [&](const ShownMessage &) {
            buttonsEnabled = child<QPushButton>(form, "Command1")->isEnabled() || child<QPushButton>(form, "Command2")->isEnabled();
            closed = form.close();
            QTest::keyClick(&form, Qt::Key_Escape);
            escaped = !form.isVisible();
        };
        child<QPushButton>(form, "Command1")->click();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, QStringLiteral("Hiba! Folytatás esetén adatsérülés lehet!"));
        QVERIFY(!closed);
        QVERIFY(!escaped);
        QVERIFY(!buttonsEnabled);
        // abandoned: idle again
        QVERIFY(!form.isBusy());
        QVERIFY(child<QPushButton>(form, "Command1")->isEnabled());
        QVERIFY(!platform.busy);
        platform.onMessage = nullptr;
        QVERIFY(form.close());
    }

    void versionLabelOpensTheVendorPage()
    {
        ScriptedPlatform platform;
        Folders folders;
        Form1 form(folders.work(), folders.templates());
        form.show();
        auto *version = child<QLabel>(form, "Label2");
        QTest::mouseClick(version, Qt::LeftButton);
        QCOMPARE(platform.started, QStringList{QStringLiteral("https://tarvix.hu/frissites")});
        QCOMPARE(platform.beeps, 0);

        platform.started.clear();
        platform.startSucceeds = false;
        QTest::mouseClick(version, Qt::LeftButton);
        QCOMPARE(platform.started, (QStringList{QStringLiteral("https://tarvix.hu/frissites"),
                                                QStringLiteral("firefox|https://tarvix.hu/frissites|")}));
        QCOMPARE(platform.beeps, 2);
        QVERIFY(platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestTarvfix)
#include "tst_tarvfix.moc"
