#pragma once

// The partner grid of the filing screens: the sixteen partner fields in the
// order the grids show them, each screen with captions of its own. Column 0 is
// the partner's name, column 9 its identifier.

#include "common/recordsetmodel.h"

#include <QStringList>

namespace tvx::filing {

inline constexpr int kPartnerNameColumn = 0;
inline constexpr int kPartnerIdColumn = 9;

inline QList<GridColumn> partnerGridColumns(const QStringList &captions)
{
    static const char *const fields[] = {
        "BerNev",         "BerIrszam", "BerSzekhely",  "BerCim",       "BerTelefon", "BerFax",
        "BerMobil",       "BerAdoszam", "BerSzamlaszam", "recordID",    "Kapcsolattartó", "BerOrszag",
        "UgyfelStatus",   "BerEUAdoszam", "BerVPID",   "BerAzonositoUgyfelkod",
    };
    QList<GridColumn> columns;
    for (int i = 0; i < captions.size() && i < int(std::size(fields)); ++i)
        columns << GridColumn{captions[i], QString::fromUtf8(fields[i])};
    return columns;
}

}  // namespace tvx::filing
