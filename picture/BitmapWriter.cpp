#include "picture/BitmapWriter.h"

#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace picture {

bool saveAsBitmap(const Picture &picture, const QString &hostPath)
{
    const QImage full = picture.toImage();
    if (full.isNull())
        return false;
    // A bitmap has no transparency; an icon's clear parts become white, as a
    // drawing's background is.
    QImage opaque(full.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, full);
    }
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "bmp");
    if (!writer.write(opaque)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace picture
