#include "common/funcs.h"

#include "data/values.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace Funcs {

QVariant NullToZero(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return 0.0;
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        if (const auto number = tvx::data::parseNumber(value.toString()))
            return *number;
        return {};
    }
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime: return {};
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    }
}

QString NullToEmpty(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QLocale locale;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: return locale.toString(value.toDouble(), 'g', 15);
    case QMetaType::QDate: return locale.toString(value.toDate(), QStringLiteral("yyyy.MM.dd."));
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("Igaz") : QStringLiteral("Hamis");
    default: return value.toString();
    }
}

}  // namespace Funcs
