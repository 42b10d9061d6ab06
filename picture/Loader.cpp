#include "picture/Loader.h"

#include "picture/metafile/Metafile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace picture {

LoadResult load(const QString &hostPath, DecodeSize size)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    return loadFromData(file.readAll(), size, hostPath);
}

LoadResult loadFromData(const QByteArray &data, DecodeSize size, const QString &nameForMessages)
{
    Q_UNUSED(size);
    if (metafile::looksLikeMetafile(data)) {
        QString error;
        auto drawing = metafile::load(data, &error);
        if (!drawing)
            return {{}, error.isEmpty() ? QStringLiteral("unreadable metafile") : error};
        return {Picture::fromDrawing(std::move(drawing)), {}};
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("%1: %2").arg(nameForMessages, reader.errorString())};
    return {Picture::fromImage(std::move(image)), {}};
}

} // namespace picture
