#include "common/printing.h"

#include <QPainter>
#include <QPrinter>

namespace tvx {

void mapPageOnto(QPainter &painter, const QSize &pageSize, const QRect &target)
{
    QSize size = pageSize;
    size.scale(target.size(), Qt::KeepAspectRatio);
    painter.setViewport(target.x(), target.y(), size.width(), size.height());
    painter.setWindow(QRect(QPoint(0, 0), pageSize));
}

bool printPage(QPrinter &printer, const PageDrawing &page, bool landscape)
{
    if (!printer.isValid() || !page.paint || page.size.isEmpty())
        return false;
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    mapPageOnto(painter, page.size, painter.viewport());
    page.paint(painter);
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

}  // namespace tvx
