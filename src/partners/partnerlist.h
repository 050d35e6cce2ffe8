#pragma once

// The printed partner list: pages of 22 partners, from the partner screen's
// current partner to the end of its table, each shown in the page window where
// the user prints it, goes on or stops.

#include "common/platform.h"
#include "common/screen.h"

#include <QSize>
#include <QString>

#include <array>

class QPainter;
class QPushButton;

namespace tvx {
namespace data {
class DataSource;
}

namespace partners {

inline constexpr int kRowsPerPage = 22;
inline constexpr int kColumns = 6;
// The page's client area in twips: a landscape sheet.
inline constexpr QSize kPageTwips{14685, 10020};
inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

struct PartnerListPage {
    QString productLabel = QStringLiteral("Tarvix - Irattári Nyilvántartás");
    QString title;
    QString pageNumber;  // "Lapszám: " and the number
    QString issueDate;   // "Kiadva: " and the short date
    std::array<std::array<QString, kColumns>, kRowsPerPage> rows;

    // The page as the listing starts it: title, empty rows, date and number.
    void prepare(int number, const QString &date);
};

// The six header texts of a page.
const std::array<QString, kColumns> &columnHeaders();
// The six cells of the current partner.
std::array<QString, kColumns> partnerCells(const data::DataSource &partners);

// Draws the page in twips: the window and the printer both use it.
void paintPartnerListPage(QPainter &painter, const PartnerListPage &page);
PageDrawing pageDrawing(const PartnerListPage &page);

// The page window. "Tovább" (also closing it) goes on, "Mégse" stops the
// listing, "Nyomtat" prints the page and leaves the window open.
class BeszallitoNyomFormX : public Screen {
    Q_OBJECT
public:
    explicit BeszallitoNyomFormX(const PartnerListPage &page, QWidget *parent = nullptr);

    // Set to 0 whenever a page window is loaded and to 1 by its "Mégse".
    static int pageCancelFlag;

    const PartnerListPage &page() const { return page_; }

    QPushButton *Tovabb;
    QPushButton *Nyomtat;
    QPushButton *Megse;

public Q_SLOTS:
    void printPage();

private:
    void showButtons(bool shown);
    PartnerListPage page_;
};

// The next partner. One deleted meanwhile by another workstation drops out of
// the record set on the first try, so a second try goes on past it. False
// when the rest of the table cannot be reached; no failure stays pending.
bool moveToNext(data::DataSource &partners);

// The listing of the partner screen's "&Nyomtatás". `pageNumber` is the
// screen's page counter. Returns the number of pages shown.
int listPartners(QWidget *screen, data::DataSource &partners, int &pageNumber);

}  // namespace partners
}  // namespace tvx
