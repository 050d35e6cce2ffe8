#include "data/messages.h"

#include <QDir>

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

Error lockFileDenied(const QString &lockFilePath)
{
    // not a lock of another user's: the screens show this text, not their lock message
    return {ErrorCode::Io,
            QStringLiteral("Az adat nem zárolható: a(z) %1 zárolási állományt ez a felhasználó nem írhatja, ezért a módosítás "
                           "felülírhatná egy másik munkahely adatát. Kérje meg a rendszergazdát, hogy adjon írási jogot "
                           "az adatállomány mappájának minden állományára!")
                .arg(QDir::toNativeSeparators(lockFilePath))};
}

Error lockingNotSupported(const QString &fileName)
{
    return {ErrorCode::Io,
            QStringLiteral("Az adat nem zárolható: a(z) %1 állomány tárolója nem támogatja a rekordzárolást, ezért a módosítás "
                           "felülírhatná egy másik munkahely adatát. Kérje meg a rendszergazdát, hogy a megosztott mappát "
                           "zárolással csatolja!")
                .arg(fileName)};
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

namespace {

const QString kRestore = QStringLiteral("Állítsa vissza egy korábbi mentésből (a Tarvfix SAVE mappáiból)!");

}  // namespace

Error notADatabase(const QString &fileName)
{
    return {ErrorCode::NotADatabase,
            QStringLiteral("A(z) %1 állomány nem olvasható adatbázis: a tartalma nem adatbázis. %2").arg(fileName, kRestore)};
}

Error emptyFile(const QString &fileName)
{
    return {ErrorCode::NotADatabase,
            QStringLiteral("A(z) %1 állomány nem olvasható adatbázis: üres (0 bájt). %2").arg(fileName, kRestore)};
}

Error damaged(const QString &fileName)
{
    return {ErrorCode::NotADatabase,
            QStringLiteral("A(z) %1 állomány sérült (csonka vagy hibás adatbázis). Futtassa a Tarvfix karbantartó programot, "
                           "vagy állítsa vissza egy korábbi mentésből (a Tarvfix SAVE mappáiból)!")
                .arg(fileName)};
}

Error readOnly(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem írható: az állomány vagy a mappája csak olvasható. "
                                          "A módosítás nem került mentésre. Kérjen írási jogot a rendszergazdától, majd próbálja újra!")
                               .arg(fileName)};
}

Error diskFull(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem írható: megtelt a lemez. A módosítás nem került mentésre. "
                                          "Szabadítson fel helyet a lemezen, majd próbálja újra!")
                               .arg(fileName)};
}

Error ioFailure(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány olvasása vagy írása nem sikerült (lemez- vagy hálózati hiba). "
                                          "Ellenőrizze a lemezt és a hálózati kapcsolatot, majd próbálja újra!")
                               .arg(fileName)};
}

Error cannotOpen(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 állomány nem nyitható meg: nincs hozzá jogosultság, vagy nem érhető el. "
                                          "Kérjen hozzáférést a rendszergazdától!")
                               .arg(fileName)};
}

Error outOfMemory(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("Nincs elég memória a(z) %1 állomány kezeléséhez. Zárjon be más programokat, majd próbálja újra!")
                               .arg(fileName)};
}

Error busy(const QString &fileName)
{
    return {ErrorCode::Busy, QStringLiteral("A(z) %1 állományt egy másik program éppen írja. Próbálja újra!").arg(fileName)};
}

Error notExecuted(const QString &fileName)
{
    return {ErrorCode::BadStatement,
            QStringLiteral("A művelet nem hajtható végre a(z) %1 állományon: a lekérdezés hibás, vagy a tábla szerkezete eltér a vártától.")
                .arg(fileName)};
}

Error serverUnreachable(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("A(z) %1 adatállomány nem nyitható meg: az adatbázis-kiszolgáló nem érhető el, vagy "
                                          "elutasította a kapcsolódást. Ellenőrizze a hálózati kapcsolatot, vagy forduljon a "
                                          "rendszergazdához!")
                               .arg(fileName)};
}

Error serverConnectionLost(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("Megszakadt a kapcsolat az adatbázis-kiszolgálóval (%1), ezért a művelet nem hajtódott "
                                          "végre, a módosítás nem került mentésre. Ellenőrizze a hálózati kapcsolatot, majd "
                                          "próbálja újra!")
                               .arg(fileName)};
}

Error recordLockLost(const QString &fileName)
{
    return {ErrorCode::Io, QStringLiteral("Megszakadt a kapcsolat az adatbázis-kiszolgálóval (%1), és vele a rekord zárolása is "
                                          "elveszett, ezért a módosítás nem került mentésre. Vonja vissza a módosítást (Esc), "
                                          "majd kezdje újra!")
                               .arg(fileName)};
}

Error ruleBroken(const QString &fileName, const QString &field, Rule rule)
{
    QString why;
    switch (rule) {
    case Rule::NotNull: why = QStringLiteral("nem maradhat üres."); break;
    case Rule::Unique: why = QStringLiteral("már van ilyen érték, egyedinek kell lennie."); break;
    case Rule::Check: why = QStringLiteral("nem fér el a mezőben, vagy nem felel meg a mező szabályának."); break;
    case Rule::Unknown: why = QStringLiteral("nem fér el a mezőben, vagy nem felel meg a tábla szabályának."); break;
    }
    if (field.isEmpty())
        return {ErrorCode::ValueDoesNotFit, QStringLiteral("A(z) %1 állományba írt érték %2").arg(fileName, why)};
    return {ErrorCode::ValueDoesNotFit, QStringLiteral("A(z) %1 állomány „%2” mezőjének értéke %3").arg(fileName, field, why)};
}

}  // namespace tvx::data::messages
