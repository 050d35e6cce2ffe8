#include "help/rtfwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using tvx::help::markdownToRtf;
using tvx::help::RtfDocumentSource;

namespace {

constexpr int kTextWidth = 11906 - 2 * 1134;
constexpr int kTextHeight = 16838 - 2 * 1134;

QByteArray rtfOf(const QString &markdown, const QString &imageFolder = {}, QString *error = nullptr)
{
    return markdownToRtf(RtfDocumentSource{markdown, imageFolder, QString()}, error);
}

// Groups open and close in order, and the document is one group.
bool bracesBalanced(const QByteArray &rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf.at(i);
        if (c == '\\') {
            ++i;  // \\, \{ and \} are text; other control words hold no braces
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < 0 || (depth == 0 && rtf.mid(i + 1).trimmed().size() > 0))
                return false;
        }
    }
    return depth == 0;
}

// The content of the first body paragraph: after its character formatting, up to \par.
QByteArray firstParagraph(const QByteArray &rtf)
{
    const qsizetype start = rtf.indexOf("\\pard\\plain\\ql\\sa120\\f0\\fs22\\lang1038 ");
    if (start < 0)
        return {};
    const qsizetype from = start + qstrlen("\\pard\\plain\\ql\\sa120\\f0\\fs22\\lang1038 ");
    return rtf.mid(from, rtf.indexOf("\\par\n", from) - from);
}

