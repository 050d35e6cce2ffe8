// Our reader against pandoc's, on the samples and on the user manual once it
// is generated. More files: TVX_RTF_COMPARE, paths separated like PATH.

#include "pandoccompare.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class TestRtfPandoc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameWords_data()
    {
        QTest::addColumn<QString>("path");
        const QDir samples(QStringLiteral(TVX_RTF_SAMPLES));
        for (const QString &name : samples.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << samples.filePath(name);
        QStringList more = qEnvironmentVariable("TVX_RTF_COMPARE").split(QDir::listSeparator(), Qt::SkipEmptyParts);
        if (QFileInfo::exists(QStringLiteral(TVX_MANUAL_RTF)))
            more.prepend(QStringLiteral(TVX_MANUAL_RTF));
        for (const QString &path : more)
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }
    void sameWords()
    {
        if (rtftest::pandocPath().isEmpty())
            QSKIP("pandoc is not installed");
        QFETCH(QString, path);
        const QString difference = rtftest::compareWithPandoc(path);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // The copy pandoc reads means the same: only \uN gains its delimiter.
    void spacedUnicode()
    {
        QCOMPARE(rtftest::spacedUnicode("a\\u337?b\\u-3913 c\\\\u1x\\bin3 \\u1d\\ul\\u5"),
                 QByteArray("a\\u337 ?b\\u-3913 c\\\\u1x\\bin3 \\u1d\\ul\\u5 "));
    }
};

QTEST_GUILESS_MAIN(TestRtfPandoc)
#include "tst_rtfpandoc.moc"
