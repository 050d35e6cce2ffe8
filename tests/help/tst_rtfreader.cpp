#include "help/rtfreader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

using tvx::help::readRtf;
using tvx::help::RtfLimits;
using tvx::help::rtfPlainText;

namespace {

QByteArray sample(const QString &name)
{
    QFile file(QStringLiteral(TVX_RTF_SAMPLES "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

QStringList sampleNames()
{
    return QDir(QStringLiteral(TVX_RTF_SAMPLES)).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
}

QByteArray rtf(const QByteArray &body)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}") + body + "}";
}

// Whitespace collapsed, as a reader of the text sees it.
QString words(const QString &text)
{
    return text.simplified();
}

QStringList lines(const QByteArray &data)
{
    return rtfPlainText(data).split(u'\n');
}

// The format of the first (or `last`) character of the first `text` in `doc`.
QTextCharFormat charFormat(const QTextDocument &doc, const QString &text, bool last = false)
{
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(last ? found.selectionEnd() : found.selectionStart() + 1);
    return at.charFormat();
}

QTextBlockFormat blockFormat(const QTextDocument &doc, const QString &text)
{
    return doc.find(text).blockFormat();
}

QList<QTextTable *> tablesOf(QTextDocument &doc)
{
    QList<QTextTable *> found;
    for (QTextFrame *frame : doc.rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame))
            found.append(table);
    return found;
}

