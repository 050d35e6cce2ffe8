#include "common/printing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

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

namespace {

// tab stops every eight characters, as on a line printer
QString withTabsExpanded(const QString &line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString expanded;
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            expanded.append(QString(8 - expanded.size() % 8, QLatin1Char(' ')));
        else
            expanded.append(c);
    }
    return expanded;
}

}  // namespace

bool printPlainText(QPrinter &printer, const QString &text)
{
    if (!printer.isValid())
        return false;
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    font = QFont(font, &printer);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, &printer);
    const qreal width = printer.width();
    const qreal height = printer.height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    // pictures leave an object mark in the text; they are not printed
    QString plain = text;
    plain.remove(QChar::ObjectReplacementCharacter).remove(QLatin1Char('\r'));
    plain.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));

    bool ok = true;
    qreal y = 0;
    auto room = [&](qreal lineHeight) {
        if (y > 0 && y + lineHeight > height) {
            ok = ok && printer.newPage();
            y = 0;
        }
    };
    for (const QString &line : plain.split(QLatin1Char('\n'))) {
        if (!ok)
            break;
        if (line.isEmpty()) {
            room(metrics.lineSpacing());
            y += metrics.lineSpacing();
            continue;
        }
        QTextLayout layout(withTabsExpanded(line), font, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine wrapped = layout.createLine(); wrapped.isValid(); wrapped = layout.createLine())
            wrapped.setLineWidth(width);
        layout.endLayout();
        for (int i = 0; i < layout.lineCount() && ok; ++i) {
            const QTextLine wrapped = layout.lineAt(i);
            const qreal lineHeight = std::max(wrapped.height(), metrics.lineSpacing());
            room(lineHeight);
            wrapped.draw(&painter, QPointF(0, y - wrapped.y()));
            y += lineHeight;
        }
    }
    const bool ended = painter.end();
    return ok && ended && printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

}  // namespace tvx
