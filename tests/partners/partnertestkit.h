#pragma once

// Partners for the partner screen's tests, written straight into the data set.

#include "data/datasource.h"
#include "support/tablerows.h"

#include <QDir>
#include <QTest>

struct PartnerRow {
    QVariant name;
    QVariant id;
    QVariant phone = {};
    QVariant fax = {};
};

inline void addPartners(const QDir &dir, const QList<PartnerRow> &rows)
{
    tvx::data::DataSource partners(QStringLiteral("Torzsek.tvd"), QStringLiteral("BEPARTNER"), nullptr, dir);
    QVERIFY(partners.refresh());
    for (const PartnerRow &row : rows) {
        QVERIFY(partners.addNew());
        QVERIFY(partners.setValue(QStringLiteral("BerNev"), row.name));
        QVERIFY(partners.setValue(QStringLiteral("recordID"), row.id));
        QVERIFY(partners.setValue(QStringLiteral("BerTelefon"), row.phone));
        QVERIFY(partners.setValue(QStringLiteral("BerFax"), row.fax));
        QVERIFY2(partners.update(), qPrintable(partners.lastError().message));
    }
}

// "Partner 1" … "Partner n", identifiers 1 … n
inline void addNumberedPartners(const QDir &dir, int count)
{
    QList<PartnerRow> rows;
    for (int i = 1; i <= count; ++i)
        rows << PartnerRow{QStringLiteral("Partner %1").arg(i), i};
    addPartners(dir, rows);
}

// Types text key by key, accented letters and quotes included.
inline void typeText(QWidget *field, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Each row's name and identifier, in table order.
inline QList<QPair<QVariant, QVariant>> storedPartners(const QDir &dir)
{
    QList<QPair<QVariant, QVariant>> rows;
    for (const QVariantList &row : tableRows(dir, QStringLiteral("Torzsek.tvd"), QStringLiteral("select BerNev, recordID from BEPARTNER")))
        rows << qMakePair(row.value(0), row.value(1));
    return rows;
}
