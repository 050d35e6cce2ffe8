#include "filing/filingentry.h"

#include "common/clock.h"
#include "common/datetimeid.h"
#include "data/datasource.h"
#include "data/jetsql.h"

#include <array>

namespace tvx::filing {

namespace {

const QString kIdentifier = QStringLiteral("recordID");

// How far a taken identifier moves on: the identifier shows hundredths of a
// second through most of the day, so each step is a new one.
constexpr int kRetryStepMs = 10;
constexpr int kRetries = 6000;  // a minute of later readings

QString identifierCriteria(const QString &identifier)
{
    return QStringLiteral("[recordID] = ") + data::jet::quoted(identifier, u'"');
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}

}  // namespace

QString composeFilingNumber(const QStringList &parts) { return parts.join(QString()); }

std::span<const FieldSearch> fieldSearches()
{
    static const std::array<FieldSearch, 6> searches{{
        {QStringLiteral("Iktatószám"), QStringLiteral("Command5"), QStringLiteral("Iktatószám"),
         QStringLiteral("Keresés iktatószámra"), QStringLiteral("Kérem a teljes iktatószámot vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen iktatószám! Keressen újra, vagy válasszon a listából!"), true},
        {QStringLiteral("Jellege"), QStringLiteral("Command6"), QStringLiteral("IktatószámJelleg"),
         QStringLiteral("Keresés iktatószám jellege tulajdonságra"),
         QStringLiteral("Kérem az iktatószám jellegét vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen ügy jellege! Keressen újra, vagy válasszon a listából!"), false},
        {QStringLiteral("Jele"), QStringLiteral("Command7"), QStringLiteral("IktatószámJel"),
         QStringLiteral("Keresés iktatószám jele tulajdonságra"), QStringLiteral("Kérem az iktatószám jelét vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen iktatószám jele! Keressen újra, vagy válasszon a listából!"), false},
        {QStringLiteral("Száma"), QStringLiteral("Command8"), QStringLiteral("IktatószámSzám"),
         QStringLiteral("Keresés iktatószám száma tulajdonságra"),
         QStringLiteral("Kérem az iktatószám számát vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen iktatószám száma! Keressen újra, vagy válasszon a listából!"), false},
        {QStringLiteral("Alszáma"), QStringLiteral("Command9"), QStringLiteral("IktatószámAlszám"),
         QStringLiteral("Keresés iktatószám alszáma tulajdonságra"),
         QStringLiteral("Kérem az iktatószám alszámát vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen iktatószám alszáma! Keressen újra, vagy válasszon a listából!"), false},
        {QStringLiteral("Egyéb jele"), QStringLiteral("Command10"), QStringLiteral("IktatószámEgyébjel"),
         QStringLiteral("Keresés iktatószám egyéb jele tulajdonságra"),
         QStringLiteral("Kérem az iktatószám egyéb jele vagy annak részét csillaggal:"),
         QStringLiteral("Nincs ilyen iktatószám egyéb jele! Keressen újra, vagy válasszon a listából!"), false},
    }};
    return searches;
}

QString filterStatement(const FieldSearch &search, const QString &foundValue)
{
    if (search.filterWithLike)
        return QStringLiteral("select * from Tarvix where %1 like %2").arg(search.field, data::jet::quoted(data::jet::likeLiteral(foundValue)));
    return QStringLiteral("select * from Tarvix where %1 = %2").arg(search.field, data::jet::quoted(foundValue));
}

QString wholeTableStatement() { return QStringLiteral("select * from Tarvix"); }

const QStringList &entryFields()
{
    static const QStringList fields{
        QStringLiteral("recordID"),         QStringLiteral("PartnerNeve"),        QStringLiteral("PartnerID"),
        QStringLiteral("SzerzödésSzáma"),   QStringLiteral("SzerzödésDátuma"),    QStringLiteral("ÜgyJellege"),
        QStringLiteral("SzámlaTartozás"),   QStringLiteral("FelvitelDátuma"),     QStringLiteral("Elözmények"),
        QStringLiteral("KezelésiFeljegyzés"), QStringLiteral("IrattárbaHelyezésDátuma"), QStringLiteral("IrattáriAlszám"),
        QStringLiteral("Megjegyzés"),       QStringLiteral("Ügyintézö"),          QStringLiteral("Foto"),
        QStringLiteral("IktatószámJelleg"), QStringLiteral("IktatószámJel"),      QStringLiteral("IktatószámSzám"),
        QStringLiteral("IktatószámAlszám"), QStringLiteral("IktatószámEgyébjel"), QStringLiteral("Iktatószám"),
        QStringLiteral("Dokumentum"),       QStringLiteral("Táblázat"),           QStringLiteral("Adatbázis"),
        QStringLiteral("Email"),
    };
    return fields;
}

bool addEntry(data::DataSource &entries, data::DataSource &archive, const Clock &clock, QString &identifier)
{
    const QDateTime at = clock.now();
    const QDate today = at.date();
    if (!entries.addNew())
        return false;
    for (const char *dateField : {"SzerzödésDátuma", "FelvitelDátuma", "IrattárbaHelyezésDátuma"}) {
        if (!entries.setValue(QString::fromUtf8(dateField), today)) {
            entries.cancelUpdate();
            return false;
        }
    }
    // The check runs inside the save's write transaction: no entry can take
    // the identifier between the check and the save. An entry deleted
    // meanwhile is in the archive before it leaves the table, so it is seen
    // in one of the two.
    const bool saved = entries.update([&](data::WriteCheck &check) -> data::Error {
        QString last;
        for (int step = 0; step < kRetries; ++step) {
            const QString candidate = dateTimeIdentifier(at.addMSecs(qint64(step) * kRetryStepMs));
            if (candidate == last)
                continue;
            last = candidate;
            const QString criteria = identifierCriteria(candidate);
            bool taken = false;
            if (data::Error e = check.exists(criteria, taken))
                return e;
            // without an archive file nothing was archived that could clash
            if (!taken && archive.isOpen() && !archive.existsInTable(criteria, taken))
                archive.clearError();
            if (!taken) {
                identifier = candidate;
                return check.setValue(kIdentifier, candidate);
            }
        }
        return {data::ErrorCode::Refused, QStringLiteral("Nem képezhető új, egyedi iktatási azonosító!")};
    });
    if (!saved) {
        entries.cancelUpdate();  // the failure stays pending for the caller
        return false;
    }
    return entries.moveLast();
}

ArchivingResult archiveAndDelete(data::DataSource &entries, data::DataSource &archive)
{
    auto nothingDeleted = [](data::DataSource &source) {
        ArchivingResult result{Archiving::NothingDeleted, source.lastError()};
        source.clearError();
        return result;
    };

    QVector<QVariant> entry;
    if (!entries.storedValues(entry))
        return nothingDeleted(entries);
    if (!archive.isOpen() && !archive.refresh())
        return nothingDeleted(archive);
    auto rs = archive.recordset();
    if (!rs || rs->fieldCount() != entry.size()) {
        return {Archiving::NothingDeleted,
                {data::ErrorCode::NoSuchField,
                 QStringLiteral("Az archív állomány (TarvixArchiv.tvd) táblájának mezői nem egyeznek az iktatás mezőivel!")}};
    }

    // the whole row is written in one save, or nothing is
    if (!archive.addNew())
        return nothingDeleted(archive);
    for (int position = 0; position < entry.size(); ++position) {
        if (!archive.setValue(position, entry[position])) {
            ArchivingResult result = nothingDeleted(archive);
            archive.cancelUpdate();
            return result;
        }
    }
    if (!archive.update()) {
        ArchivingResult result = nothingDeleted(archive);
        archive.cancelUpdate();
        return result;
    }
    archive.moveLast();

    // the entry is deleted only when its copy reads back equal, nulls included
    QVector<QVariant> copy;
    bool equal = archive.storedValues(copy) && copy.size() == entry.size();
    for (int position = 0; equal && position < entry.size(); ++position)
        equal = sameValue(entry[position], copy[position]);
    if (!equal) {
        ArchivingResult result{Archiving::NothingDeleted,
                               archive.lastError() ? archive.lastError()
                                                   : data::Error{data::ErrorCode::Io, QStringLiteral("Az archivált sor nem egyezik az adattal!")}};
        archive.clearError();
        if (archive.edit() && archive.deleteCurrent())
            archive.moveLast();
        archive.cancelUpdate();
        archive.clearError();
        return result;
    }

    if (!entries.edit()) {
        ArchivingResult result{Archiving::EntryLocked, entries.lastError()};
        entries.clearError();
        return result;
    }
    if (!entries.deleteCurrent()) {
        ArchivingResult result{Archiving::EntryLocked, entries.lastError()};
        entries.cancelUpdate();
        entries.clearError();
        return result;
    }
    entries.moveNext();
    entries.clearError();
    return {Archiving::Deleted, {}};
}

}  // namespace tvx::filing
