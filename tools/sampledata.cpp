#include "sampledata.h"

#include "data/datasource.h"
#include "data/schema.h"

#include <QDate>
#include <QFile>

namespace tvx::tools {

using tvx::data::DataSource;
using tvx::data::Error;

namespace {

struct Rows {
    DataSource &source;
    Error error;

    Rows &add(const QVariantList &values)
    {
        if (error)
            return *this;
        if (!source.addNew()) {
            error = source.lastError();
            return *this;
        }
        for (int i = 0; i < values.size(); ++i) {
            if (!values[i].isNull() && !source.setValue(i, values[i])) {
                error = source.lastError();
                source.cancelUpdate();
                return *this;
            }
        }
        if (!source.update())
            error = source.lastError();
        return *this;
    }
};

Error open(DataSource &source)
{
    return source.refresh() ? Error{} : source.lastError();
}

}  // namespace

data::Error fillSampleData(const QDir &dataSet)
{
    const QVariant null;
    const QDate today = QDate::currentDate();

    DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("BePartner"), nullptr, dataSet);
    if (Error e = open(partners))
        return e;
    struct Partner {
        const char *name, *zip, *town, *street, *phone, *tax, *contact, *country, *status;
    };
    const Partner list[] = {
        {"Kovács és Társa Bt.", "1052", "Budapest", "Váci utca 12.", "0612345678", "12345678213", "Kovács Péter", "HU", "1"},
        {"Szőke Ügyvédi Iroda", "6720", "Szeged", "Kárász utca 5.", "0662123456", "23456789206", "dr. Szőke Ilona", "HU", "2"},
        {"Csaba Építő Kft.", "4025", "Debrecen", "Piac utca 20.", "0652987654", "34567890209", "Csaba László", "HU", "0"},
        {"Cukor Pékség Zrt.", "9021", "Győr", "Baross Gábor út 3.", "0696555111", "45678901208", "Cukor Mária", "HU", "1"},
        {"Öveges Gépészet Kft.", "7621", "Pécs", "Király utca 44.", "0672444333", "56789012202", "Öveges Ödön", "HU", "3"},
        {"Árvíztűrő Tükörfúrógép Kft.", "8000", "Székesfehérvár", "Fő utca 1.", "0622111222", "67890123207", "Tóth Ágnes", "HU", "0"},
        {"Győri Irodaszer Bt.", "9024", "Győr", "Szent István út 8.", "0696222333", "78901234201", "Nagy Győző", "HU", "1"},
        {"Zsámbéki Fuvarozó Kft.", "2072", "Zsámbék", "Petőfi utca 9.", "0623555666", "89012345203", "Zsámbéki Zsolt", "HU", "2"},
        {"Ludwig & Söhne GmbH", "80331", "München", "Marienplatz 2.", "4989123456", "", "Hans Ludwig", "DE", "0"},
        {"Bella's Café Kft.", "1061", "Budapest", "Andrássy út 30.", "0613334444", "90123456204", "Bella O'Neil", "HU", "4"},
        {"Lánchíd Nyomda Kft.", "1011", "Budapest", "Fő utca 71.", "0612223333", "11223344205", "Lánczos Éva", "HU", "1"},
        {"Dél-Alföldi Víziközmű Zrt.", "6000", "Kecskemét", "Izsáki út 13.", "0676111000", "22334455206", "Fekete Ferenc", "HU", "1"},
    };
    Rows partnerRows{partners, {}};
    int id = 1;
    for (const Partner &p : list) {
        partnerRows.add({QString::fromUtf8(p.name), QString::fromUtf8(p.zip), QString::fromUtf8(p.town), QString::fromUtf8(p.street),
                         QString::fromUtf8(p.phone), null, null, QString::fromUtf8(p.tax), null, id++, QString::fromUtf8(p.contact),
                         QString::fromUtf8(p.country), QString::fromUtf8(p.status)});
    }
    if (partnerRows.error)
        return partnerRows.error;

    DataSource templates(QStringLiteral("Parameter.tvd"), QStringLiteral("Iktatoszam"), nullptr, dataSet);
    if (Error e = open(templates))
        return e;
    Rows templateRows{templates, {}};
    templateRows.add({QStringLiteral("SZ"), QStringLiteral("/B"), QStringLiteral("12"), QStringLiteral("-3"), null, 1,
                      QStringLiteral("Kovács és Társa Bt.")})
        .add({QStringLiteral("ÜGY"), QStringLiteral("/SZ"), QStringLiteral("2024"), QStringLiteral("/1"), QStringLiteral("-Ü"), 2,
              QStringLiteral("Szőke Ügyvédi Iroda")})
        .add({QStringLiteral("BÉR"), QStringLiteral("/C"), QStringLiteral("7"), null, null, 10, QStringLiteral("Bella's Café Kft.")});
    if (templateRows.error)
        return templateRows.error;