QString cellText(QTextTable *table, int row, int column)
{
    QTextCursor c = table->cellAt(row, column).firstCursorPosition();
    c.setPosition(table->cellAt(row, column).lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText();
}

QList<QTextImageFormat> images(const QTextDocument &doc)
{
    QList<QTextImageFormat> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                found.append(it.fragment().charFormat().toImageFormat());
    return found;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

}  // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void notRtf_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Árvíztűrő tükörfúrógép");
        QTest::newRow("cut header") << QByteArray("{\\rt");
        QTest::newRow("space before") << QByteArray(" {\\rtf1 x}");
        QTest::newRow("html") << QByteArray("<html><body>{\\rtf1}</body></html>");
    }
    void notRtf()
    {
        QFETCH(QByteArray, input);
        QTextDocument doc(QStringLiteral("régi tartalom"));
        QVERIFY(!readRtf(input, doc));
        QVERIFY(doc.isEmpty());
        QCOMPARE(rtfPlainText(input), QString());
    }

    void codePages()
    {
        QTextDocument doc;
        QVERIFY(readRtf(sample(QStringLiteral("ekezetek_word.rtf")), doc));
        QCOMPARE(doc.metaInformation(QTextDocument::DocumentTitle), QStringLiteral("Árvíztűrő próba"));
        const QStringList text = doc.toPlainText().split(u'\n');
        QCOMPARE(text.value(0), QStringLiteral("Ékezetes betűk"));
        QCOMPARE(text.value(1), QStringLiteral("Kódlappal: ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP, árvíztűrő tükörfúrógép."));
        QCOMPARE(text.value(2), QStringLiteral("Unicode-dal: Árvíztűrő tükörfúrógép."));
        QCOMPARE(text.value(3), QStringLiteral("Nyugati kódlapon: François, señor, naïve."));  // \fcharset0 beats \ansicpg1250
        QCOMPARE(text.value(4), QStringLiteral("Привет, мир!"));                                // \fcharset204
        QCOMPARE(text.value(5), QStringLiteral("Euró: €100, japán: あい, mosoly: 😀, „idézet”."));
        QCOMPARE(text.size(), 6);

        // Without a font table the document's code page decides; a multi-byte
        // character may come half as a plain byte, half as an escape.
        QCOMPARE(rtfPlainText("{\\rtf1\\ansi\\ansicpg1250 \\'f5\\'fb \\'8a}"), QStringLiteral("őű Š"));
        QCOMPARE(rtfPlainText("{\\rtf1\\ansi \\'f5\\'fb}"), QStringLiteral("õû"));
        QCOMPARE(rtfPlainText("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\x82\\'a2 x}"), QStringLiteral("あい x"));
        QCOMPARE(rtfPlainText("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\\f1 \\'82\\'a0}"),
                 QStringLiteral("あ"));
        QTextDocument jp;
        readRtf("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\\f1 \\'82\\'a0}", jp);
        QCOMPARE(charFormat(jp, QStringLiteral("あ")).fontFamilies().toStringList(), QStringList{QStringLiteral("ＭＳ 明朝")});
    }

    void unicode_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("uc1 with ?") << rtf("\\u337?r\\u369?") << QStringLiteral("őrű");
        QTest::newRow("uc1 with escape") << rtf("\\u337\\'f5r") << QStringLiteral("őr");
        QTest::newRow("uc0") << rtf("\\uc0\\u337 r\\u369 x") << QStringLiteral("őrűx");
        QTest::newRow("uc2") << rtf("\\uc2\\u8364\\'80\\'80 \\u337??x") << QStringLiteral("€ őx");
        QTest::newRow("uc scoped to group") << rtf("{\\uc2\\u8364??}\\u337?x") << QStringLiteral("€őx");
        QTest::newRow("negative") << rtf("\\u-4064?") << QStringLiteral("\uF020");
        QTest::newRow("surrogate pair") << rtf("\\u-10179?\\u-8704?!") << QStringLiteral("😀!");
        QTest::newRow("fallback is a word") << rtf("\\u8220\\ldblquote x\\u8221\\rdblquote") << QStringLiteral("“x”");
        QTest::newRow("fallback cut by a group") << rtf("\\uc3\\u337{\\b x}y") << QStringLiteral("őxy");
        QTest::newRow("out of range") << rtf("a\\u70000?b\\u-40000?c") << QStringLiteral("abc");
        QTest::newRow("structure characters dropped") << rtf("a\\u8233?b\\u65532?c\\u0?d") << QStringLiteral("abcd");
        QTest::newRow("symbol font") << QByteArray("{\\rtf1{\\fonttbl{\\f3\\fcharset2 Symbol;}}\\f3 \\'b7\\u-3913?}")
                                     << QStringLiteral("••");
    }
    void unicode()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, text);
        QCOMPARE(rtfPlainText(input), text);
    }

    void characterFormats()
    {
        QTextDocument doc;
        QVERIFY(readRtf(sample(QStringLiteral("formazas_libreoffice.rtf")), doc));
        const auto at = [&](const char *text) { return charFormat(doc, QString::fromUtf8(text)); };
        QVERIFY(at("félkövér").fontWeight() == QFont::Bold);
        QVERIFY(!at("félkövér").fontItalic());
        QVERIFY(at("dőlt").fontItalic());
        QVERIFY(at("aláhúzott,").fontUnderline());
        QVERIFY(at("áthúzott").fontStrikeOut());
        QVERIFY(!at("Ez egy").fontUnderline() && at("Ez egy").fontWeight() == QFont::Normal);
        QCOMPARE(at("Ez egy").fontPointSize(), 12.0);
        QCOMPARE(at("Ez egy").fontFamilies().toStringList(), QStringList{QStringLiteral("Liberation Sans")});
        QCOMPARE(at("Liberation Mono 10").fontFamilies().toStringList(), QStringList{QStringLiteral("Liberation Mono")});
        QCOMPARE(at("Liberation Mono 10").fontPointSize(), 10.0);
        QCOMPARE(at("Liberation Serif 16").fontPointSize(), 16.0);
        QCOMPARE(at("piros").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(at("zöld").foreground().color(), QColor(0, 128, 0));
        QCOMPARE(at("sárga").background().color(), QColor(255, 255, 0));
        QCOMPARE(at("Jobbra").foreground().style(), Qt::NoBrush);  // \cf0 and no \cf: automatic
        QCOMPARE(at("Formázott").fontPointSize(), 18.0);
        QVERIFY(at("Formázott").fontWeight() == QFont::Bold);
        QCOMPARE(at("2O").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(charFormat(doc, QStringLiteral("mc2"), true).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(charFormat(doc, QStringLiteral("mc2")).verticalAlignment(), QTextCharFormat::AlignNormal);

        // Groups restore what was before them.
        QVERIFY(at("legbelső").fontWeight() == QFont::Bold && at("legbelső").fontItalic());
        QVERIFY(at("aláhúzva").fontUnderline() && at("aláhúzva").fontItalic());
        QVERIFY(at(" még dőlt").fontItalic() && !at(" még dőlt").fontUnderline());
        QVERIFY(at("csak félkövér").fontWeight() == QFont::Bold && !at("csak félkövér").fontItalic());
        QVERIFY(at("újra sima").fontWeight() == QFont::Normal);
        QVERIFY(at("kék").fontUnderline());
        QVERIFY(!at("nem aláhúzott").fontUnderline());
        QCOMPARE(at("nem aláhúzott").foreground().color(), QColor(0, 0, 255));
        QVERIFY(!at("sem megint").fontUnderline());
        QVERIFY(at("megint").fontUnderline());
        QVERIFY(!at("vége").fontUnderline());

        QTextDocument plain;
        readRtf(rtf("{\\b\\i\\fs40 a\\plain b}"), plain);
        QVERIFY(charFormat(plain, QStringLiteral("b")).fontWeight() == QFont::Normal);
        QCOMPARE(charFormat(plain, QStringLiteral("b")).fontPointSize(), 12.0);
        QCOMPARE(charFormat(plain, QStringLiteral("b")).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    }

    void paragraphFormats()
    {
        QTextDocument doc;
        readRtf(sample(QStringLiteral("formazas_libreoffice.rtf")), doc);
        QCOMPARE(blockFormat(doc, QStringLiteral("Formázott")).alignment(), Qt::AlignHCenter);
        QCOMPARE(blockFormat(doc, QStringLiteral("Formázott")).headingLevel(), 1);
        QCOMPARE(blockFormat(doc, QStringLiteral("Ez egy")).alignment(), Qt::AlignJustify);
        QCOMPARE(blockFormat(doc, QStringLiteral("Jobbra")).alignment(), Qt::AlignRight);
        QCOMPARE(blockFormat(doc, QStringLiteral("Jobbra")).headingLevel(), 0);
        const QTextBlockFormat indented = blockFormat(doc, QStringLiteral("Behúzott"));
        QCOMPARE(indented.alignment(), Qt::AlignLeft);
        QCOMPARE(indented.leftMargin(), 1134 / 15.0);
        QCOMPARE(indented.rightMargin(), 567 / 15.0);
        QCOMPARE(indented.textIndent(), -567 / 15.0);
        QCOMPARE(indented.topMargin(), 120 / 15.0);
        QCOMPARE(indented.bottomMargin(), 240 / 15.0);

        // A heading style found by its name, in the document's code page.
        QTextDocument styled;
        readRtf(rtf("{\\stylesheet{\\s0 Normal;}{\\s2\\b C\\'edmsor 2;}{\\s3 heading 3;}}"
                    "\\pard\\s2 Egy\\par\\pard\\s3 Kett\\'f5\\par\\pard Harom\\par"), styled);
        QCOMPARE(styled.toPlainText(), QStringLiteral("Egy\nKettő\nHarom"));
        QCOMPARE(blockFormat(styled, QStringLiteral("Egy")).headingLevel(), 2);
        QCOMPARE(blockFormat(styled, QStringLiteral("Kettő")).headingLevel(), 3);
        QCOMPARE(blockFormat(styled, QStringLiteral("Harom")).headingLevel(), 0);
    }

    void lists()
    {
        QCOMPARE(lines(sample(QStringLiteral("listak_word.rtf"))),
                 QStringList({QStringLiteral("Bevásárlólista:"), QStringLiteral("•\tkenyér"), QStringLiteral("•\ttej"),
                              QStringLiteral("o\tzsírszegény"), QStringLiteral("▪\tbio"), QStringLiteral("Teendők:"),
                              QStringLiteral("1.\tbevásárolni"), QStringLiteral("2.\tfőzni"), QStringLiteral("Vége.")}));
        QCOMPARE(lines(sample(QStringLiteral("lista_wordpad.rtf"))),
                 QStringList({QStringLiteral("WordPad felsorolás:"), QStringLiteral("•\telső tétel"),
                              QStringLiteral("•\tmásodik tétel"), QStringLiteral("1.\tszámozott egy"),
                              QStringLiteral("2.\tszámozott kettő"),
                              QStringLiteral("Utána sima szöveg – gondolatjellel — és “idézőjellel”, ‘egyszeressel’.")}));
        QTextDocument doc;
        readRtf(sample(QStringLiteral("listak_word.rtf")), doc);
        QCOMPARE(blockFormat(doc, QStringLiteral("tej")).leftMargin(), 720 / 15.0);
        QCOMPARE(blockFormat(doc, QStringLiteral("tej")).textIndent(), -360 / 15.0);
        // the marker's tab reaches the hanging indent, where the item's next lines start
        const QList<QTextOption::Tab> tabs = blockFormat(doc, QStringLiteral("tej")).tabPositions();
        QCOMPARE(tabs.size(), 1);
        QCOMPARE(tabs[0].position, 360 / 15.0);
    }

    void tables_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Word") << QStringLiteral("tablazat_word.rtf");
        QTest::newRow("pandoc") << QStringLiteral("tablazat_pandoc.rtf");
    }
    void tables()
    {
        QFETCH(QString, name);
        QTextDocument doc;
        QVERIFY(readRtf(sample(name), doc));
        const QList<QTextTable *> found = tablesOf(doc);
        QCOMPARE(found.size(), 1);
        QTextTable *table = found.first();
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3);
        QStringList cells;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                cells << cellText(table, r, c);
        if (name.contains(QLatin1String("word"))) {
            QCOMPARE(cells, QStringList({QStringLiteral("Név"), QStringLiteral("Város"), QStringLiteral("Irányítószám"),
                                         QStringLiteral("Kovács Éva"), QStringLiteral("Győr"), QStringLiteral("9021")}));
            QVERIFY(charFormat(doc, QStringLiteral("Város")).fontWeight() == QFont::Bold);
            QCOMPARE(blockFormat(doc, QStringLiteral("9021")).alignment(), Qt::AlignRight);
            QCOMPARE(table->format().columnWidthConstraints().value(1).rawValue(), (5933 - 2912) / 15.0);
            const QStringList text = doc.toPlainText().split(u'\n');
            QCOMPARE(text.first(), QStringLiteral("A táblázat előtt."));
            QCOMPARE(text.last(), QStringLiteral("A táblázat után."));
            QVERIFY(!doc.find(QStringLiteral("után.")).currentTable());
        } else {
            QCOMPARE(cells, QStringList({QStringLiteral("Alma"), QStringLiteral("Körte"), QStringLiteral("Szilva"),
                                         QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
            QCOMPARE(blockFormat(doc, QStringLiteral("Körte")).alignment(), Qt::AlignRight);
        }
    }

    void irregularTables()
    {
        // Rows of different lengths: one table, as wide as its widest row.
        QTextDocument doc;
        readRtf(rtf("\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\cellx100\\cellx200\\cellx300\\intbl c\\cell d\\cell e\\cell\\row\\pard x\\par"
                    "\\trowd\\cellx10\\intbl f\\nestcell g\\cell\\row"
                    "\\trowd\\intbl 1\\cell 2\\cell"),  // cut before its \row
                doc);
        const QList<QTextTable *> found = tablesOf(doc);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0]->rows(), 2);
        QCOMPARE(found[0]->columns(), 3);
        QCOMPARE(cellText(found[0], 0, 1), QStringLiteral("b"));
        QCOMPARE(cellText(found[0], 0, 2), QString());
        QCOMPARE(cellText(found[0], 1, 2), QStringLiteral("e"));
        QCOMPARE(found[1]->rows(), 2);
        QCOMPARE(cellText(found[1], 0, 0), QStringLiteral("f\u2029g"));  // the nested cell's text stays in its cell
        QCOMPARE(cellText(found[1], 1, 1), QStringLiteral("2"));

        // A row of a thousand cells keeps the rest in its last column.
        QByteArray wide = "\\trowd\\intbl ";
        for (int i = 0; i < 1000; ++i)
            wide += QByteArray::number(i) + "\\cell ";
        QTextDocument wideDoc;
        readRtf(rtf(wide + "\\row"), wideDoc);
        QCOMPARE(tablesOf(wideDoc).value(0)->columns(), 64);
        QVERIFY(words(wideDoc.toPlainText()).endsWith(QLatin1String("998 999")));
    }

    void pictures()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QByteArray png = encoded(image, "PNG");
        const QByteArray jpeg = encoded(image, "JPG");
        QTextDocument doc;
        QVERIFY(readRtf(rtf("Egy {\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}\\picw40\\pich30\\picwgoal1500\\pichgoal600"
                            "\\picscalex50\\picscaley200\\pngblip\n" + png.toHex() + "}}"
                            "{\\nonshppict{\\pict\\wmetafile8\\picwgoal1500\\pichgoal600 0100090000}} kett\\'f5 "
                            "{\\pict\\jpegblip " + jpeg.toHex() + "} h\\'e1rom "
                            "{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "} n\\'e9gy "
                            "{\\pict\\emfblip 0100000084000000}{\\pict\\pngblip 89504e470d0a1a0a0000}\\par"),
                        doc));
        QCOMPARE(rtfPlainText(rtf("Egy {\\pict\\pngblip " + png.toHex() + "} kett\\'f5")), QStringLiteral("Egy  kettő"));
        const QList<QTextImageFormat> found = images(doc);
        QCOMPARE(found.size(), 3);  // the metafile, the EMF and the broken PNG are left out
        QCOMPARE(found[0].width(), 1500 / 15 * 0.5);
        QCOMPARE(found[0].height(), 600 / 15 * 2.0);
        QCOMPARE(found[1].width(), 40.0);  // no goal: the picture's own size
        QCOMPARE(found[1].height(), 30.0);
        QCOMPARE(found[2].width(), 40.0);
        for (const QTextImageFormat &f : found) {
            const QImage resource = QImage::fromData(doc.resource(QTextDocument::ImageResource, QUrl(f.name())).toByteArray());
            QCOMPARE(resource.size(), QSize(40, 30));
        }
        QCOMPARE(QImage::fromData(doc.resource(QTextDocument::ImageResource, QUrl(found[0].name())).toByteArray()).pixelColor(5, 5),
                 QColor(Qt::darkCyan));
        QCOMPARE(words(doc.toPlainText().remove(QChar::ObjectReplacementCharacter)), QStringLiteral("Egy kettő három négy"));

        // Bounded: a picture over the limit is left out, the text stays.
        RtfLimits small;
        small.maxPictureBytes = png.size() - 1;
        QTextDocument limited;
        readRtf(rtf("a{\\pict\\pngblip " + png.toHex() + "}b{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}c"),
                limited, small);
        QCOMPARE(images(limited).size(), 0);
        QCOMPARE(limited.toPlainText(), QStringLiteral("abc"));
        // So is a small file whose pixels would outgrow the limit.
        QImage wide(400, 100, QImage::Format_RGB32);
        wide.fill(Qt::white);
        const QByteArray widePng = encoded(wide, "PNG");
        small.maxPictureBytes = 400 * 100 * 4 - 1;
        QVERIFY(widePng.size() < small.maxPictureBytes);
        readRtf(rtf("a{\\pict\\pngblip " + widePng.toHex() + "}b"), limited, small);
        QCOMPARE(images(limited).size(), 0);
        small.maxPictureBytes += 1;
        readRtf(rtf("a{\\pict\\pngblip " + widePng.toHex() + "}b"), limited, small);
        QCOMPARE(images(limited).size(), 1);
    }

    // A picture kept encoded is decoded when the document is drawn.
    void picturesAreDrawn()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QTextDocument doc;
        doc.setDocumentMargin(0);
        QVERIFY(readRtf(rtf("{\\pict\\pngblip " + encoded(image, "PNG").toHex() + "}\\par"), doc));
        QImage canvas(100, 100, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        doc.drawContents(&painter);
        painter.end();
        QCOMPARE(canvas.pixelColor(20, 15), QColor(Qt::darkCyan));
        QCOMPARE(canvas.pixelColor(60, 15), QColor(Qt::white));
    }

    void destinations()
    {
        QTextDocument doc;
        QVERIFY(readRtf(sample(QStringLiteral("csoportok_richedit.rtf")), doc));
        QCOMPARE(doc.metaInformation(QTextDocument::DocumentTitle), QStringLiteral("Csoportok"));
        QCOMPARE(doc.toRawText().split(QChar::ParagraphSeparator),
                 QStringList({QStringLiteral("Speciális jelek: {kapcsos} \\ visszaper, nem\u00A0törő szóköz, "
                                             "feltételes\u00ADelválasztás, nem\u2011törő kötőjel."),
                              QStringLiteral("Sortörés itt\u2028és tabulátor\tutána."),
                              QStringLiteral("Rejtett szöveg nélkül."),
                              QStringLiteral("Lábjegyzet után folytatás."),
                              QStringLiteral("Mező: súgó oldal oldal."),
                              QStringLiteral("Bináris:  után."),
                              QStringLiteral("Könyvjelző és tárgymutató."),
                              QStringLiteral("Utólsó bekezdés.")}));
        const QTextCharFormat link = charFormat(doc, QStringLiteral("súgó oldal"));
        QVERIFY(link.isAnchor());
        QCOMPARE(link.anchorHref(), QStringLiteral("https://example.com/súgó"));
        QVERIFY(!charFormat(doc, QStringLiteral(" oldal.")).isAnchor());

        // Fields show their last result; the instruction never shows.
        QCOMPARE(rtfPlainText(rtf("{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}. oldal, {\\field{\\fldinst REF x}{\\fldrslt l\\'e1sd}}")),
                 QStringLiteral("7. oldal, lásd"));
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("header only") << QByteArray("{\\rtf") << QString();
        QTest::newRow("no closing brace") << QByteArray("{\\rtf1 abc {\\b def") << QStringLiteral("abc def");
        QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}} b}\r\n") << QStringLiteral("a b");
        QTest::newRow("bad hex") << rtf("a\\'zzb\\'4") << QStringLiteral("azzb");
        QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
        QTest::newRow("huge numbers") << rtf("\\fs99999999999999999999999 a\\li-99999999999999 b\\cf2147483648 c\\cellx-1 d")
                                      << QStringLiteral("abcd");
        QTest::newRow("huge uc") << rtf("\\uc2147483647\\u337 abc") << QStringLiteral("ő");
        QTest::newRow("huge bin") << rtf("a\\bin99999999999 xyz") << QStringLiteral("a");
        QTest::newRow("negative bin") << rtf("a\\bin-5 xyz") << QStringLiteral("axyz");
        QTest::newRow("long word") << rtf("a\\" + QByteArray(100000, 'x') + " b") << QStringLiteral("ab");
        QTest::newRow("unknown star group") << rtf("a{\\*\\x{\\*{\\y}} \\par z}b{\\*}c{\\*{x}d}e") << QStringLiteral("abce");
        QTest::newRow("control characters") << rtf(QByteArray("a\0b\x01\x7f", 5)) << QStringLiteral("ab\x7f");
        QTest::newRow("cell and row outside tables") << rtf("\\cell\\row a\\par") << QStringLiteral("\n\na");
    }
    void malformed()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, text);
        QTextDocument doc;
        QVERIFY(readRtf(input, doc));
        QCOMPARE(doc.toPlainText(), text);
    }

    void nesting()
    {
        const QByteArray deep(1000000, '{');
        const QByteArray closed(1000000, '}');
        QCOMPARE(words(rtfPlainText(rtf("el\\'f5tte " + deep + "bent" + closed + " ut\\'e1na"))), QStringLiteral("előtte utána"));
        QCOMPARE(words(rtfPlainText(rtf("el\\'f5tte " + deep).chopped(1))), QStringLiteral("előtte"));
        QCOMPARE(words(rtfPlainText("{\\rtf1 a {\\*\\x " + deep + "\\bin3 }}}" + closed + "} b}")), QStringLiteral("a b"));

        RtfLimits limits;
        limits.maxDepth = 4;  // \rtf1's group and three more
        QTextDocument doc;
        readRtf("{\\rtf1 1{2{3{4{5}}}}{\\b 6}}", doc, limits);
        QCOMPARE(doc.toPlainText(), QStringLiteral("12346"));
        QVERIFY(charFormat(doc, QStringLiteral("6")).fontWeight() == QFont::Bold);

        limits = RtfLimits();
        limits.maxTextChars = 10;
        readRtf(rtf("0123456789ABC\\par DEF\\par\\par\\par"), doc, limits);
        QCOMPARE(doc.toPlainText(), QStringLiteral("0123456789"));
        // control bytes left out of the text do not count
        readRtf(rtf(QByteArray("01") + QByteArray(20, '\x01') + "23456789ABC"), doc, limits);
        QCOMPARE(doc.toPlainText(), QStringLiteral("0123456789"));
    }

    // A file cut anywhere shows a beginning of the whole text (the cut may
    // spoil the last word: "\u33" of a cut "\u337" is "!").
    void truncated_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : sampleNames())
            QTest::newRow(qPrintable(name)) << name;
    }
    void truncated()
    {
        QFETCH(QString, name);
        const QByteArray whole = sample(name);
        const QString full = words(rtfPlainText(whole));
        QVERIFY(!full.isEmpty());
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            QTextDocument doc;
            QCOMPARE(readRtf(whole.left(cut), doc), cut >= 5);
            QString part = words(doc.toPlainText().remove(QChar::ObjectReplacementCharacter));
            part.truncate(std::max<qsizetype>(0, part.lastIndexOf(u' ')));
            if (!full.startsWith(part))
                QFAIL(qPrintable(QStringLiteral("cut at %1: \"%2\"").arg(cut).arg(part.right(60))));
        }
    }

    void randomInput()
    {
        QRandomGenerator random(20240305);
        QList<QByteArray> originals;
        for (const QString &name : sampleNames())
            originals.append(sample(name));
        static const char alphabet[] = "{}\\'*0123456789-abcdefu ;\r\n\xf5";
        for (int round = 0; round < 400; ++round) {
            QByteArray data;
            if (round % 2 == 0) {
                data = "{\\rtf1 ";
                const int length = int(random.bounded(4000));
                for (int i = 0; i < length; ++i)
                    data += round % 4 == 0 ? char(random.bounded(256)) : alphabet[random.bounded(int(sizeof alphabet - 1))];
            } else {
                data = originals[random.bounded(int(originals.size()))];
                for (int i = 0; i < 20; ++i)
                    data[5 + random.bounded(int(data.size()) - 5)] = alphabet[random.bounded(int(sizeof alphabet - 1))];
            }
            QTextDocument doc;
            QVERIFY(readRtf(data, doc));
        }
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
