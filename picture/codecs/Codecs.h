#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The decoders behind picture::load. Each one reads a whole file held in
// memory, checks it as strictly as the format allows, and either gives an
// image or a one-line reason. None of them allocates more than the limits
// below, whatever a header claims.
namespace picture::codecs {

// Largest image a full decode may produce, in bytes of 32-bit pixels
// (512 MiB, about 134 megapixels). A header claiming more is refused before
// anything is allocated.
inline constexpr qint64 kMaxDecodedBytes = qint64(512) * 1024 * 1024;
// Largest side we accept at all; QImage cannot address more.
inline constexpr int kMaxSide = 65535;

inline bool fitsDecodeLimit(qint64 width, qint64 height, qint64 bytesPerPixel = 4)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide
        && width * height * bytesPerPixel <= kMaxDecodedBytes;
}

struct Decoded {
    QImage image;       // what was decoded (possibly reduced, see `natural`)
    QSize natural;      // the picture's size as the file states it (upright)
    QString error;      // empty on success
    bool ok() const { return error.isEmpty() && !image.isNull(); }

    static Decoded failure(QString why) { return {{}, {}, std::move(why)}; }
    static Decoded success(QImage image)
    {
        const QSize size = image.size();
        return {std::move(image), size, {}};
    }
};

// Little-endian reads with bounds checks.
class ByteReader {
public:
    explicit ByteReader(const QByteArray &data) : m_data(reinterpret_cast<const uint8_t *>(data.constData())), m_size(data.size()) {}
    ByteReader(const uint8_t *data, qint64 size) : m_data(data), m_size(size) {}
    qint64 size() const { return m_size; }
    const uint8_t *data() const { return m_data; }
    bool has(qint64 offset, qint64 count) const { return offset >= 0 && count >= 0 && offset <= m_size && count <= m_size - offset; }
    uint8_t u8(qint64 o) const { return has(o, 1) ? m_data[o] : 0; }
    uint16_t u16(qint64 o) const { return has(o, 2) ? uint16_t(m_data[o] | m_data[o + 1] << 8) : 0; }
    uint32_t u32(qint64 o) const
    {
        return has(o, 4) ? uint32_t(m_data[o]) | uint32_t(m_data[o + 1]) << 8 | uint32_t(m_data[o + 2]) << 16 | uint32_t(m_data[o + 3]) << 24 : 0;
    }
    int32_t i32(qint64 o) const { return int32_t(u32(o)); }

private:
    const uint8_t *m_data;
    qint64 m_size;
};

// Windows bitmaps.
enum class DibKind {
    File,     // "BM" file header, then the bitmap
    Headerless, // a bitmap info header at offset 0 (clipboard-style .dib)
    IconEntry,  // an icon or cursor image: doubled height, AND mask after the colours
};
// True when `data` starts with a bitmap info header we know (the headerless form).
bool looksLikeHeaderlessDib(const QByteArray &data);
// `shownSize`, when given, maps the picture's size to the size it will be
// shown at; an opaque uncompressed bitmap shown at half its size or less is
// then decoded to exactly that size (see decodeJpeg), its natural size kept.
Decoded decodeBmp(const QByteArray &data, DibKind kind, const std::function<QSize(QSize)> &shownSize = {});
// The same reduced decode of a bitmap file read from `file` a few rows at a
// time, without holding the whole file. Nothing when that decode does not
// apply or the file is not one it reads cleanly (damaged, a large colour
// table, changed while read): the caller then reads the whole file and
// decodes it with decodeBmp, whose result and errors are the ones that count.
std::optional<Decoded> decodeBmpReduced(QIODevice &file, const std::function<QSize(QSize)> &shownSize);
// The size an icon entry's bitmap header states (height already halved), or an empty size.
QSize dibEntrySize(const uint8_t *data, qint64 size, int *bitCount);

// Icons and cursors: the largest image of the file.
bool looksLikeIcon(const QByteArray &data);
Decoded decodeIcon(const QByteArray &data);

// GIF: the first frame on the logical screen.
bool looksLikeGif(const QByteArray &data);
Decoded decodeGif(const QByteArray &data);

// JPEG. `shown` is the size the picture will be shown at (upright); when it is
// smaller than the picture, the decoder uses libjpeg's reduced-size decoding and
// returns an image of exactly that size. An empty `shown` means every pixel.
bool looksLikeJpeg(const QByteArray &data);
Decoded decodeJpeg(const QByteArray &data, const std::function<QSize(QSize)> &shownSize);

} // namespace picture::codecs
