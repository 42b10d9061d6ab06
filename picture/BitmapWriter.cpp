#include "picture/BitmapWriter.h"

#include "platform/HostFiles.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <cerrno>

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
    return platform::host::writeFileAtomically(hostPath, true, [&opaque](int fd) {
               QFile file;
               if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
                   return EBADF;
               QImageWriter writer(&file, "bmp");
               return writer.write(opaque) && file.flush() ? 0 : EIO;
           })
           == 0;
}

} // namespace picture
