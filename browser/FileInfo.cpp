#include "browser/FileInfo.h"

#include "browser/FileTypes.h"
#include "controls/Convert.h"

namespace app {

QString fileSizeText(qint64 length)
{
    const auto kilobytes = static_cast<qint64>(controls::roundHalfEven(double(length) / 1024.0));
    if (kilobytes == 0)
        return QString::number(length) + QStringLiteral("bytes");
    return QString::number(kilobytes) + QStringLiteral("KB");
}

QString singleText(double value)
{
    return QString::number(float(value), 'g', 7);
}

QString pictureSizeText(double width, double height)
{
    return singleText(width) + QStringLiteral(" X ") + singleText(height);
}

QString fileDateText(const QDateTime &modified, const QLocale &locale)
{
    QString text = locale.toString(modified.date(), QLocale::ShortFormat);
    // Compared at whole seconds, the precision shown: 00:00:00.5 is midnight.
    const QTime time = modified.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return text;
    // The locale's long time without a time-zone part.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return text + QLatin1Char(' ') + locale.toString(time, format.trimmed());
}

QString pictureTitle(const QString &picturePath, qint64 position, qint64 count)
{
    return TitlePrefix + picturePath + QStringLiteral(" (") + QString::number(position) + QLatin1Char('/')
           + QString::number(count) + QLatin1Char(')');
}

} // namespace app
