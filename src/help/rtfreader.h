#pragma once

// RTF into a QTextDocument: the help documents and the user manual are RTF
// files, and Qt reads none. Plain C++, no window: tests and the benchmark use
// it directly.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tvx::help {

// Bounds that keep a malformed or hostile file from exhausting the program:
// past them the reader skips, it never fails.
struct RtfLimits {
    int maxDepth = 200;                            // deeper groups are skipped whole
    qsizetype maxPictureBytes = 32 * 1024 * 1024;  // one picture's data, decoded
    qsizetype maxTextChars = 32 * 1024 * 1024;     // text kept in the document
};

// Replaces `document`'s content with the RTF in `rtf`. False, with an empty
// document, when `rtf` is no RTF at all (it does not begin with "{\rtf").
// Malformed or truncated RTF gives what could be read, and true.
bool readRtf(const QByteArray &rtf, QTextDocument &document, const RtfLimits &limits = {});

// The text `readRtf` would show, without formatting; empty for no RTF.
QString rtfPlainText(const QByteArray &rtf);

}  // namespace tvx::help
