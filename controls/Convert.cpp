#include "controls/Convert.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace controls {

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1.0;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<qint32> CLng(const QString &text, const QLocale &locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        bool ok = false;
        const QString digits = t.mid(2);
        const quint64 bits = digits.toULongLong(&ok, 16);
        if (!ok || digits.size() > 8)
            return std::nullopt;
        return static_cast<qint32>(static_cast<quint32>(bits));
    }
    bool ok = false;
    const double value = locale.toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

} // namespace controls
