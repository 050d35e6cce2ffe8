#include "data/messages.h"

namespace tvx::data::messages {

Error fileMissing(const QString &fileName)
{
    return {ErrorCode::FileMissing, QStringLiteral("Nem található a(z) %1 állomány!").arg(fileName)};
}

Error noSuchTable(const QString &table, const QString &fileName)
{
    return {ErrorCode::NoSuchTable, QStringLiteral("Nincs „%1” tábla a(z) %2 állományban.").arg(table, fileName)};
}

Error noSuchField(const QString &table, const QString &field)
{
    return {ErrorCode::NoSuchField, QStringLiteral("Nincs ilyen mező a(z) „%1” táblában: „%2”.").arg(table, field)};
}

Error noSuchPosition(const QString &table, int position)
{
    return {ErrorCode::NoSuchField, QStringLiteral("Nincs %1. mező a(z) „%2” adatforrásban.").arg(position + 1).arg(table)};
}

Error noCurrentRecord() { return {ErrorCode::NoCurrentRecord, QStringLiteral("Nincs aktuális rekord.")}; }

Error closed() { return {ErrorCode::Closed, QStringLiteral("Az adatforrás le van zárva.")}; }

Error recordLocked()
{
    return {ErrorCode::Locked, QStringLiteral("Az adat jelenleg zárolt: egy másik felhasználó vagy program szerkeszti.")};
}

Error recordDeleted()
{
    return {ErrorCode::RecordDeleted, QStringLiteral("Az adatot közben törölték: a rekord már nem létezik.")};
}

Error foreignBookmark()
{
    return {ErrorCode::NoCurrentRecord, QStringLiteral("A könyvjelző egy másik rekordhalmazhoz tartozik.")};
}

Error noEditInProgress()
{
    return {ErrorCode::NoCurrentRecord, QStringLiteral("Nincs folyamatban lévő módosítás vagy új adat.")};
}

Error valueDoesNotFit(const QString &field, const QString &why)
{
    return {ErrorCode::ValueDoesNotFit, QStringLiteral("A(z) „%1” mező értéke nem megfelelő: %2").arg(field, why)};
}

Error tooDeep(int limit)
{
    return {ErrorCode::BadStatement,
            QStringLiteral("A feltétel túl mélyen egymásba ágyazott: legfeljebb %1 szint zárójel és NOT lehet egymásban.").arg(limit)};
}

Error tooLong(int limit)
{
    return {ErrorCode::BadStatement, QStringLiteral("A feltétel túl hosszú: legfeljebb %1 összehasonlítás lehet benne.").arg(limit)};
}

Error badLikePattern(const QString &pattern)
{
    return {ErrorCode::BadStatement, QStringLiteral("Hibás LIKE minta: „%1” (lezáratlan vagy fordított [ ] tartomány).").arg(pattern)};
}

}  // namespace tvx::data::messages
