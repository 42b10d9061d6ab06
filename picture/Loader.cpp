#include "picture/Loader.h"

#include "picture/codecs/Codecs.h"
#include "picture/metafile/Metafile.h"

#include "platform/HostPath.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

namespace picture {

// An enlarged view needs no more pixels than the file has.
QSize decodedSize(const DecodeSize &size, QSize natural)
{
    if (size.fit == DecodeSize::Fit::Natural || size.box.isEmpty() || natural.isEmpty())
        return natural;
    if (size.fit == DecodeSize::Fit::Exactly)
        return natural.boundedTo(size.box);
    const double scale = std::min({1.0, double(size.box.width()) / natural.width(), double(size.box.height()) / natural.height()});
    return QSize(std::max(1, int(std::lround(natural.width() * scale))), std::max(1, int(std::lround(natural.height() * scale))));
}

namespace {

using namespace codecs;

// Names formats the viewer does not read, so that the message says what the
// file is rather than only what it is not.
QString unsupportedFormatName(const QByteArray &data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("PNG");
    if (data.startsWith("II*\0") || data.startsWith("MM\0*"))
        return QStringLiteral("TIFF");
    if (data.startsWith("RIFF") && data.mid(8, 4) == "WEBP")
        return QStringLiteral("WebP");
    if (data.mid(4, 4) == "ftyp")
        return QStringLiteral("HEIF/AVIF");
    if (data.startsWith("8BPS"))
        return QStringLiteral("Photoshop");
    return {};
}

Decoded decode(const QByteArray &data, const DecodeSize &size)
{
    if (data.isEmpty())
        return Decoded::failure(QStringLiteral("the file is empty"));
    const auto shownSize = [&](QSize natural) { return decodedSize(size, natural); };
    if (looksLikeJpeg(data))
        return decodeJpeg(data, shownSize);
    if (looksLikeGif(data))
        return decodeGif(data);
    if (data.startsWith("BM"))
        return decodeBmp(data, DibKind::File, shownSize);
    if (looksLikeIcon(data))
        return decodeIcon(data);
    if (looksLikeHeaderlessDib(data))
        return decodeBmp(data, DibKind::Headerless, shownSize);
    const QString other = unsupportedFormatName(data);
    if (!other.isEmpty())
        return Decoded::failure(QStringLiteral("%1 pictures are not supported").arg(other));
    return Decoded::failure(QStringLiteral("not a picture format the viewer reads"));
}

LoadResult pictureOf(Decoded decoded, const QString &sourcePath)
{
    if (decoded.image.size() != decoded.natural)
        return {Picture::fromReducedImage(std::move(decoded.image), decoded.natural, sourcePath), {}};
    return {Picture::fromImage(std::move(decoded.image)), {}};
}

LoadResult loadBytes(const QByteArray &data, DecodeSize size, const QString &name, const QString &sourcePath)
{
    auto failed = [&](const QString &why) {
        return LoadResult{{}, name.isEmpty() ? why : QStringLiteral("%1: %2").arg(name, why)};
    };
    if (metafile::looksLikeMetafile(data)) {
        QString error;
        auto drawing = metafile::load(data, &error);
        if (!drawing)
            return failed(error.isEmpty() ? QStringLiteral("unreadable metafile") : error);
        return {Picture::fromDrawing(std::move(drawing)), {}};
    }
    Decoded decoded = decode(data, size);
    if (!decoded.ok())
        return failed(decoded.error.isEmpty() ? QStringLiteral("unreadable picture") : decoded.error);
    return pictureOf(std::move(decoded), sourcePath);
}

} // namespace

LoadResult load(const QString &hostPath, DecodeSize size)
{
    // Opened through its bytes: Qt's own file names cannot hold every name
    // a folder can (see platform/HostPath.h).
    if (platform::hostIsDir(hostPath))
        return {{}, QStringLiteral("%1: is a folder").arg(hostPath)};
    QFile file;
    if (!platform::openHostFile(file, hostPath, QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1: %2").arg(hostPath, QString::fromLocal8Bit(std::strerror(errno)))};
    // Every format we read is compressed far better than our image limit;
    // a larger file cannot be one we would show.
    if (file.size() > codecs::kMaxDecodedBytes)
        return {{}, QStringLiteral("%1: the file is too large").arg(hostPath)};
    // A large bitmap shown reduced is read a few rows at a time instead of
    // whole; any other file, or one that path does not take, is read whole.
    if (size.fit != DecodeSize::Fit::Natural && !size.box.isEmpty() && file.peek(2) == "BM") {
        std::optional<Decoded> reduced =
            codecs::decodeBmpReduced(file, [&](QSize natural) { return decodedSize(size, natural); });
        if (reduced && reduced->ok())
            return pictureOf(std::move(*reduced), hostPath);
        if (!file.seek(0))
            return {{}, QStringLiteral("%1: %2").arg(hostPath, file.errorString())};
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("%1: %2").arg(hostPath, file.errorString())};
    return loadBytes(data, size, hostPath, hostPath);
}

Picture decodedFor(const Picture &held, const DecodeSize &size)
{
    if (!held.isReduced() || held.sourcePath().isEmpty())
        return held;
    const QSize wanted = decodedSize(size, held.naturalSize());
    if (wanted.width() <= held.image().width() && wanted.height() <= held.image().height())
        return held;
    LoadResult again = load(held.sourcePath(), size);
    if (!again.ok() || again.picture.naturalSize() != held.naturalSize())
        return held;
    return again.picture;
}

LoadResult loadFromData(const QByteArray &data, DecodeSize size, const QString &nameForMessages)
{
    return loadBytes(data, size, nameForMessages, QString());
}

} // namespace picture
