// Times the RTF reader: a file read into a QTextDocument, RUNS times.
//   tvx-rtfbench [FILE [RUNS]]
// Without a file it reads a generated document of about 2 MB: Hungarian text
// in code page 1250 with \u escapes, formatting, lists, tables and PNG
// pictures, as the manual has them.

#include "benchkit.h"
#include "help/rtfreader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QTextFrame>

namespace {

constexpr int kDefaultRuns = 9;
constexpr qsizetype kTargetSize = 2 * 1024 * 1024;

QByteArray picture(int seed)
{
    // Noisy enough that the PNG stays big, as screenshots do.
    QImage image(160, 120, QImage::Format_RGB32);
    QRandomGenerator random{quint32(seed)};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x + seed * 40, y * 2, int(random.bounded(256))));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray hex;
    const QByteArray all = png.toHex();
    for (qsizetype i = 0; i < all.size(); i += 128)
        hex += all.mid(i, 128) + "\r\n";
    return "{\\*\\shppict{\\pict\\picscalex100\\picscaley100\\picw160\\pich120\\picwgoal2400\\pichgoal1800\\pngblip\r\n" + hex +
           "}}{\\nonshppict{\\pict\\wmetafile8\\picw160\\pich120 0100090000035000000000002700000000000400000003010800}}";
}

QByteArray syntheticDocument()
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset238 Times New Roman;}"
        "{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fmodern\\fcharset238 Courier New;}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green55\\blue99;\\red192\\green0\\blue0;}\r\n"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\outlinelevel0\\b\\fs32 heading 1;}{\\s2\\outlinelevel1\\b\\fs28 heading 2;}}\r\n"
        "{\\info{\\title Felhaszn\\'e1l\\'f3i k\\'e9zik\\'f6nyv}{\\author Tarvix}}\r\n";
    const QByteArray sentence =
        "Az iktat\\'f3 k\\'e9perny\\'f5n az {\\b \\'daj adat} gomb \\'faj bejegyz\\'e9st hoz l\\'e9tre, a "
        "{\\i M\\'f3dos\\'edt\\'e1s} szerkeszt\\'e9sre v\\'e1lt, az {\\cf3\\ul OK} menti az iktat\\'f3sz\\'e1mot "
        "\\u8222\\'84\\u337\\'f5r\\u369\\'fbs\\u8221\\'94 mez\\'f5kkel egy\\'fctt. ";
    int pictures = 0;
    for (int section = 1; rtf.size() < kTargetSize; ++section) {
        rtf += "\\pard\\plain\\s1\\sb240\\sa120\\f1\\fs32\\b\\cf2 " + QByteArray::number(section) +
               ". Fejezet: az iktat\\'e1s l\\'e9p\\'e9sei\\par\r\n";
        for (int p = 0; p < 6; ++p) {
            rtf += "\\pard\\plain\\s0\\qj\\sa120\\f0\\fs24 ";
            for (int s = 0; s < 4; ++s)
                rtf += sentence;
            rtf += "\\par\r\n";
        }
        for (int item = 1; item <= 4; ++item)
            rtf += "\\pard\\plain\\fi-360\\li720\\sa60\\f0\\fs24 {\\listtext\\pard\\plain\\f3\\fs24 \\'b7\\tab}"
                   "A(z) " + QByteArray::number(item) + ". l\\'e9p\\'e9s: {\\f2 Iktatas.exe} ind\\'edt\\'e1sa\\par\r\n";
        if (section % 3 == 0) {
            for (int row = 0; row < 5; ++row) {
                rtf += "\\trowd\\trgaph108\\cellx2000\\cellx4500\\cellx7000\\cellx9000\r\n";
                for (int cell = 0; cell < 4; ++cell)
                    rtf += "\\pard\\intbl\\f0\\fs20 " + QByteArray(row == 0 ? "{\\b Mez\\'f5}" : "\\'c9rt\\'e9k ") +
                           QByteArray::number(cell) + "\\cell ";
                rtf += "\\row\r\n";
            }
        }
        if (section % 15 == 0 && pictures < 8)
            rtf += "\\pard\\qc " + picture(++pictures) + "\\par\r\n";
    }
    return rtf + "}";
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream &out = bench::out();
    const QStringList args = app.arguments();
    QByteArray rtf;
    QString source = QStringLiteral("generated document");
    if (args.size() > 1) {
        QFile file(args[1]);
        if (!file.open(QIODevice::ReadOnly)) {
            out << "HIBA: " << args[1] << " nem olvashat\u00f3" << Qt::endl;
            return 1;
        }
        rtf = file.readAll();
        source = args[1];
    } else {
        rtf = syntheticDocument();
    }
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : kDefaultRuns;

    QTextDocument document;
    if (!tvx::help::readRtf(rtf, document)) {
        out << "HIBA: nem RTF" << Qt::endl;
        return 1;
    }
    int images = 0, tables = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            images += it.fragment().charFormat().isImageFormat() ? 1 : 0;
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        tables += frame->inherits("QTextTable") ? 1 : 0;
    out << source << ": " << rtf.size() << " bytes, " << document.characterCount() << " characters, "
        << document.blockCount() << " blocks, " << tables << " tables, " << images << " pictures" << Qt::endl;

    const double ms = bench::medianMs(runs, [&] {
        QTextDocument doc;
        tvx::help::readRtf(rtf, doc);
    });
    out << "readRtf: median " << QString::number(ms, 'f', 1) << " ms of " << runs << " runs, "
        << QString::number(rtf.size() / 1e6 / (ms / 1000), 'f', 1) << " MB/s" << Qt::endl;

    const double plainMs = bench::medianMs(runs, [&] { tvx::help::rtfPlainText(rtf); });
    out << "rtfPlainText: median " << QString::number(plainMs, 'f', 1) << " ms" << Qt::endl;
    return 0;
}
