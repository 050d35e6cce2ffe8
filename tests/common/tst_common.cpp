#include "common/clock.h"
#include "common/datetimeid.h"
#include "common/funcs.h"
#include "common/hungarian.h"

#include <QDate>
#include <QTest>

class TestCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { tvx::useHungarianLocale(); }

    void nullToZero()
    {
        QCOMPARE(Funcs::NullToZero(QVariant()), QVariant(0.0));
        QCOMPARE(Funcs::NullToZero(QStringLiteral("12")), QVariant(12.0));
        QCOMPARE(Funcs::NullToZero(QStringLiteral("12,5")), QVariant(12.5));
        QCOMPARE(Funcs::NullToZero(7), QVariant(7.0));
        const QVariant empty = Funcs::NullToZero(QStringLiteral("nem szám"));
        QVERIFY(!empty.isValid());
        QCOMPARE(empty.toDouble(), 0.0);
        QCOMPARE(empty.toString(), QString());
        QVERIFY(!Funcs::NullToZero(QString()).isValid());
        // the locales would read these as numbers; nobody types them as one
        for (const char *notANumber : {"inf", "-inf", "nan", "Infinity"})
            QVERIFY2(!Funcs::NullToZero(QString::fromLatin1(notANumber)).isValid(), notANumber);
    }

    void nullToEmpty()
    {
        QCOMPARE(Funcs::NullToEmpty(QVariant()), QString());
        QCOMPARE(Funcs::NullToEmpty(QStringLiteral("Árvíz")), QStringLiteral("Árvíz"));
        QCOMPARE(Funcs::NullToEmpty(12), QStringLiteral("12"));
        QCOMPARE(Funcs::NullToEmpty(45308.5), QStringLiteral("45308,5"));
        QCOMPARE(Funcs::NullToEmpty(1234567.25), QStringLiteral("1234567,25"));
    }

    void dateTimeIdentifier_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("no leading zeros") << QDateTime(QDate(2024, 3, 7), QTime(12, 35, 8, 500)) << "202437" "45308,5";
        QTest::newRow("two-digit month and day") << QDateTime(QDate(2024, 11, 21), QTime(0, 0, 12)) << "2024112112";
        QTest::newRow("midnight") << QDateTime(QDate(2025, 1, 1), QTime(0, 0)) << "2025110";
        QTest::newRow("last centisecond") << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 990)) << "20251231" "86399,99";
        QTest::newRow("below one second") << QDateTime(QDate(2025, 2, 3), QTime(0, 0, 0, 250)) << "202523" "0,25";
        // seven significant digits of a single-precision value
        QTest::newRow("seven digits") << QDateTime(QDate(2025, 2, 3), QTime(13, 0, 0, 123)) << "202523" "46800,12";
    }
    void dateTimeIdentifier()
    {
        QFETCH(QDateTime, at);
        QFETCH(QString, identifier);
        const tvx::FixedClock clock(at);
        QCOMPARE(tvx::dateTimeIdentifier(clock), identifier);
        QCOMPARE(tvx::dateTimeIdentifier(at, QLocale::c()), QString(identifier).replace(u',', u'.'));
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
