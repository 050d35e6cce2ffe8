#pragma once

#include <QString>

namespace tvx {

// The logged-in user, process-wide. The access level is recorded, never enforced.
struct CurrentUser {
    QString name = QStringLiteral("demo");
    QString password = QStringLiteral("kuvo");
    short accessLevel = 1;
};

// Values a screen leaves for the screen it opens next; overwritten, never cleared.
struct HandOver {
    QString currentFilingId;          // recordID of the filing entry last created or handed over
    QString currentPartnerName;       // read by the invoice-debt screen
    QString currentFilingNumber;      // Iktatószám of that entry, for a debt made from it
    bool singleEntryAttachments = false;
    QString helpScreenId;             // read and emptied by the help window
};

CurrentUser &currentUser();
HandOver &handOver();

}  // namespace tvx
