#include "platform/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

#include <limits>

namespace platform {

namespace {

const QString LocalPicture = QStringLiteral("application/x-qt-image");

const QMimeData *clipboardData()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

// The formats on offer. QMimeData::formats() asks the owner once;
// hasImage() and hasFormat() ask again for every picture format Qt knows.
QStringList offeredFormats(const QMimeData *data)
{
    return data ? data->formats() : QStringList();
}

// Decodes picture data whose header size `fits` accepts. Qt's readers
// refuse anything over their own allocation limit (128 MB, about 33
// megapixels); here the caller's limit is the one that counts, so the
// reader may take what the accepted size needs, at the widest pixels it
// decodes to (16 bits a channel).
QImage decodeWithin(const QByteArray &bytes, const std::function<bool(QSize)> &fits)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer); // format by content, whatever the owner called it
    const QSize size = reader.size();
    if (!size.isValid() || !fits(size))
        return {};
    constexpr qint64 widestPixelBytes = 8;
    const qint64 megabytes = (qint64(size.width()) * size.height() * widestPixelBytes >> 20) + 1;
    reader.setAllocationLimit(int(qMin<qint64>(megabytes, std::numeric_limits<int>::max())));
    QImage image = reader.read();
    // Kept in 32-bit pixels, as every picture the viewer decodes itself.
    if (image.depth() > 32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return image;
}

// Of the formats on offer, the one to paste a picture from: PNG first
// (lossless, and what most programs offer), then any other picture format
// the image readers know, then a picture this process put there itself;
// empty when none is a picture.
QString pastedPictureFormat(const QStringList &offered)
{
    if (offered.contains(QStringLiteral("image/png")))
        return QStringLiteral("image/png");
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const QString &format : offered)
        if (readable.contains(format.toLatin1()))
            return format;
    return offered.contains(LocalPicture) ? LocalPicture : QString();
}

} // namespace

bool clipboardHasBitmap()
{
    return !pastedPictureFormat(offeredFormats(clipboardData())).isEmpty();
}

QImage clipboardBitmap(const std::function<bool(QSize)> &fits)
{
    const QMimeData *data = clipboardData();
    // The toolkit keeps the list it was given, so this asks no one again.
    const QString format = pastedPictureFormat(offeredFormats(data));
    if (format.isEmpty())
        return {};
    if (format == LocalPicture) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        return fits(image.size()) ? image : QImage();
    }
    // One request for the data, in the one format chosen.
    return decodeWithin(data->data(format), fits);
}

bool setClipboardBitmap(const QImage &image)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard || image.isNull())
        return false;
    clipboard->setImage(image);
    return true;
}

} // namespace platform
