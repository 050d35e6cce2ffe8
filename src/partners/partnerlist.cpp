#include "partners/partnerlist.h"

#include "common/funcs.h"
#include "common/printing.h"
#include "data/datasource.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QLocale>
#include <QPainter>
#include <QPushButton>

namespace tvx::partners {

namespace {

// Positions in twips, top-left corners of the texts.
constexpr std::array<int, kColumns> kColumnX{360, 4320, 5640, 6480, 9360, 12840};
constexpr int kHeaderY = 1080;
constexpr int kFirstRowY = 1440;
constexpr int kRowStep = 360;
constexpr QPoint kProductLabel{120, 120};
constexpr QPoint kPageNumber{360, 480};
constexpr QPoint kTitle{6600, 480};
constexpr QPoint kIssueDate{360, 9480};
constexpr QSize kButtonSize{975, 615};

// Font sizes in twips (points × 20).
QFont pageFont(double points, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(qRound(points * 20));
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void drawText(QPainter &painter, QPoint at, const QString &text, int width = 0)
{
    const QFontMetrics metrics(painter.font());
    // a cell that would run into the next column is cut short
    const QString shown = width > 0 ? metrics.elidedText(text, Qt::ElideRight, width) : text;
    painter.drawText(QRect(at, QSize(width > 0 ? width : kPageTwips.width() - at.x(), metrics.height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}

// A header wider than its column is set narrower, so it stays whole and apart
// from the next one.
void drawHeader(QPainter &painter, QPoint at, const QString &text, int width)
{
    const QFont font = painter.font();
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    if (width > 0 && advance > width) {
        QFont narrow = font;
        narrow.setStretch(std::max(60, 100 * width / advance));
        painter.setFont(narrow);
    }
    drawText(painter, at, text);
    painter.setFont(font);
}

QRect twips(QPoint at, QSize size)
{
    return {at.x() / kTwipsPerPixel, at.y() / kTwipsPerPixel, size.width() / kTwipsPerPixel, size.height() / kTwipsPerPixel};
}

class PageView final : public QWidget {
public:
    PageView(const PartnerListPage &page, QWidget *parent) : QWidget(parent), page_(page)
    {
        setFixedSize(kPageTwips / kTwipsPerPixel);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        mapPageOnto(painter, kPageTwips, rect());
        paintPartnerListPage(painter, page_);
    }

private:
    const PartnerListPage &page_;
};

}  // namespace

void PartnerListPage::prepare(int number, const QString &date)
{
    title = QStringLiteral("PARTNEREK");
    for (auto &row : rows)
        row.fill(QString());
    issueDate = QStringLiteral("Kiadva: ") + date;
    pageNumber = QStringLiteral("Lapszám: ") + QString::number(number);
}

const std::array<QString, kColumns> &columnHeaders()
{
    static const std::array<QString, kColumns> headers{QStringLiteral("Név:"),      QStringLiteral("Irányítószám:"),
                                                       QStringLiteral("Ország:"),   QStringLiteral("Székhely:"),
                                                       QStringLiteral("Cím:"),      QStringLiteral("Telefon / FAX:")};
    return headers;
}

std::array<QString, kColumns> partnerCells(const data::DataSource &partners)
{
    const auto text = [&](const char *field) { return Funcs::NullToEmpty(partners.shownValue(QString::fromUtf8(field))); };
    return {text("BerNev"),      text("BerIrszam"), text("BerOrszag"),
            text("BerSzekhely"), text("BerCim"),    text("BerTelefon") + QStringLiteral(" / ") + text("BerFax")};
}

void paintPartnerListPage(QPainter &painter, const PartnerListPage &page)
{
    painter.save();
    painter.setPen(Qt::blue);
    painter.setFont(pageFont(6));
    drawText(painter, kProductLabel, page.productLabel);

    painter.setPen(Qt::black);
    painter.setFont(pageFont(9.75));
    drawText(painter, kPageNumber, page.pageNumber);
    painter.setFont(pageFont(12, true, true));
    drawText(painter, kTitle, page.title);

    const auto columnWidth = [](int column) {
        return column + 1 < kColumns ? kColumnX[size_t(column) + 1] - kColumnX[size_t(column)] - 60 : 0;
    };
    painter.setFont(pageFont(9.75, true, true));
    for (int c = 0; c < kColumns; ++c)
        drawHeader(painter, {kColumnX[size_t(c)], kHeaderY}, columnHeaders()[size_t(c)], columnWidth(c));

    painter.setFont(pageFont(9.75));
    for (int r = 0; r < kRowsPerPage; ++r)
        for (int c = 0; c < kColumns; ++c)
            drawText(painter, {kColumnX[size_t(c)], kFirstRowY + kRowStep * r}, page.rows[size_t(r)][size_t(c)], columnWidth(c));
    drawText(painter, kIssueDate, page.issueDate);
    painter.restore();
}

PageDrawing pageDrawing(const PartnerListPage &page)
{
    return {kPageTwips, [page](QPainter &painter) { paintPartnerListPage(painter, page); }};
}

int BeszallitoNyomFormX::pageCancelFlag = 0;

BeszallitoNyomFormX::BeszallitoNyomFormX(const PartnerListPage &page, QWidget *parent) : Screen(parent), page_(page)
{
    setObjectName(QStringLiteral("BeszallitoNyomFormX"));
    setWindowTitle(QStringLiteral("Partnerlista - Tarvix"));
    auto *view = new PageView(page_, this);
    setCentralWidget(view);
    setFixedSize(view->size());

    const auto button = [&](const char *name, const QString &caption, int x) {
        auto *b = new QPushButton(caption, view);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(twips({x, 0}, kButtonSize));
        return b;
    };
    Tovabb = button("Tovabb", QStringLiteral("Tovább"), 11400);
    Nyomtat = button("Nyomtat", QStringLiteral("Nyomtat"), 12480);
    Megse = button("Megse", QStringLiteral("Mégse"), 13560);
    Tovabb->setDefault(true);
    Megse->setShortcut(QKeySequence(Qt::Key_Escape));

    connect(Tovabb, &QPushButton::clicked, this, &BeszallitoNyomFormX::close);
    connect(Nyomtat, &QPushButton::clicked, this, &BeszallitoNyomFormX::printPage);
    connect(Megse, &QPushButton::clicked, this, [this] {
        pageCancelFlag = 1;
        close();
    });

    // load
    pageCancelFlag = 0;
    platform().setBusyPointer(false);
}

void BeszallitoNyomFormX::showButtons(bool shown)
{
    for (QPushButton *b : {Tovabb, Nyomtat, Megse})
        b->setVisible(shown);
}

void BeszallitoNyomFormX::printPage()
{
    platform().setBusyPointer(true);
    showButtons(false);
    const bool printed = platform().printPage(this, pageDrawing(page_), true);
    platform().setBusyPointer(false);
    if (!printed) {
        platform().beep();
        platform().message(this, QStringLiteral("FIGYELEM!"), QStringLiteral("A nyomtató nincs készenlétben!"), MessageIcon::None,
                           MessageButtons::Ok);
    }
    showButtons(true);
}

namespace {

// Shows one page modally; true when the user stopped the listing.
bool showPage(QWidget *screen, const PartnerListPage &page)
{
    BeszallitoNyomFormX window(page, screen);
    window.showModal();
    return BeszallitoNyomFormX::pageCancelFlag == 1;
}

}  // namespace

bool moveToNext(data::DataSource &partners)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (partners.moveNext())
            return true;
        partners.clearError();
        if (partners.eof())
            return true;
    }
    return false;
}

int listPartners(QWidget *screen, data::DataSource &partners, int &pageNumber)
{
    int shown = 0;
    platform().setBusyPointer(true);
    if (partners.recordCount() < 1) {
        reportProblem(screen, QStringLiteral("FIGYELEM!"), QStringLiteral("Nincs nyomtatandó adat!"), MessageIcon::None);
        return shown;
    }
    // the typed changes of the current partner belong on the list as well
    if (!partners.writePending())
        partners.clearError();
    if (partners.bof() && !partners.moveFirst())
        partners.clearError();

    const QString date = QLocale().toString(platform().clock().now().date(), QLocale::ShortFormat);
    PartnerListPage page;
    pageNumber = 1;
    page.prepare(pageNumber, date);
    int row = 1;
    for (;;) {
        if (partners.eof()) {
            platform().setBusyPointer(false);
            ++shown;
            const bool cancelled = showPage(screen, page);
            platform().setBusyPointer(false);
            if (cancelled)
                return shown;
            break;
        }
        page.rows[size_t(row - 1)] = partnerCells(partners);
        ++row;
        const bool moved = moveToNext(partners);
        if (row == kRowsPerPage + 1 || !moved) {
            platform().setBusyPointer(false);
            ++shown;
            if (showPage(screen, page))
                return shown;
            if (!moved)
                break;  // the rest of the table cannot be read: the listing ends here
            ++pageNumber;
            page.prepare(pageNumber, date);
            row = 1;
        }
    }
    platform().setBusyPointer(false);
    if (partners.recordCount() > 0 && partners.eof() && !partners.moveLast())
        partners.clearError();
    return shown;
}

}  // namespace tvx::partners
