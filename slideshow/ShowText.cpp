#include "slideshow/ShowText.h"

#include "browser/FileInfo.h"

namespace slideshow {

QString sizeAndPositionText(qint64 length, qint64 position, qint64 count)
{
    return app::fileSizeText(length) + QStringLiteral(" (") + QString::number(position) + QLatin1Char('/')
           + QString::number(count) + QLatin1Char(')');
}

std::optional<qint32> nextShowIndex(qint32 shown, qint32 count, bool loop)
{
    if (shown < count - 1)
        return shown + 1;
    if (loop && count > 0)
        return 0;
    return std::nullopt;
}

std::vector<qint32> upcomingShowIndices(std::optional<qint32> first, qint32 count, bool loop, int steps)
{
    std::vector<qint32> indices;
    for (std::optional<qint32> at = first; at && *at >= 0 && *at < count && int(indices.size()) < steps;
         at = nextShowIndex(*at, count, loop))
        indices.push_back(*at);
    return indices;
}

} // namespace slideshow
