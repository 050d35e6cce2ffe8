#pragma once

#include "common/platform.h"

class QPrinter;

namespace tvx {

// Prints one page on `printer` in the given orientation: the drawing is scaled
// to the printable area (keeping its proportions) and painted at the printer's
// own resolution. False when the printer refused or failed.
bool printPage(QPrinter &printer, const PageDrawing &page, bool landscape);

// Sets up `painter` so that the drawing's units fill `target` (keeping its
// proportions, top-left aligned): the window and the printer share this.
void mapPageOnto(QPainter &painter, const QSize &pageSize, const QRect &target);

// Prints `text` on `printer` as plain text: one printed line per line of the
// text, long lines wrapped at the page width, a new page when one is full.
// False when the printer refused or failed.
bool printPlainText(QPrinter &printer, const QString &text);

}  // namespace tvx
