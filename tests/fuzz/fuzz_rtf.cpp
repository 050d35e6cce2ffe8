// The RTF reader. Input: an RTF file (or anything else).
// Properties:
// - only text that does not begin with "{\rtf" is refused, with an empty document;
// - the text and pictures kept stay within the reader's limits, also tight ones;
// - every picture kept is within the picture limit, as data and as pixels;
// - a lower text limit keeps a beginning of the text;
// - the document lays out.

#include "help/rtfreader.h"
#include "fuzzcheck.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cstdint>

using tvx::help::readRtf;
using tvx::help::RtfLimits;
using tvx::help::rtfPlainText;
using tvx::fuzz::propertyFailed;

namespace {

// The characters of the document that are text or pictures, not its
// structure (paragraph ends, table cells).
QString keptCharacters(const QTextDocument &doc)
{
    QString kept;
    for (const QChar c : doc.toRawText()) {
        const char16_t u = c.unicode();
        if (u != QChar::ParagraphSeparator && u != 0xFDD0 && u != 0xFDD1)
            kept += c;
    }
    return kept;
}

void withinLimits(const QByteArray &rtf, const QTextDocument &doc, const RtfLimits &limits)
{
    const QString what = QStringLiteral("%1 bytes").arg(rtf.size());
    TVX_FUZZ_CHECK(keptCharacters(doc).size() <= limits.maxTextChars, what);

    qint64 pixelBytes = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            QByteArray data = doc.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())).toByteArray();
            TVX_FUZZ_CHECK(data.size() <= limits.maxPictureBytes, what);
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            const QSize size = QImageReader(&buffer).size();
            pixelBytes += qint64(size.width()) * size.height() * 4;
            TVX_FUZZ_CHECK(qint64(size.width()) * size.height() * 4 <= limits.maxPictureBytes, what);
        }
    }
    TVX_FUZZ_CHECK(pixelBytes <= qint64(limits.maxPictureBytes) * 8, what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // fonts for the layout; no window is ever shown
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // broken pictures and missing fonts are the inputs' daily bread, not news
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg)
            propertyFailed("no fatal message from Qt", message, __FILE__, __LINE__);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool isRtf = rtf.startsWith("{\\rtf");

    QTextDocument doc;
    TVX_FUZZ_CHECK(readRtf(rtf, doc) == isRtf, QStringLiteral("%1 bytes").arg(size));
    if (!isRtf) {
        TVX_FUZZ_CHECK(doc.isEmpty(), QString());
        TVX_FUZZ_CHECK(rtfPlainText(rtf).isEmpty(), QString());
        return 0;
    }
    withinLimits(rtf, doc, RtfLimits());
    // laid out as the help window does
    doc.setTextWidth(600);
    doc.documentLayout()->documentSize();

    // Tight limits, so that inputs of a fuzzer's size reach them.
    RtfLimits tight;
    tight.maxDepth = 6;
    tight.maxTextChars = 40;
    tight.maxPictureBytes = 2000;
    QTextDocument small;
    readRtf(rtf, small, tight);
    withinLimits(rtf, small, tight);

    // Less text allowed cuts the text short and changes nothing before the cut.
    RtfLimits shorter;
    shorter.maxTextChars = 40;
    QTextDocument cut;
    readRtf(rtf, cut, shorter);
    const QString whole = keptCharacters(doc);
    const QString part = keptCharacters(cut);
    TVX_FUZZ_CHECK(whole.startsWith(part), QStringLiteral("„%1” is no beginning of „%2”").arg(tvx::fuzz::shown(part), tvx::fuzz::shown(whole)));
    return 0;
}
