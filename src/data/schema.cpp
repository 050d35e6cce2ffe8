#include "data/schema.h"

#include "data/names.h"

#include <QRegularExpression>

namespace tvx::data {

namespace {

FieldDef text(const char *name, int size) { return {QString::fromUtf8(name), FieldType::Text, size}; }
FieldDef memo(const char *name) { return {QString::fromUtf8(name), FieldType::Memo, 0}; }
FieldDef date(const char *name) { return {QString::fromUtf8(name), FieldType::Date, 0}; }
FieldDef time(const char *name) { return {QString::fromUtf8(name), FieldType::Time, 0}; }
FieldDef yesNo(const char *name) { return {QString::fromUtf8(name), FieldType::YesNo, 0}; }
FieldDef shortInt(const char *name) { return {QString::fromUtf8(name), FieldType::Short, 0}; }
FieldDef longInt(const char *name) { return {QString::fromUtf8(name), FieldType::Long, 0}; }
FieldDef number(const char *name) { return {QString::fromUtf8(name), FieldType::Double, 0}; }

TableDef filingTable()
{
    return {QStringLiteral("Tarvix"),
            {
                text("recordID", 50),
                text("PartnerNeve", 60),
                longInt("PartnerID"),
                text("SzerzödésSzáma", 50),
                date("SzerzödésDátuma"),
                text("ÜgyJellege", 50),
                yesNo("SzámlaTartozás"),
                date("FelvitelDátuma"),
                yesNo("Elözmények"),
                memo("KezelésiFeljegyzés"),
                date("IrattárbaHelyezésDátuma"),
                text("IrattáriAlszám", 50),
                memo("Megjegyzés"),
                text("Ügyintézö", 50),
                yesNo("Foto"),
                text("IktatószámJelleg", 30),
                text("IktatószámJel", 30),
                text("IktatószámSzám", 30),
                text("IktatószámAlszám", 30),
                text("IktatószámEgyébjel", 30),
                text("Iktatószám", 255),
                yesNo("Dokumentum"),
                yesNo("Táblázat"),
                yesNo("Adatbázis"),
                yesNo("Email"),
            }};
}

QVector<DatabaseFileDef> buildFiles()
{
    const TableDef attachments{QStringLiteral("Mellekletek"),
                               {
                                   text("IktatasrecordID", 50),
                                   text("Iktatószám", 120),
                                   text("FotóÚtvonalaNeve", 255),
                                   text("DokumentumÚtvonalaNeve", 255),
                                   text("TáblázatÚtvonalaNeve", 255),
                                   text("AdatbázisÚtvonalaNeve", 255),
                                   text("EmailÚtvonalaNeve", 255),
                                   text("HangÚtvonalNeve", 255),
                                   text("VideoÚtvonalNeve", 255),
                               }};
    const TableDef debts{QStringLiteral("SzamlaTartozas"),
                         {
                             text("IktatásRecordID", 50),
                             text("PartnerNeve", 60),
                             longInt("PartnerID"),
                             text("Iktatószám", 255),
                             text("OkmánySzám", 50),
                             date("OkmányKelte"),
                             date("TeljesitésDátuma"),
                             date("FizetésiHatáridö"),
                             number("BruttóÖsszeg"),
                         }};
    const TableDef partners{QStringLiteral("BePartner"),
                            {
                                text("BerNev", 50),
                                text("BerIrszam", 7),
                                text("BerSzekhely", 40),
                                text("BerCim", 40),
                                text("BerTelefon", 15),
                                text("BerFax", 15),
                                text("BerMobil", 15),
                                text("BerAdoszam", 15),
                                text("BerSzamlaszam", 25),
                                longInt("recordID"),
                                text("Kapcsolattartó", 50),
                                text("BerOrszag", 3),
                                text("UgyfelStatus", 1),
                                text("BerEUAdoszam", 50),
                                text("BerVPID", 50),
                                text("BerAzonositoUgyfelkod", 50),
                            }};
    const TableDef countries{QStringLiteral("ORSZAGJEL"), {text("Országjel", 3), text("Ország", 100)}};
    const TableDef templates{QStringLiteral("Iktatoszam"),
                             {
                                 text("Jelleg", 30),
                                 text("Jel", 30),
                                 text("Szám", 30),
                                 text("Alszám", 30),
                                 text("EgyébJel", 30),
                                 longInt("PartnerID"),
                                 text("PartnerNeve", 60),
                             }};
    const TableDef users{QStringLiteral("Users"),
                         {
                             text("Felhasználó", 25),
                             text("Jelszó", 10),
                             shortInt("JogosultságiSzint"),
                             text("Létrehozó", 50),
                             date("LétrehozásDátuma"),
                         }};
    const TableDef activityLog{QStringLiteral("Regisztrálás"),
                               {
                                   text("AkcióFelhasználó", 50),
                                   text("AkcióJelszó", 50),
                                   date("AkcióDátuma"),
                                   time("AkcióIdeje"),
                                   text("AkcióLeírás", 255),
                                   memo("AkcióKönyvtár"),
                                   shortInt("AkcióSzint"),
                                   text("AkcióProgram", 50),
                                   shortInt("AkcióKód"),
                                   text("AkcióModul", 50),
                               }};
    const TableDef operatorRecord{QStringLiteral("Bettorzs"),
                                  {
                                      longInt("UzKod"),
                                      text("UzNev", 100),
                                      text("UzIrszam", 7),
                                      text("UzSzekhely", 40),
                                      text("UzCim", 60),
                                      text("UzAdoszam", 15),
                                  }};

    return {
        {QStringLiteral("Tarvix.tvd"), {filingTable(), attachments, debts}},
        {QStringLiteral("TarvixArchiv.tvd"), {filingTable()}},
        {QStringLiteral("Torzsek.tvd"), {partners, countries}},
        {QStringLiteral("Parameter.tvd"), {templates}},
        {QStringLiteral("regiszt.tvd"), {users, activityLog}},
        {QStringLiteral("betarol.tvd"), {operatorRecord}},
    };
}

}  // namespace

QString declaredType(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::Memo: return QStringLiteral("LONGTEXT");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    case FieldType::YesNo: return QStringLiteral("BOOLEAN");
    case FieldType::Short: return QStringLiteral("SMALLINT");
    case FieldType::Long: return QStringLiteral("INTEGER");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    }
    return QStringLiteral("LONGTEXT");
}