    DataSource entries(QStringLiteral("Tarvix.tvd"), QStringLiteral("Tarvix"), nullptr, dataSet);
    if (Error e = open(entries))
        return e;
    struct Entry {
        const char *id, *partner;
        int partnerId;
        const char *contract, *nature, *note, *clerk, *p1, *p2, *p3, *p4, *p5;
        int daysAgo;
        bool debt;
    };
    const Entry filings[] = {
        {"202411545296,5", "Kovács és Társa Bt.", 1, "K-2024/17", "Bérleti szerződés", "Eredeti példány a páncélszekrényben",
         "Kiss Éva", "SZ", "/B", "12", "-3", "", 120, true},
        {"202412239200", "Szőke Ügyvédi Iroda", 2, "SZI-88", "Megbízási szerződés", "Ügyvédi ellenjegyzéssel", "Kiss Éva", "ÜGY",
         "/SZ", "2024", "/1", "-Ü", 90, false},
        {"20251936100,25", "Csaba Építő Kft.", 3, "CSE-2025-001", "Vállalkozási szerződés", "Felújítás, 2. emelet", "Nagy Gábor",
         "V", "/E", "15", "", "", 60, true},
        {"202521441000", "Cukor Pékség Zrt.", 4, "CP/12", "Szállítási szerződés", "", "Nagy Gábor", "SZ", "/SZ", "3", "", "", 45, false},
        {"20253350400,5", "Árvíztűrő Tükörfúrógép Kft.", 6, "ÁT-7", "Adásvételi szerződés", "Garancia 24 hónap", "Kiss Éva", "A",
         "", "15", "", "", 30, false},
        {"20254129000", "Bella's Café Kft.", 10, "B\"C\"-5", "Bérleti szerződés", "Terasz bérlete", "Nagy Gábor", "BÉR", "/C", "7",
         "", "", 14, true},
        {"20255530000", "Lánchíd Nyomda Kft.", 11, "LN-2025", "Nyomdai megrendelés", "", "Kiss Éva", "M", "/N", "44", "/2", "", 7,
         false},
        {"20256133000,75", "Zsámbéki Fuvarozó Kft.", 8, "ZSF-31", "Fuvarozási keretszerződés", "Évente felülvizsgálandó",
         "Nagy Gábor", "K", "/F", "31", "", "-K", 2, false},
    };
    Rows entryRows{entries, {}};
    for (const Entry &e : filings) {
        const QDate day = today.addDays(-e.daysAgo);
        const QString parts[] = {QString::fromUtf8(e.p1), QString::fromUtf8(e.p2), QString::fromUtf8(e.p3), QString::fromUtf8(e.p4),
                                 QString::fromUtf8(e.p5)};
        auto orNull = [](const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); };
        entryRows.add({QString::fromUtf8(e.id), QString::fromUtf8(e.partner), e.partnerId, QString::fromUtf8(e.contract), day,
                       QString::fromUtf8(e.nature), e.debt, day, false, orNull(QString::fromUtf8(e.note)), day.addDays(1),
                       QStringLiteral("I/%1").arg(e.daysAgo), null, QString::fromUtf8(e.clerk), false, orNull(parts[0]),
                       orNull(parts[1]), orNull(parts[2]), orNull(parts[3]), orNull(parts[4]),
                       parts[0] + parts[1] + parts[2] + parts[3] + parts[4], e.daysAgo % 2 == 0, false, false, false});
    }
    if (entryRows.error)
        return entryRows.error;

    DataSource debts(QStringLiteral("Tarvix.tvd"), QStringLiteral("SzamlaTartozas"), nullptr, dataSet);
    if (Error e = open(debts))
        return e;
    Rows debtRows{debts, {}};
    debtRows.add({QStringLiteral("202411545296,5"), QStringLiteral("Kovács és Társa Bt."), 1, QStringLiteral("SZ/B12-3"),
                  QStringLiteral("KT-2024-0415"), today.addDays(-40), today.addDays(-40), today.addDays(-25), 152400.0})
        .add({QStringLiteral("20251936100,25"), QStringLiteral("Csaba Építő Kft."), 3, QStringLiteral("V/E15"),
              QStringLiteral("CSE/SZ-77"), today.addDays(-20), today.addDays(-21), today.addDays(10), 1250000.5});
    if (debtRows.error)
        return debtRows.error;

    DataSource attachments(QStringLiteral("Tarvix.tvd"), QStringLiteral("Mellekletek"), nullptr, dataSet);
    if (Error e = open(attachments))
        return e;
    Rows attachmentRows{attachments, {}};
    attachmentRows.add({QStringLiteral("202411545296,5"), QStringLiteral("SZ/B12-3"), null,
                        QStringLiteral("/usr/share/common-licenses/GPL-3"), null, null, null, null, null})
        .add({QStringLiteral("20253350400,5"), QStringLiteral("A15"), QStringLiteral("/usr/share/pixmaps/debian-logo.png"), null,
              null, null, null, null, null});
    if (attachmentRows.error)
        return attachmentRows.error;

    DataSource users(QStringLiteral("regiszt.tvd"), QStringLiteral("Users"), nullptr, dataSet);
    if (Error e = open(users))
        return e;
    Rows userRows{users, {}};
    userRows.add({QStringLiteral("demo"), null, 1, QStringLiteral("Első indítás"), today})
        .add({QStringLiteral("Kiss Éva"), QStringLiteral("titok"), 2, QStringLiteral("demo"), today});
    if (userRows.error)
        return userRows.error;

    DataSource operatorRecord(QStringLiteral("betarol.tvd"), QStringLiteral("Bettorzs"), nullptr, dataSet);
    if (Error e = open(operatorRecord))
        return e;
    if (!operatorRecord.setValue(QStringLiteral("UzNev"), QStringLiteral("Mintairoda Kft. – Irattár")) || !operatorRecord.update())
        return operatorRecord.lastError();
    return {};
}

}  // namespace tvx::tools
