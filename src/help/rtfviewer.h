#pragma once

// What the help and manual windows share: their rich-text viewer, filling it
// from RTF, and printing its text.

#include <QByteArray>
#include <QString>

class QTextEdit;
class QWidget;

namespace tvx::help {

// The viewer `RichTextBox1`: read-only (nothing typed into it would ever be
// kept), its text selectable and scrollable by keyboard.
QTextEdit *newRichTextViewer(QWidget *parent);

// Shows the RTF in the viewer. False, with the viewer as it was, when it is no RTF.
bool showRtf(QTextEdit &viewer, const QByteArray &rtf);
// The same for a file; false also when the file cannot be read.
bool showRtfFile(QTextEdit &viewer, const QString &path);

// Sends the viewer's text as plain text to the default printer; when nothing
// could be printed, beeps and says "A nyomtató nincs készenlétben!".
void printViewerText(QWidget *screen, const QTextEdit &viewer);

}  // namespace tvx::help
