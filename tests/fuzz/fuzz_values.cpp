// Values as users type them into fields: numbers with a decimal comma, dates,
// times, yes/no, and text of a size. Input: the typed text; its first bytes
// also make a number and a date that are written out and read back.
// Properties:
// - a number read from text is finite, a date read from text is valid;
// - a value that fits a field is stored the same after a round through the
//   field (stored, shown, stored again);
// - a value that does not fit is refused with a message and stores nothing;
// - numbers and dates written the way the program and users write them are
//   read back unchanged.

#include "data/values.h"
#include "fuzzcheck.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace tvx::data;
using tvx::fuzz::shown;

namespace {

const FieldDef kFields[] = {
    {QStringLiteral("Szöveg"), FieldType::Text, 10},    {QStringLiteral("Megjegyzés"), FieldType::Memo, 0},
    {QStringLiteral("Dátum"), FieldType::Date, 0},      {QStringLiteral("Idő"), FieldType::Time, 0},
    {QStringLiteral("Igen"), FieldType::YesNo, 0},      {QStringLiteral("Kicsi"), FieldType::Short, 0},
    {QStringLiteral("Egész"), FieldType::Long, 0},      {QStringLiteral("Összeg"), FieldType::Double, 0},
};

QString describe(const QVariant &v)
{
    return QStringLiteral("%1 „%2”").arg(QString::fromLatin1(v.typeName() ? v.typeName() : "null"), shown(v.toString()));
}

bool sameStored(const QVariant &a, const QVariant &b)
{
    if (a.isValid() != b.isValid())
        return false;
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a == b;
}

// Stored, shown and stored again: the second store keeps what the first gave.
void roundThroughField(const FieldDef &field, const QVariant &value)
{
    const StoredValue stored = toStorage(field, value);
    const QString what = field.name + QStringLiteral(": ") + describe(value);
    if (stored.error) {
        TVX_FUZZ_CHECK(stored.error.code == ErrorCode::ValueDoesNotFit, what);
        TVX_FUZZ_CHECK(!stored.error.message.isEmpty(), what);
        TVX_FUZZ_CHECK(!stored.value.isValid(), what);
        return;
    }
    if (!stored.value.isValid())
        return;  // null
    const QVariant shownValue = fromStorage(field, stored.value);
    const StoredValue again = toStorage(field, shownValue);
    TVX_FUZZ_CHECK(!again.error, what + QStringLiteral(" → ") + describe(shownValue) + QStringLiteral(": ") + again.error.message);
    TVX_FUZZ_CHECK(sameStored(again.value, stored.value),
                   what + QStringLiteral(" → ") + describe(stored.value) + QStringLiteral(" → ") + describe(again.value));
    switch (field.type) {
    case FieldType::Short:
        TVX_FUZZ_CHECK(stored.value.toLongLong() >= -32768 && stored.value.toLongLong() <= 32767, what);
        break;
    case FieldType::Long:
        TVX_FUZZ_CHECK(stored.value.toLongLong() >= INT32_MIN && stored.value.toLongLong() <= INT32_MAX, what);
        break;
    case FieldType::Double: TVX_FUZZ_CHECK(std::isfinite(stored.value.toDouble()), what); break;
    case FieldType::Date: TVX_FUZZ_CHECK(parseDate(stored.value.toString()), what); break;
    default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);

    if (const auto number = parseNumber(text)) {
        TVX_FUZZ_CHECK(std::isfinite(*number), shown(text));
        // what was read reads the same when written as the screens write it
        const QString written = hungarian.toString(*number, 'g', 17);
        const auto back = parseNumber(written);
        TVX_FUZZ_CHECK(back && *back == *number, shown(text) + QStringLiteral(" → ") + written);
    }
    if (const auto date = parseDate(text)) {
        TVX_FUZZ_CHECK(date->isValid(), shown(text));
        TVX_FUZZ_CHECK(parseDate(date->toString(Qt::ISODate)) == date, shown(text));
    }
    for (const FieldDef &field : kFields)
        roundThroughField(field, text);

    // The first bytes as a number and as a day: written out as users and the
    // program write them, they are read back unchanged.
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        if (std::isfinite(d)) {
            for (const QString &written : {hungarian.toString(d, 'g', 17), QString::number(d, 'g', 17)}) {
                const auto back = parseNumber(written);
                TVX_FUZZ_CHECK(back && *back == d, written);
            }
            // two decimals, with the Hungarian thousands separator
            const QString cents = hungarian.toString(d, 'f', 2);
            const auto back = parseNumber(cents);
            TVX_FUZZ_CHECK(back && *back == QString::number(d, 'f', 2).toDouble(), cents);
        }
        for (const FieldDef &field : kFields)
            roundThroughField(field, d);
    }
    if (size >= 4) {
        qint32 offset;
        std::memcpy(&offset, data, sizeof offset);
        const QDate day = QDate(2000, 1, 1).addDays(offset % 4000000);
        for (const QString &written : {day.toString(Qt::ISODate), day.toString(QStringLiteral("yyyy.MM.dd.")),
                                       day.toString(QStringLiteral("yyyy. MM. dd.")), day.toString(QStringLiteral("yyyy-M-d"))}) {
            if (day.year() >= 1000 && day.year() <= 9999)
                TVX_FUZZ_CHECK(parseDate(written) == day, written);
        }
        for (const FieldDef &field : kFields)
            roundThroughField(field, day);
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(uint32_t(offset) % 86400000u));
        for (const FieldDef &field : kFields)
            roundThroughField(field, time);
    }
    return 0;
}
