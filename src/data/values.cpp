#include "data/values.h"

#include "data/messages.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace tvx::data {

namespace {

Error doesNotFit(const FieldDef &field, const QString &why) { return messages::valueDoesNotFit(field.name, why); }

// Characters as the file counts them: a character outside the basic plane is one, not two.
qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        count += c.isLowSurrogate() ? 0 : 1;
    return count;
}

// A date or time value that holds no date or time stands for null.
bool isEmptyDateOrTime(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().isNull();
    case QMetaType::QTime: return value.toTime().isNull();
    case QMetaType::QDateTime: return value.toDateTime().isNull();
    default: return false;
    }
}

std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2})[:.](\d{1,2})(?:[:.](\d{1,2})(?:[.,]\d+)?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

}  // namespace

std::optional<double> parseNumber(const QString &text)
{
    QString t = text.trimmed();
    t.remove(u' ');
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    if (t.isEmpty())
        return std::nullopt;
    // the locales read "inf" and "nan" too: no amount a user means
    bool ok = false;
    const double hu = QLocale(QLocale::Hungarian, QLocale::Hungary).toDouble(t, &ok);
    if (ok)
        return std::isfinite(hu) ? std::optional<double>(hu) : std::nullopt;
    const double c = QLocale::c().toDouble(t, &ok);
    if (ok && std::isfinite(c))
        return c;
    return std::nullopt;
}

std::optional<QDate> parseDate(const QString &text)
{
    // a time of day may follow the date (as other programs store it); nothing else may
    static const QRegularExpression ymd(QStringLiteral(
        R"(^\s*(\d{4})\s*[-./]\s*(\d{1,2})\s*[-./]\s*(\d{1,2})\s*\.?(?:[ T]\s*\d{1,2}:\d{2}(?::\d{2}(?:[.,]\d+)?)?(?:Z|[+-]\d{2}:?\d{2})?)?\s*$)"));
    if (const auto m = ymd.match(text); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

QVariant fromStorage(const FieldDef &field, const QVariant &stored)
{
    if (stored.isNull() || !stored.isValid())
        return {};
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo: return stored.toString();
    case FieldType::Date: {
        if (const auto d = parseDate(stored.toString()))
            return *d;
        return stored.toString();
    }
    case FieldType::Time: {
        if (const auto t = parseTime(stored.toString()))
            return *t;
        return stored.toString();
    }
    case FieldType::YesNo: return stored.toLongLong() != 0;
    case FieldType::Short:
    case FieldType::Long:
        if (stored.typeId() == QMetaType::LongLong)
            return int(stored.toLongLong());
        return stored;
    case FieldType::Double: return stored.typeId() == QMetaType::QString ? stored : QVariant(stored.toDouble());
    }
    return stored;
}

StoredValue toStorage(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull() || isEmptyDateOrTime(value))
        return {};
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.trimmed().isEmpty() && field.type != FieldType::Text && field.type != FieldType::Memo)
        return {};

    switch (field.type) {
    case FieldType::Text: {
        const QString s = value.toString();
        const qsizetype length = characterCount(s);
        if (field.size > 0 && length > field.size)
            return {{}, doesNotFit(field, QStringLiteral("legfeljebb %1 karakter lehet, de %2 karakter.").arg(field.size).arg(length))};
        return {s, {}};
    }
    case FieldType::Memo: return {value.toString(), {}};
    case FieldType::Date: {
        QDate date;
        if (value.typeId() == QMetaType::QDate)
            date = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        if (date.isValid()) {
            // the stored text has a four-digit year; other years would be stored as no date at all
            if (date.year() < 1 || date.year() > 9999)
                return {{}, doesNotFit(field, QStringLiteral("a dátum éve (%1) nem esik 1 és 9999 közé.").arg(date.year()))};
            return {date.toString(Qt::ISODate), {}};
        }
        if (const auto d = parseDate(value.toString()))
            return {d->toString(Qt::ISODate), {}};
        return {{}, doesNotFit(field, QStringLiteral("„%1” nem dátum.").arg(value.toString()))};
    }
    case FieldType::Time: {
        if (value.typeId() == QMetaType::QTime && value.toTime().isValid())
            return {value.toTime().toString(QStringLiteral("HH:mm:ss")), {}};
        if (value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid())
            return {value.toDateTime().time().toString(QStringLiteral("HH:mm:ss")), {}};
        if (const auto t = parseTime(value.toString()))
            return {t->toString(QStringLiteral("HH:mm:ss")), {}};
        return {{}, doesNotFit(field, QStringLiteral("„%1” nem időpont.").arg(value.toString()))};
    }
    case FieldType::YesNo: {
        if (value.typeId() == QMetaType::Bool)
            return {value.toBool() ? 1 : 0, {}};
        if (!isText)
            return {value.toDouble() != 0 ? 1 : 0, {}};
        const QString t = text.trimmed().toLower();
        if (t == u"igen" || t == u"true" || t == u"yes" || t == u"-1" || t == u"1" || t == u"i")
            return {1, {}};
        if (t == u"nem" || t == u"false" || t == u"no" || t == u"0" || t == u"n")
            return {0, {}};
        return {{}, doesNotFit(field, QStringLiteral("„%1” nem igen/nem érték.").arg(text))};
    }
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::Double: {
        std::optional<double> number;
        if (value.typeId() == QMetaType::Bool)
            number = value.toBool() ? -1.0 : 0.0;
        else if (isText)
            number = parseNumber(text);
        else {
            bool ok = false;
            const double d = value.toDouble(&ok);
            if (ok)
                number = d;
        }
        if (!number || !std::isfinite(*number))
            return {{}, doesNotFit(field, QStringLiteral("„%1” nem szám.").arg(value.toString()))};
        if (field.type == FieldType::Double)
            return {*number, {}};
        const double rounded = std::nearbyint(*number);
        const double lo = field.type == FieldType::Short ? -32768.0 : -2147483648.0;
        const double hi = field.type == FieldType::Short ? 32767.0 : 2147483647.0;
        if (rounded < lo || rounded > hi)
            return {{}, doesNotFit(field, QStringLiteral("%1 kívül esik a(z) %2 és %3 közötti tartományon.")
                                              .arg(value.toString()).arg(qint64(lo)).arg(qint64(hi)))};
        return {qint64(rounded), {}};
    }
    }
    return {value, {}};
}

}  // namespace tvx::data
