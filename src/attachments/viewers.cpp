#include "attachments/viewers.h"

#include <QDir>
#include <QStandardPaths>

namespace tvx::attachments {

QString pathField(Kind kind)
{
    switch (kind) {
    case Kind::Foto: return QStringLiteral("FotóÚtvonalaNeve");
    case Kind::Dokumentum: return QStringLiteral("DokumentumÚtvonalaNeve");
    case Kind::Tablazat: return QStringLiteral("TáblázatÚtvonalaNeve");
    case Kind::Adatbazis: return QStringLiteral("AdatbázisÚtvonalaNeve");
    case Kind::Email: return QStringLiteral("EmailÚtvonalaNeve");
    case Kind::Hang: return QStringLiteral("HangÚtvonalNeve");
    case Kind::Video: return QStringLiteral("VideoÚtvonalNeve");
    }
    return {};
}

QString emptyPathMessage(Kind kind)
{
    switch (kind) {
    case Kind::Foto: return QStringLiteral("Nincs magadva fotó elérési útvonala!");
    case Kind::Dokumentum: return QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!");
    case Kind::Tablazat: return QStringLiteral("Nincs magadva táblázat elérési útvonala!");
    case Kind::Adatbazis: return QStringLiteral("Nincs magadva adatbázis elérési útvonala!");
    case Kind::Email: return QStringLiteral("Nincs magadva elektronikus dokumentum elérési útvonala!");
    case Kind::Hang: return QStringLiteral("Nincs magadva hang elérési útvonala!");
    case Kind::Video: return QStringLiteral("Nincs magadva videó elérési útvonala!");
    }
    return {};
}

QString notStartedMessage(Kind kind)
{
    switch (kind) {
    case Kind::Foto: return QStringLiteral("Nem található kép-megtekintő szoftver!");
    case Kind::Dokumentum: return QStringLiteral("Nem található MS Word szövegszerkesztő!");
    case Kind::Tablazat: return QStringLiteral("Nem található MS Excel táblázatkezelő!");
    case Kind::Adatbazis: return QStringLiteral("Nem található MS Access adatbázis kezelő!");
    case Kind::Email: return QStringLiteral("Nem található Outlook Express levelezőrendszer!");
    case Kind::Hang: return QStringLiteral("Nem található hang lejátszó szoftver!");
    case Kind::Video: return QStringLiteral("Nem található videó lejátszó szoftver!");
    }
    return {};
}

#ifdef Q_OS_WIN

Viewer viewerFor(Kind kind, const QString &)
{
    // the office programs by name, in their folders on the current drive
    const QString drive = QDir::toNativeSeparators(QDir::current().rootPath());
    const QString office = drive + QStringLiteral("Program Files\\Microsoft Office\\Office10\\");
    switch (kind) {
    case Kind::Dokumentum: return {false, QStringLiteral("winword.exe"), {}, office};
    case Kind::Tablazat: return {false, QStringLiteral("excel.exe"), {}, office};
    case Kind::Adatbazis: return {false, QStringLiteral("msaccess.exe"), {}, office};
    case Kind::Email: return {false, QStringLiteral("msimn.exe"), {}, drive + QStringLiteral("Program Files\\Outlook Express\\")};
    default: return {};
    }
}

QString installedOfficeSuite() { return {}; }

#else

Viewer viewerFor(Kind kind, const QString &officeSuite)
{
    if (officeSuite.isEmpty())
        return {};
    switch (kind) {
    case Kind::Dokumentum: return {false, officeSuite, {QStringLiteral("--writer")}, {}};
    case Kind::Tablazat: return {false, officeSuite, {QStringLiteral("--calc")}, {}};
    case Kind::Adatbazis: return {false, officeSuite, {QStringLiteral("--base")}, {}};
    default: return {};
    }
}

QString installedOfficeSuite()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return found.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("soffice")) : found;
}

#endif

}  // namespace tvx::attachments