FieldDef fieldFromDeclaredType(const QString &name, const QString &declared)
{
    static const QRegularExpression sized(QStringLiteral(R"(^\s*(?:VAR)?CHAR(?:ACTER)?\s*\(\s*(\d+)\s*\)\s*$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString type = declared.trimmed().toUpper();
    if (const auto m = sized.match(type); m.hasMatch())
        return {name, FieldType::Text, qBound(1, m.captured(1).toInt(), 255)};
    if (type == u"DATE" || type == u"DATETIME")
        return {name, FieldType::Date, 0};
    if (type == u"TIME")
        return {name, FieldType::Time, 0};
    if (type == u"BOOLEAN" || type == u"BIT" || type == u"YESNO")
        return {name, FieldType::YesNo, 0};
    if (type == u"SMALLINT" || type == u"SHORT")
        return {name, FieldType::Short, 0};
    if (type.contains(u"INT"))
        return {name, FieldType::Long, 0};
    if (type == u"DOUBLE" || type == u"REAL" || type == u"FLOAT" || type == u"NUMERIC" || type.startsWith(u"DECIMAL"))
        return {name, FieldType::Double, 0};
    return {name, FieldType::Memo, 0};
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Text: return QStringLiteral("szöveg");
    case FieldType::Memo: return QStringLiteral("hosszú szöveg");
    case FieldType::Date: return QStringLiteral("dátum");
    case FieldType::Time: return QStringLiteral("időpont");
    case FieldType::YesNo: return QStringLiteral("igen/nem");
    case FieldType::Short: return QStringLiteral("kis egész szám");
    case FieldType::Long: return QStringLiteral("egész szám");
    case FieldType::Double: return QStringLiteral("szám");
    }
    return {};
}

const QVector<DatabaseFileDef> &databaseFiles()
{
    static const QVector<DatabaseFileDef> files = buildFiles();
    return files;
}

const DatabaseFileDef *databaseFile(const QString &fileName)
{
    for (const auto &file : databaseFiles()) {
        if (sameName(file.fileName, fileName))
            return &file;
    }
    return nullptr;
}

QStringList rebuiltFileNames()
{
    return {QStringLiteral("Tarvix.tvd"), QStringLiteral("TarvixArchiv.tvd"), QStringLiteral("Torzsek.tvd"),
            QStringLiteral("parameter.tvd"), QStringLiteral("regiszt.tvd")};
}

QStringList createStatements(const DatabaseFileDef &file)
{
    QStringList statements;
    for (const auto &table : file.tables) {
        QStringList columns;
        for (const auto &field : table.fields) {
            QString column = quoteIdentifier(field.name) + u' ' + declaredType(field);
            // the file itself refuses text longer than its field, whoever writes it
            if (field.type == FieldType::Text)
                column += QStringLiteral(" CHECK (length(%1) <= %2)").arg(quoteIdentifier(field.name)).arg(field.size);
            columns << column;
        }
        statements << QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(table.name), columns.join(u", "));
    }
    return statements;
}

}  // namespace tvx::data
