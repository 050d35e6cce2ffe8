#include "help/rtfreader.h"

#include <QTextDocument>

namespace tvx::help {

bool readRtf(const QByteArray &rtf, QTextDocument &document, const RtfLimits &)
{
    document.clear();
    return rtf.startsWith("{\\rtf");
}

QString rtfPlainText(const QByteArray &rtf)
{
    QTextDocument document;
    readRtf(rtf, document);
    return document.toPlainText();
}

}  // namespace tvx::help
