#include "common/datetimeid.h"

namespace tvx {

QString dateTimeIdentifier(const QDateTime &at, const QLocale &locale)
{
    const QDate d = at.date();
    const QString datePart = QString::number(d.year()) + QString::number(d.month()) + QString::number(d.day());
    // single precision, as the clock's seconds counter is kept
    const float seconds = float(at.time().msecsSinceStartOfDay() / 1000.0);
    QString secondsPart = QString::number(double(seconds), 'g', 7);
    if (secondsPart.contains(u'e')) {
        // shortest form never needs an exponent within a day
        secondsPart = QString::number(double(seconds), 'f', 7);
        while (secondsPart.endsWith(u'0'))
            secondsPart.chop(1);
        if (secondsPart.endsWith(u'.'))
            secondsPart.chop(1);
    }
    secondsPart.replace(u'.', locale.decimalPoint());
    return (QString::number(datePart.toLongLong()) + secondsPart).trimmed();
}

QString dateTimeIdentifier(const Clock &clock, const QLocale &locale)
{
    return dateTimeIdentifier(clock.now(), locale);
}

}  // namespace tvx