QList<int> numbersAfter(const QByteArray &rtf, const QString &word)
{
    QList<int> numbers;
    const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)").arg(word));
    for (auto it = re.globalMatch(QString::fromLatin1(rtf)); it.hasNext();)
        numbers << it.next().captured(1).toInt();
    return numbers;
}

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < width; ++x)
        image.setPixel(x, x % height, qRgb(x % 256, 40, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The smallest JPEG header the size is read from: SOI, APP0, SOF0, EOI.
QByteArray jpegHeaderOf(int width, int height)
{
    QByteArray j = QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000");
    j += QByteArray::fromHex("ffc0001108");
    j += char(height >> 8);
    j += char(height & 0xFF);
    j += char(width >> 8);
    j += char(width & 0xFF);
    j += QByteArray::fromHex("03012200021101031101ffd9");
    return j;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Picture {
    QByteArray kind;
    int picw = 0, pich = 0, goalw = 0, goalh = 0;
    QByteArray data;
    QList<int> lineLengths;
};

QList<Picture> picturesOf(const QByteArray &rtf)
{
    QList<Picture> pictures;
    const QRegularExpression header(
        QStringLiteral("\\\\pict\\\\(\\w+blip)\\\\picw(\\d+)\\\\pich(\\d+)\\\\picwgoal(\\d+)\\\\pichgoal(\\d+)\n"));
    const QString text = QString::fromLatin1(rtf);
    for (auto it = header.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        Picture p{m.captured(1).toLatin1(), m.captured(2).toInt(), m.captured(3).toInt(),
                  m.captured(4).toInt(), m.captured(5).toInt(), {}, {}};
        const qsizetype end = text.indexOf(u'}', m.capturedEnd());
        const QStringList lines = text.mid(m.capturedEnd(), end - m.capturedEnd()).split(u'\n', Qt::SkipEmptyParts);
        QByteArray hex;
        for (const QString &line : lines) {
            p.lineLengths << int(line.size());
            hex += line.toLatin1();
        }
        p.data = QByteArray::fromHex(hex);
        pictures << p;
    }
    return pictures;
}

}  // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentFrame()
    {
        const QByteArray rtf = rtfOf(QStringLiteral("# Partnertörzs\n\nSzöveg."));
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1038"));
        QVERIFY(rtf.contains("{\\f0\\fswiss\\fprq2\\fcharset238 Liberation Sans"));
        QVERIFY(rtf.contains("{\\f1\\fmodern\\fprq1\\fcharset238 Liberation Mono"));
        QVERIFY(rtf.contains("{\\colortbl;"));
        QVERIFY(rtf.contains("{\\*\\generator Tarvix;}"));
        QVERIFY(rtf.contains("\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134"));
        QVERIFY(bracesBalanced(rtf));
        for (const char c : rtf)
            QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF is 7-bit");

        // The title is the first heading unless one is given.
        QVERIFY(rtf.contains("{\\info{\\title Partnert\\u246\\'f6rzs}}"));
        const QByteArray titled = markdownToRtf({QStringLiteral("# Első"), {}, QStringLiteral("Kézikönyv")});
        QVERIFY(titled.contains("{\\info{\\title K\\u233\\'e9zik\\u246\\'f6nyv}}"));
        QVERIFY(bracesBalanced(rtfOf(QString())));
    }

    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("ő ű Ő Ű") << QStringLiteral("ő ű Ő Ű") << QByteArray("\\u337\\'f5 \\u369\\'fb \\u336\\'d5 \\u368\\'db");
        QTest::newRow("pangram") << QStringLiteral("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP")
                                 << QByteArray("\\u225\\'e1rv\\u237\\'edzt\\u369\\'fbr\\u337\\'f5 "
                                               "t\\u252\\'fck\\u246\\'f6rf\\u250\\'far\\u243\\'f3g\\u233\\'e9p "
                                               "\\u193\\'c1RV\\u205\\'cdZT\\u368\\'dbR\\u336\\'d5 "
                                               "T\\u220\\'dcK\\u214\\'d6RF\\u218\\'daR\\u211\\'d3G\\u201\\'c9P");
        QTest::newRow("quotes, dash, euro") << QStringLiteral("„idézet” – 5 €")
                                            << QByteArray("\\u8222\\'84id\\u233\\'e9zet\\u8221\\'94 \\u8211\\'96 5 \\u8364\\'80");
        QTest::newRow("outside the code page") << QStringLiteral("a → b ✓")
                                               << QByteArray("a \\u8594 ? b \\u10003 ?");
        QTest::newRow("surrogate pair") << QStringLiteral("x😀y") << QByteArray("x\\u-10179 ?\\u-8704 ?y");
        QTest::newRow("rtf specials") << QStringLiteral("C:\\Tarvix\\adat {x}")
                                      << QByteArray("C:\\\\Tarvix\\\\adat \\{x\\}");
        QTest::newRow("markdown escapes") << QStringLiteral("\\*nem dőlt\\* \\\\ \\{")
                                          << QByteArray("*nem d\\u337\\'f5lt* \\\\ \\{");
        QTest::newRow("program text") << QStringLiteral("`{\\b} *x*`") << QByteArray("{\\f1\\fs20 \\{\\\\b\\} *x*}");
        QTest::newRow("tab and nbsp") << QStringLiteral("a\tb\u00A0c") << QByteArray("a\\tab b\\~c");
    }

    void characters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, rtf);
        const QByteArray doc = rtfOf(text);
        QCOMPARE(firstParagraph(doc), rtf);
        QVERIFY(bracesBalanced(doc));
    }

    // Every character of code page 1250 is written with its byte.
    void codePageMatchesSystemConverter()
    {
        QStringDecoder decoder("windows-1250");
        if (!decoder.isValid())
            QSKIP("no windows-1250 converter on this system");
        int checked = 0;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const QString c = decoder.decode(QByteArray(1, char(byte)));
            if (c.size() != 1 || (c.at(0).unicode() >= 0x80 && c.at(0).unicode() < 0xA0)
                || c.at(0) == QChar::ReplacementCharacter)
                continue;  // unassigned
            if (c.at(0) == QChar(0xA0) || c.at(0) == QChar(0xAD))
                continue;  // written as \~ and \-
            const QByteArray expected = "\\u" + QByteArray::number(c.at(0).unicode()) + "\\'"
                + QByteArray::number(byte, 16);
            QCOMPARE(firstParagraph(rtfOf(c)), expected);
            ++checked;
        }
        QCOMPARE(checked, 121);
    }

    void inlineFormatting_data()
    {
        QTest::addColumn<QString>("markdown");
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("italic inside bold") << "**bold *both* bold**" << QByteArray("{\\b bold }{\\b\\i both}{\\b  bold}");
        QTest::newRow("bold inside italic") << "*it **both** it*" << QByteArray("{\\i it }{\\b\\i both}{\\i  it}");
        QTest::newRow("three stars") << "***both*** plain" << QByteArray("{\\b\\i both} plain");
        QTest::newRow("three stars split") << "***a* b**" << QByteArray("{\\b\\i a}{\\b  b}");
        QTest::newRow("bold in program text") << "**`Iktato`**" << QByteArray("{\\b\\f1\\fs20 Iktato}");
        QTest::newRow("lone star") << "2 * 3 = 6" << QByteArray("2 * 3 = 6");
        QTest::newRow("a spaced star opens nothing") << "5 * 3 and x*" << QByteArray("5 * 3 and x*");
        QTest::newRow("unclosed") << "**unclosed and *open" << QByteArray("**unclosed and *open");
        QTest::newRow("underscores stay") << "snake_case_name" << QByteArray("snake_case_name");
        QTest::newRow("unclosed backtick") << "a ` b" << QByteArray("a ` b");
        QTest::newRow("lines joined") << "one\ntwo" << QByteArray("one two");
        QTest::newRow("two spaces break") << "one  \ntwo" << QByteArray("one\\line two");
        QTest::newRow("backslash break") << "one\\\ntwo" << QByteArray("one\\line two");
        QTest::newRow("no break at the end") << "one  " << QByteArray("one");
    }

    void inlineFormatting()
    {
        QFETCH(QString, markdown);
        QFETCH(QByteArray, rtf);
        const QByteArray doc = rtfOf(markdown);
        QCOMPARE(firstParagraph(doc), rtf);
        QVERIFY(bracesBalanced(doc));
    }

    void headings()
    {
        const QByteArray rtf = rtfOf(QStringLiteral(
            "# Egy\n\n## Kettő\n\n### Három\n\n#### Négy\n\n# Második fejezet\n\n#címke nem cím"));
        const QList<QByteArray> paragraphs = rtf.split('\n');
        QList<QByteArray> headings;
        for (const QByteArray &p : paragraphs)
            if (p.startsWith("\\pard") && p.contains("\\outlinelevel"))
                headings << p;
        QCOMPARE(headings.size(), 5);
        QVERIFY(headings[0].contains("\\s1") && headings[0].contains("\\outlinelevel0") && headings[0].contains("\\b"));
        QVERIFY(headings[0].contains("\\fs32") && !headings[0].contains("\\pagebb"));
        QVERIFY(headings[1].contains("\\outlinelevel1") && headings[1].contains("\\fs26"));
        QVERIFY(headings[2].contains("\\outlinelevel2") && headings[2].contains("\\fs22"));
        QVERIFY(headings[3].contains("\\outlinelevel2"));  // deeper levels are level 3
        QVERIFY(headings[4].contains("\\outlinelevel0") && headings[4].contains("\\pagebb"));
        QCOMPARE(rtf.count("\\pagebb"), 1);  // only later chapters start a page
        QVERIFY(headings[4].endsWith("M\\u225\\'e1sodik fejezet\\par"));
        QVERIFY(rtf.contains("#c\\u237\\'edmke nem c\\u237\\'edm\\par"));
    }

    void lists()
    {
        const QByteArray rtf = rtfOf(QStringLiteral(
            "- alma\n- körte\n  folytatás\n\n- szilva\n\n"
            "1. egy\n2. kettő\n3. három\n\n"
            "Közben szöveg.\n\n"
            "1. újra egy\n1. újra kettő\n\n"
            "Megint szöveg.\n\n"
            "3. harmadiktól\n\n"
            "2024. január 1-jétől nem lista.\n\n"
            "Lásd a\n15. pontot."));
        QVERIFY(bracesBalanced(rtf));

        const QByteArray bullet = "{\\listtext\\pard\\plain\\f0\\fs22\\lang1038 \\u8226\\'95\\tab}";
        QCOMPARE(rtf.count(bullet), 3);
        QVERIFY(rtf.contains("k\\u246\\'f6rte folytat\\u225\\'e1s\\par"));

        // Each numbered list counts from its own first number.
        QCOMPARE(rtf.count("\\lang1038 1.\\tab}"), 2);
        QCOMPARE(rtf.count("\\lang1038 2.\\tab}"), 2);
        QCOMPARE(rtf.count("\\lang1038 3.\\tab}"), 2);
        QVERIFY(rtf.contains("\\levelstartat3"));
        QVERIFY(!rtf.contains("2024.\\tab"));
        QVERIFY(rtf.contains("2024. janu\\u225\\'e1r"));
        QVERIFY(rtf.contains("a 15. pontot.\\par"));  // only "1." breaks into a paragraph

        // Every list a paragraph names is defined, and the numbered ones apart.
        QList<int> used = numbersAfter(rtf, QStringLiteral("ls"));
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        QCOMPARE(used, (QList<int>{1, 2, 3, 4}));
        const QByteArray overrides = rtf.mid(rtf.indexOf("{\\*\\listoverridetable"));
        const QByteArray table = rtf.mid(rtf.indexOf("{\\*\\listtable"));
        for (int ls : used) {
            const QRegularExpression re(QStringLiteral("\\\\listoverride\\\\listid(\\d+)\\\\listoverridecount0\\\\ls%1\\}").arg(ls));
            const auto m = re.match(QString::fromLatin1(overrides));
            QVERIFY2(m.hasMatch(), QByteArray::number(ls).constData());
            QVERIFY(table.contains("\\listid" + m.captured(1).toLatin1() + "}"));
        }
        QCOMPARE(rtf.count("\\fi-283\\li567"), 9 + 4);  // items, and the four list levels
    }

    void tables()
    {
        const QByteArray rtf = rtfOf(QStringLiteral(
            "| Gomb | Leírás | Billentyű |\n"
            "|---|:---:|--:|\n"
            "| **&OK** | Menti az `Iktatószám` mezőt | Enter |\n"
            "| Mégse | a \\| b |\n"));
        QVERIFY(bracesBalanced(rtf));
        QCOMPARE(rtf.count("\\trowd"), 3);
        QCOMPARE(rtf.count("\\cell\n"), 9);
        QCOMPARE(rtf.count("\\row\n"), 3);
        QCOMPARE(rtf.count("\\trhdr"), 1);
        QCOMPARE(rtf.count("\\clcbpat"), 3);
        QCOMPARE(rtf.count("\\clbrdrt\\brdrs"), 9);

        const QList<int> edges = numbersAfter(rtf, QStringLiteral("cellx"));
        QCOMPARE(edges.size(), 9);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(edges.mid(row * 3, 3), edges.mid(0, 3));
            QVERIFY(0 < edges[0] && edges[0] < edges[1] && edges[1] < edges[2]);
            QCOMPARE(edges[row * 3 + 2], kTextWidth);
        }
        QVERIFY(edges[1] - edges[0] > edges[0]);  // the longer column is wider

        QVERIFY(rtf.contains("{\\b Gomb}\\cell"));
        QVERIFY(rtf.contains("\\intbl\\qc\\sb40\\sa40\\f0\\fs22\\lang1038 {\\b Le"));
        QVERIFY(rtf.contains("\\intbl\\qr\\sb40\\sa40\\f0\\fs22\\lang1038 {\\b Billenty"));
        QVERIFY(rtf.contains("{\\b &OK}\\cell"));
        QVERIFY(rtf.contains("a | b\\cell"));

        // Without the line under the header, no row is a header.
        const QByteArray plain = rtfOf(QStringLiteral("| a | b |\n| c | d |"));
        QCOMPARE(plain.count("\\cell\n"), 4);
        QVERIFY(!plain.contains("\\trhdr") && !plain.contains("{\\b "));
    }

    void pictures_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("small keeps its size") << 100 << 50;
        QTest::newRow("exactly the text width") << kTextWidth / 15 << 10;
        QTest::newRow("wide screenshot") << 1180 << 620;
        QTest::newRow("tall") << 120 << 1400;
    }

    void pictures()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QTemporaryDir dir;
        const QByteArray png = pngOf(width, height);
        writeFile(dir.filePath(QStringLiteral("kepek/ablak.png")), png);
        QString error = QStringLiteral("stale");
        const QByteArray rtf = rtfOf(QStringLiteral("![Az ablak képe](kepek/ablak.png)"), dir.path(), &error);
        QCOMPARE(error, QString());
        QVERIFY(bracesBalanced(rtf));

        const QList<Picture> pictures = picturesOf(rtf);
        QCOMPARE(pictures.size(), 1);
        const Picture &p = pictures.first();
        QCOMPARE(p.kind, QByteArray("pngblip"));
        QCOMPARE(p.data, png);
        QCOMPARE(p.picw, width);
        QCOMPARE(p.pich, height);
        for (int length : p.lineLengths)
            QVERIFY(length <= 128 && length % 2 == 0);
        QVERIFY(p.goalw <= kTextWidth && p.goalh <= kTextHeight);
        if (width * 15 <= kTextWidth && height * 15 <= kTextHeight) {
            QCOMPARE(p.goalw, width * 15);
            QCOMPARE(p.goalh, height * 15);
        } else {
            QVERIFY(p.goalw == kTextWidth || p.goalh == kTextHeight);
            QVERIFY(qAbs(qint64(p.goalw) * height - qint64(p.goalh) * width) <= qMax(width, height));
        }
        QVERIFY(rtf.contains("\\pard\\plain\\qc\\sb120\\sa60\\keepn\\f0\\fs22\\lang1038 {\\*\\shppict{\\pict\\pngblip"));
        QVERIFY(rtf.contains("\\pard\\plain\\qc\\sa200\\f0\\fs20\\lang1038 {\\i Az ablak k\\u233\\'e9pe}\\par"));
    }

    void jpegAndUncaptioned()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("foto.jpg")), jpegHeaderOf(640, 480));
        QString error;
        const QByteArray rtf = rtfOf(QStringLiteral("![](foto.jpg)\n\nUtána."), dir.path(), &error);
        QCOMPARE(error, QString());
        const QList<Picture> pictures = picturesOf(rtf);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures[0].kind, QByteArray("jpegblip"));
        QCOMPARE(pictures[0].picw, 640);
        QCOMPARE(pictures[0].pich, 480);
        QCOMPARE(pictures[0].goalw, 9600);
        QVERIFY(!rtf.contains("{\\i "));
        QVERIFY(rtf.contains("Ut\\u225\\'e1na.\\par"));
    }

    void pictureErrors()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("kepek/jegyzet.png")), "nem kép");
        QString error;
        const QByteArray rtf = rtfOf(QStringLiteral("Előtte.\n\n![Hiányzó](kepek/nincs.png)\n\n"
                                                    "![Rossz](kepek/jegyzet.png)\n\nUtána."),
                                     dir.path(), &error);
        QVERIFY(error.contains(QStringLiteral("kepek/nincs.png")));
        QVERIFY(error.contains(QStringLiteral("kepek/jegyzet.png")));
        QVERIFY(bracesBalanced(rtf));
        QVERIFY(!rtf.contains("\\pict"));
        QVERIFY(!rtf.contains("Hi\\u225\\'e1nyz"));
        QVERIFY(rtf.contains("El\\u337\\'f5tte.\\par") && rtf.contains("Ut\\u225\\'e1na.\\par"));
        // Without `error` the caller gets the document all the same.
        QCOMPARE(markdownToRtf({QStringLiteral("![x](nincs.png)"), dir.path(), {}}).contains("\\pict"), false);
    }

    void notices()
    {
        const QByteArray rtf = rtfOf(QStringLiteral("> Figyelem! Első sor\nfolytatása\n>\n> Második bekezdés\n\nKívül."));
        QVERIFY(bracesBalanced(rtf));
        const QByteArray box = "\\brdrt\\brdrs\\brdrw10\\brsp80\\brdrcf1\\brdrl\\brdrs\\brdrw10\\brsp80\\brdrcf1"
                               "\\brdrb\\brdrs\\brdrw10\\brsp80\\brdrcf1\\brdrr\\brdrs\\brdrw10\\brsp80\\brdrcf1";
        QCOMPARE(rtf.count(box), 2);
        QCOMPARE(rtf.count("\\cbpat2"), 2);
        QVERIFY(rtf.contains("Figyelem! Els\\u337\\'f5 sor folytat\\u225\\'e1sa\\par"));
        QVERIFY(rtf.contains("\\pard\\plain\\ql\\sa120\\f0\\fs22\\lang1038 K\\u237\\'edv\\u252\\'fcl.\\par"));
    }

    void sameInputSameBytes()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("kepek/a.png")), pngOf(30, 20));
        const QString markdown = sample();
        QString error;
        const QByteArray first = rtfOf(markdown, dir.path(), &error);
        QCOMPARE(error, QString());
        QCOMPARE(rtfOf(markdown, dir.path()), first);
        QVERIFY(bracesBalanced(first));
    }

    void pandocReadsTheText()
    {
        const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
        if (pandoc.isEmpty())
            QSKIP("pandoc is not installed");
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("kepek/a.png")), pngOf(30, 20));
        QString error;
        writeFile(dir.filePath(QStringLiteral("minta.rtf")), rtfOf(sample(), dir.path(), &error));
        QCOMPARE(error, QString());

        QProcess process;
        process.start(pandoc, {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
                               QStringLiteral("--wrap=none"), dir.filePath(QStringLiteral("minta.rtf"))});
        QVERIFY(process.waitForFinished(-1));
        QCOMPARE(process.exitCode(), 0);
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        for (const char *expected :
             {"Tarvix felhasználói kézikönyv", "árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP", "a → b ✓ c",
              "félkövér dőlt", "C:\\Tarvix\\{adat}", "Első lépés", "Második lépés", "Mégse", "Elveti a módosítást.",
              "A partnertörzs ablaka", "Figyelem! A kézikönyv RTF formátumban"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }

private:
    static QString sample()
    {
        return QStringLiteral(
            "# Tarvix felhasználói kézikönyv\n\n"
            "árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP, a → b ✓ c.\n\n"
            "Egy **félkövér *dőlt* rész** és `C:\\Tarvix\\{adat}`.\n\n"
            "## Lépések\n\n- Első lépés\n- Második lépés\n\n1. egy\n2. kettő\n\n"
            "| Gomb | Leírás |\n|---|---|\n| Mégse | Elveti a módosítást. |\n\n"
            "![A partnertörzs ablaka](kepek/a.png)\n\n"
            "> Figyelem! A kézikönyv RTF formátumban egységes szerkezetben is hozzáférhető.\n\n"
            "# Második fejezet\n\nVége.\n");
    }
};

QTEST_GUILESS_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
