#pragma once

#include <QSize>
#include <QtGlobal>

#include <cstdint>
#include <cstring>

// A PNG embedded in another file (an icon entry, a metafile's bitmap) is
// checked before it reaches the PNG decoder: libpng allocates and clears the
// length a chunk header claims before it finds the bytes missing, so a
// hundred-byte file can make it take gigabytes.
namespace picture::codecs {

struct PngHeader {
    QSize size;       // as IHDR states it
    int bitDepth = 0; // bits per sample
    int colourType = 0;
};

inline bool startsAsPng(const uint8_t *data, qint64 size)
{
    return size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0;
}

// IHDR of the PNG in `data`, or an empty size when it is no whole PNG: IHDR
// not first, a chunk whose length runs past the bytes there are (or past the
// 2^31 - 1 the format allows), or no IEND.
inline PngHeader checkedPngHeader(const uint8_t *data, qint64 size)
{
    if (!startsAsPng(data, size))
        return {};
    const auto be32 = [&](qint64 at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | data[at + 3];
    };
    PngHeader header;
    for (qint64 at = 8; size - at >= 12;) {
        const qint64 length = be32(at);
        if (length > 0x7fffffff || length > size - at - 12)
            return {};
        const uint8_t *type = data + at + 4;
        if (at == 8) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                return {};
            header.size = QSize(int(std::min<uint32_t>(be32(at + 8), 0x7fffffff)),
                                int(std::min<uint32_t>(be32(at + 12), 0x7fffffff)));
            header.bitDepth = data[at + 16];
            header.colourType = data[at + 17];
        }
        if (std::memcmp(type, "IEND", 4) == 0)
            return header;
        at += 12 + length;
    }
    return {};
}

} // namespace picture::codecs
