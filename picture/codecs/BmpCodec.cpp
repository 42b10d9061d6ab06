#include "picture/codecs/Codecs.h"

#include <QIODevice>
#include <QList>

#include <algorithm>
#include <bit>
#include <vector>

namespace picture::codecs {

namespace {

enum Compression : uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    Jpeg = 4,
    Png = 5,
    AlphaBitFields = 6,
    // OS/2 2.x reuses the numbers from 3 on for its own schemes; we map them here.
    Os2Huffman = 100,
    Os2Rle24 = 101,
};

bool knownHeaderSize(uint32_t size)
{
    switch (size) {
    case 12:  // OS/2 1.x BITMAPCOREHEADER
    case 16:  // OS/2 2.x, short form
    case 40:  // BITMAPINFOHEADER
    case 52:  // with RGB masks
    case 56:  // with RGBA masks
    case 64:  // OS/2 2.x, full form
    case 108: // BITMAPV4HEADER
    case 124: // BITMAPV5HEADER
        return true;
    default:
        return false;
    }
}

bool knownBitCount(uint32_t bpp)
{
    return bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m = 0) : mask(m), shift(m ? std::countr_zero(m) : 0), max(m ? m >> shift : 0) {}
    uint8_t operator()(uint32_t pixel) const
    {
        if (!mask)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (max == 255)
            return uint8_t(v);
        return uint8_t((uint64_t(v) * 255 + max / 2) / max);
    }
};

// Everything the headers say, checked.
struct Header {
    int width = 0;
    int height = 0;      // rows of the colour image (an icon's AND mask not counted)
    bool topDown = false;
    uint32_t bpp = 0;
    uint32_t compression = Rgb;
    uint32_t masks[4] = {0, 0, 0, 0}; // r, g, b, a
    bool useAlpha = false;
    QList<QRgb> palette;
    qint64 pixelOffset = 0;
    qint64 pixelEnd = 0;
};

// `fileSize` is the length of the whole file when `r` holds only its start
// (the headers and colour table); -1 when `r` holds all of it.
QString parseHeader(const ByteReader &r, DibKind kind, Header &h, qint64 fileSize = -1)
{
    if (fileSize < 0)
        fileSize = r.size();
    const qint64 base = kind == DibKind::File ? 14 : 0;
    if (kind == DibKind::File) {
        if (!r.has(0, 18) || r.u8(0) != 'B' || r.u8(1) != 'M')
            return QStringLiteral("not a Windows bitmap");
        // A file size of 0 is common; one beyond the end means data is missing.
        if (r.u32(2) > uint64_t(fileSize))
            return QStringLiteral("the bitmap is shorter than its header says (truncated file)");
    }
    const uint32_t hsize = r.u32(base);
    if (!knownHeaderSize(hsize))
        return QStringLiteral("unknown bitmap header size %1").arg(hsize);
    if (!r.has(base, hsize))
        return QStringLiteral("truncated bitmap header");

    int64_t width = 0, height = 0;
    uint32_t planes = 0, clrUsed = 0;
    bool core = hsize == 12;
    bool os2v2 = hsize == 16 || hsize == 64;
    if (core) {
        width = r.u16(base + 4);
        height = r.u16(base + 6);
        planes = r.u16(base + 8);
        h.bpp = r.u16(base + 10);
    } else {
        width = r.i32(base + 4);
        height = r.i32(base + 8);
        planes = r.u16(base + 12);
        h.bpp = r.u16(base + 14);
        if (hsize >= 20)
            h.compression = r.u32(base + 16);
        if (hsize >= 36)
            clrUsed = r.u32(base + 32);
        if (hsize >= 32) {
            // Resolution is only a hint, but values beyond ~25,000 dpi or
            // negative ones mean the header is garbage.
            const int32_t xppm = r.i32(base + 24), yppm = r.i32(base + 28);
            if (xppm < 0 || yppm < 0 || xppm > 1'000'000 || yppm > 1'000'000)
                return QStringLiteral("implausible resolution in the bitmap header");
        }
    }
    if (os2v2 && h.compression >= 3) {
        if (h.compression == 3)
            h.compression = Os2Huffman;
        else if (h.compression == 4)
            h.compression = Os2Rle24;
    }
    if (planes != 1)
        return QStringLiteral("bitmap header gives %1 planes").arg(planes);
    if (!knownBitCount(h.bpp))
        return QStringLiteral("unsupported bit depth %1").arg(h.bpp);
    if (width <= 0)
        return QStringLiteral("invalid bitmap width %1").arg(width);
    if (height == 0 || height == INT32_MIN)
        return QStringLiteral("invalid bitmap height %1").arg(height);
    h.topDown = height < 0;
    if (h.topDown && (core || kind == DibKind::IconEntry))
        return QStringLiteral("invalid bitmap height %1").arg(height);
    height = h.topDown ? -height : height;
    if (kind == DibKind::IconEntry) {
        if (height % 2)
            return QStringLiteral("icon bitmap height %1 is not doubled").arg(height);
        height /= 2;
    }

    switch (h.compression) {
    case Rgb:
        break;
    case Rle8:
        if (h.bpp != 8)
            return QStringLiteral("RLE8 needs 8 bits per pixel, not %1").arg(h.bpp);
        break;
    case Rle4:
        if (h.bpp != 4)
            return QStringLiteral("RLE4 needs 4 bits per pixel, not %1").arg(h.bpp);
        break;
    case Os2Rle24:
        if (h.bpp != 24)
            return QStringLiteral("RLE24 needs 24 bits per pixel, not %1").arg(h.bpp);
        break;
    case BitFields:
    case AlphaBitFields:
        if (h.bpp != 16 && h.bpp != 32)
            return QStringLiteral("bit fields need 16 or 32 bits per pixel, not %1").arg(h.bpp);
        break;
    case Jpeg:
    case Png:
        return QStringLiteral("bitmaps with embedded JPEG or PNG data are not supported");
    case Os2Huffman:
        return QStringLiteral("OS/2 Huffman-compressed bitmaps are not supported");
    default:
        return QStringLiteral("unknown bitmap compression %1").arg(h.compression);
    }
    const bool rle = h.compression == Rle8 || h.compression == Rle4 || h.compression == Os2Rle24;
    if (rle && h.topDown)
        return QStringLiteral("compressed bitmaps cannot be top-down");
    if (!fitsDecodeLimit(width, height))
        return QStringLiteral("the picture is too large (%1 x %2)").arg(width).arg(height);
    h.width = int(width);
    h.height = int(height);

    // Colour masks.
    qint64 afterHeader = base + hsize;
    if (h.compression == BitFields || h.compression == AlphaBitFields) {
        const int count = h.compression == AlphaBitFields ? 4 : 3;
        qint64 at = base + 40;
        if (hsize == 40) {
            if (!r.has(afterHeader, count * 4))
                return QStringLiteral("truncated bit field masks");
            afterHeader += count * 4;
        }
        for (int i = 0; i < count; ++i)
            h.masks[i] = r.u32(at + 4 * i);
        if (count == 3 && hsize >= 56)
            h.masks[3] = r.u32(base + 52);
        h.useAlpha = h.masks[3] != 0;
    } else if (h.bpp == 16) {
        h.masks[0] = 0x7c00, h.masks[1] = 0x03e0, h.masks[2] = 0x001f;
    } else if (h.bpp == 32) {
        h.masks[0] = 0xff0000, h.masks[1] = 0xff00, h.masks[2] = 0xff;
        // Version 4 and 5 headers may state an alpha channel for plain 32-bit data;
        // icons always carry one.
        if ((hsize >= 56 && r.u32(base + 52) == 0xff000000u) || kind == DibKind::IconEntry) {
            h.masks[3] = 0xff000000u;
            h.useAlpha = true;
        }
    }

    // Colour table.
    const int entrySize = core ? 3 : 4;
    const qint64 fileOffset = kind == DibKind::File ? qint64(r.u32(10)) : -1;
    qint64 entries = clrUsed;
    if (h.bpp <= 8) {
        const qint64 full = qint64(1) << h.bpp;
        if (entries == 0) {
            entries = full;
            // Headers without a colour count (OS/2) may carry a shorter table,
            // which only the pixel offset reveals.
            if (hsize < 36 && fileOffset > afterHeader)
                entries = std::min(full, (fileOffset - afterHeader) / entrySize);
        }
    }
    if (entries > 65536 || !r.has(afterHeader, entries * entrySize))
        return QStringLiteral("the colour table does not fit in the file");
    const qint64 paletteEnd = afterHeader + entries * entrySize;
    if (h.bpp <= 8) {
        const qint64 used = std::min<qint64>(entries, qint64(1) << h.bpp);
        h.palette.reserve(used);
        for (qint64 i = 0; i < used; ++i) {
            const qint64 at = afterHeader + i * entrySize;
            h.palette.append(qRgb(r.u8(at + 2), r.u8(at + 1), r.u8(at)));
        }
        if (h.palette.isEmpty())
            return QStringLiteral("the bitmap has no colours");
    }

    if (kind == DibKind::File) {
        // An offset pointing into the headers is a writer's mistake; the
        // pixels then follow the colour table, as in a headerless bitmap.
        h.pixelOffset = fileOffset < paletteEnd ? paletteEnd : fileOffset;
    } else {
        h.pixelOffset = paletteEnd;
    }
    if (h.pixelOffset >= fileSize)
        return QStringLiteral("the bitmap has no pixel data");
    h.pixelEnd = fileSize;
    return {};
}

// The largest block a reduced decode averages: a column's sum of k rows
// stays within 16 bits.
constexpr int kMaxBlock = 255;

qint64 strideFor(qint64 width, qint64 bpp)
{
    return ((width * bpp + 31) / 32) * 4;
}

// Turns one stored row of an uncompressed bitmap into pixels.
class RowDecoder {
public:
    explicit RowDecoder(const Header &h)
        : m_h(h), m_red(h.masks[0]), m_green(h.masks[1]), m_blue(h.masks[2]), m_alpha(h.masks[3]),
          m_plain32(h.bpp == 32 && h.masks[0] == 0xff0000 && h.masks[1] == 0xff00 && h.masks[2] == 0xff
                    && (h.masks[3] == 0 || h.masks[3] == 0xff000000u)),
          m_paletteSize(int(h.palette.size()))
    {
    }

    // 32-bit rows in the plain blue, green, red, alpha order.
    bool plain32() const { return m_plain32; }

    QString operator()(const uint8_t *src, QRgb *dst) const
    {
        const Header &h = m_h;
        switch (h.bpp) {
        case 1:
        case 2:
        case 4:
        case 8: {
            const int perByte = 8 / int(h.bpp);
            const int mask = (1 << h.bpp) - 1;
            for (int x = 0; x < h.width; ++x) {
                const int shift = int(h.bpp) * (perByte - 1 - x % perByte);
                const int index = (src[x / perByte] >> shift) & mask;
                if (index >= m_paletteSize)
                    return QStringLiteral("colour index %1 is outside the colour table").arg(index);
                dst[x] = h.palette[index];
            }
            break;
        }
        case 16:
            for (int x = 0; x < h.width; ++x) {
                const uint32_t p = src[2 * x] | src[2 * x + 1] << 8;
                dst[x] = qRgba(m_red(p), m_green(p), m_blue(p), h.useAlpha ? m_alpha(p) : 255);
            }
            break;
        case 24:
            for (int x = 0; x < h.width; ++x)
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 32:
            if (m_plain32) {
                const uint32_t opaque = h.useAlpha ? 0 : 0xff000000u;
                for (int x = 0; x < h.width; ++x)
                    dst[x] = (uint32_t(src[4 * x]) | uint32_t(src[4 * x + 1]) << 8 | uint32_t(src[4 * x + 2]) << 16
                              | uint32_t(src[4 * x + 3]) << 24) | opaque;
            } else {
                for (int x = 0; x < h.width; ++x) {
                    const uint32_t p = uint32_t(src[4 * x]) | uint32_t(src[4 * x + 1]) << 8 | uint32_t(src[4 * x + 2]) << 16
                        | uint32_t(src[4 * x + 3]) << 24;
                    dst[x] = qRgba(m_red(p), m_green(p), m_blue(p), h.useAlpha ? m_alpha(p) : 255);
                }
            }
            break;
        }
        return {};
    }

private:
    const Header &m_h;
    const Channel m_red, m_green, m_blue, m_alpha;
    const bool m_plain32;
    const int m_paletteSize;
};

QString decodeUncompressed(const ByteReader &r, const Header &h, QImage &image)
{
    const qint64 stride = strideFor(h.width, h.bpp);
    if (!r.has(h.pixelOffset, stride * h.height))
        return QStringLiteral("the pixel data is truncated");
    const RowDecoder decodeRow(h);
    for (int row = 0; row < h.height; ++row) {
        const uint8_t *src = r.data() + h.pixelOffset + stride * row;
        QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(h.topDown ? row : h.height - 1 - row));
        const QString error = decodeRow(src, dst);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

// sum[i] += row[i] for `count` bytes, in fixed runs of 32 that the compiler
// turns into vector code.
void addRow(uint16_t *__restrict sum, const uint8_t *__restrict row, int count)
{
    constexpr int Run = 32;
    int i = 0;
    for (; i + Run <= count; i += Run)
        for (int j = 0; j < Run; ++j)
            sum[i + j] = uint16_t(sum[i + j] + row[i + j]);
    for (; i < count; ++i)
        sum[i] = uint16_t(sum[i] + row[i]);
}

// One row of blocks of a reduced decode: the column sums of its rows, by
// byte of the stored (or decoded) pixels.
struct BlockRow {
    const uint16_t *columns;
    int width; // pixels
    int k;     // block width
    int rows;  // rows summed (fewer than k at the bottom edge)
    int at[3]; // where red, green and blue are within a pixel
};

// The average colour of each block of the row into `dst`; the last block
// may be narrower. Step is the bytes a pixel, K the block width when known
// at compile time (0: block.k).
template <int Step, int K>
void averageBlocks(const BlockRow &block, QRgb *dst)
{
    const int k = K ? K : block.k;
    const int red = block.at[0], green = block.at[1], blue = block.at[2];
    // A rounded division by a reciprocal; exact for sums this small.
    const auto divider = [&](int count) { return ((uint64_t(1) << 32) + uint64_t(count) / 2) / uint64_t(count); };
    const auto average = [](uint32_t sum, uint64_t by) { return uint32_t((sum * by + (uint64_t(1) << 31)) >> 32); };
    const auto blockAt = [&](const uint16_t *p, int width, uint64_t by) {
        uint32_t r = 0, g = 0, b = 0;
        for (int j = 0; j < width; ++j, p += Step) {
            r += p[red];
            g += p[green];
            b += p[blue];
        }
        return 0xff000000u | average(r, by) << 16 | average(g, by) << 8 | average(b, by);
    };
    const int blocks = block.width / k;
    const uint64_t full = divider(block.rows * k);
    const uint16_t *p = block.columns;
    for (int x = 0; x < blocks; ++x, p += k * Step)
        dst[x] = blockAt(p, k, full);
    if (const int rest = block.width - blocks * k)
        dst[blocks] = blockAt(p, rest, divider(block.rows * rest));
}

template <int Step>
void averageBlocksOf(const BlockRow &block, QRgb *dst)
{
    switch (block.k) {
    case 2: return averageBlocks<Step, 2>(block, dst);
    case 3: return averageBlocks<Step, 3>(block, dst);
    case 4: return averageBlocks<Step, 4>(block, dst);
    default: return averageBlocks<Step, 0>(block, dst);
    }
}

// The block width by which an opaque uncompressed bitmap is read reduced for
// `shownSize` (see decodeBmp), or 1 when it is read in full.
int reductionFor(const Header &h, DibKind kind, const std::function<QSize(QSize)> &shownSize, QSize *shown)
{
    if (!shownSize || kind == DibKind::IconEntry || h.compression != Rgb || h.useAlpha)
        return 1;
    *shown = shownSize(QSize(h.width, h.height));
    if (shown->isEmpty())
        return 1;
    return std::max(1, std::min({h.width / shown->width(), h.height / shown->height(), kMaxBlock}));
}

// An opaque uncompressed bitmap read as the averages of its blocks of k x k
// pixels, which is what a smooth reduction by k gives, without holding the
// full picture: the image is (width + k - 1) / k by (height + k - 1) / k, and
// the blocks at the right and bottom edges average the pixels they have.
// The stored rows are given in file order, one at a time.
class ReducedRows {
public:
    ReducedRows(const Header &h, int k)
        : m_h(h), m_k(k), m_decodeRow(h),
          m_asStored(h.bpp == 24 || m_decodeRow.plain32()),
          m_step(h.bpp == 24 ? 3 : 4)
    {
        m_image = QImage((h.width + k - 1) / k, (h.height + k - 1) / k, QImage::Format_RGB32);
        if (m_image.isNull())
            return;
        m_decoded.resize(m_asStored ? 0 : size_t(h.width));
        m_columns.assign(size_t(h.width) * size_t(m_step), 0);
    }

    QImage &image() { return m_image; }

    // Row `index` of the file (0 is the first stored, the bottom one unless
    // the bitmap is top-down), `stride` bytes at `src`.
    QString add(int index, const uint8_t *src)
    {
        if (!m_asStored) {
            // Every pixel is decoded, so that a damaged row fails as in a full decode.
            const QString error = m_decodeRow(src, m_decoded.data());
            if (!error.isEmpty())
                return error;
            src = reinterpret_cast<const uint8_t *>(m_decoded.data());
        }
        addRow(m_columns.data(), src, int(m_columns.size()));
        const int y = m_h.topDown ? index : m_h.height - 1 - index;
        const int outY = y / m_k;
        const int first = outY * m_k, end = std::min(first + m_k, m_h.height);
        // The block is complete with its last row in file order.
        if (y == (m_h.topDown ? end - 1 : first)) {
            // A QRgb in memory is blue, green, red, alpha on a little-endian
            // machine, as a bitmap stores its pixels.
            const bool bgr = m_asStored || Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
            const BlockRow block{m_columns.data(), m_h.width, m_k, end - first, {bgr ? 2 : 1, bgr ? 1 : 2, bgr ? 0 : 3}};
            QRgb *dst = reinterpret_cast<QRgb *>(m_image.scanLine(outY));
            if (m_step == 3)
                averageBlocksOf<3>(block, dst);
            else
                averageBlocksOf<4>(block, dst);
            std::fill(m_columns.begin(), m_columns.end(), uint16_t(0));
        }
        return {};
    }

private:
    const Header &m_h;
    const int m_k;
    const RowDecoder m_decodeRow;
    const bool m_asStored; // 24-bit and plain 32-bit rows are summed as stored
    const int m_step;      // bytes a pixel in the summed rows
    QImage m_image;
    std::vector<QRgb> m_decoded;
    // Column sums of up to k rows, by byte: 255 * kMaxBlock fits in 16 bits.
    std::vector<uint16_t> m_columns;
};

// The reduced image smoothed to the shown size.
Decoded reducedResult(QImage reduced, const Header &h, QSize shown)
{
    if (reduced.size() != shown)
        reduced = reduced.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {std::move(reduced), QSize(h.width, h.height), {}};
}

// RLE4, RLE8 and OS/2 RLE24. Pixels the stream skips (deltas, early line or
// bitmap ends) stay transparent. A run that leaves its row or the image is an
// error, as is a stream that stops without an end-of-bitmap code.
QString decodeRle(const ByteReader &r, const Header &h, QImage &image)
{
    image.fill(Qt::transparent);
    const uint8_t *p = r.data() + h.pixelOffset;
    const uint8_t *end = r.data() + h.pixelEnd;
    const int paletteSize = int(h.palette.size());
    int x = 0, y = 0;
    auto put = [&](int count, auto &&pixelAt) -> QString {
        if (y >= h.height)
            return QStringLiteral("compressed data runs past the last row");
        if (count > h.width - x)
            return QStringLiteral("compressed data runs past the end of a row");
        QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(h.height - 1 - y));
        for (int i = 0; i < count; ++i) {
            const int64_t v = pixelAt(i);
            if (v < 0)
                return QStringLiteral("colour index is outside the colour table");
            dst[x++] = QRgb(v);
        }
        return {};
    };
    auto indexed = [&](int index) -> int64_t { return index < paletteSize ? int64_t(h.palette[index]) : -1; };

    while (true) {
        if (end - p < 2)
            return QStringLiteral("compressed data ends without an end-of-bitmap code");
        const int count = p[0];
        if (count > 0) {
            QString error;
            if (h.compression == Os2Rle24) {
                if (end - p < 4)
                    return QStringLiteral("compressed data is truncated");
                const QRgb c = qRgb(p[3], p[2], p[1]);
                error = put(count, [&](int) -> int64_t { return c; });
                p += 4;
            } else if (h.compression == Rle8) {
                const int64_t c = indexed(p[1]);
                error = put(count, [&](int) { return c; });
                p += 2;
            } else {
                const int64_t hi = indexed(p[1] >> 4), lo = indexed(p[1] & 15);
                error = put(count, [&](int i) { return i % 2 ? lo : hi; });
                p += 2;
            }
            if (!error.isEmpty())
                return error;
            continue;
        }
        const int code = p[1];
        p += 2;
        if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return {};
        } else if (code == 2) { // delta
            if (end - p < 2)
                return QStringLiteral("compressed data is truncated");
            x += p[0];
            y += p[1];
            p += 2;
            if (x > h.width || y > h.height)
                return QStringLiteral("compressed data moves outside the picture");
        } else { // a literal run of `code` pixels, padded to 16 bits
            const int bytesPerRun = h.compression == Rle8 ? code : h.compression == Rle4 ? (code + 1) / 2 : code * 3;
            const int padded = (bytesPerRun + 1) & ~1;
            if (end - p < padded)
                return QStringLiteral("compressed data is truncated");
            const uint8_t *lit = p;
            QString error;
            if (h.compression == Rle8)
                error = put(code, [&](int i) { return indexed(lit[i]); });
            else if (h.compression == Rle4)
                error = put(code, [&](int i) { return indexed(i % 2 ? lit[i / 2] & 15 : lit[i / 2] >> 4); });
            else
                error = put(code, [&](int i) -> int64_t { return qRgb(lit[3 * i + 2], lit[3 * i + 1], lit[3 * i]); });
            if (!error.isEmpty())
                return error;
            p += padded;
        }
    }
}

// An icon's AND mask makes pixels transparent where it is set, unless the
// image has an alpha channel of its own that is actually used.
QString applyAndMask(const ByteReader &r, const Header &h, QImage &image)
{
    const qint64 xorBytes = strideFor(h.width, h.bpp) * h.height;
    const qint64 maskOffset = h.pixelOffset + xorBytes;
    const qint64 maskStride = strideFor(h.width, 1);
    bool alphaUsed = false;
    if (h.useAlpha) {
        for (int y = 0; y < h.height && !alphaUsed; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < h.width; ++x)
                if (qAlpha(line[x]) != 0) {
                    alphaUsed = true;
                    break;
                }
        }
    }
    if (alphaUsed)
        return {}; // the mask is redundant; some writers even leave it out
    if (!r.has(maskOffset, maskStride * h.height))
        return QStringLiteral("the icon's transparency mask is truncated");
    for (int row = 0; row < h.height; ++row) {
        const uint8_t *src = r.data() + maskOffset + maskStride * row;
        QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(h.height - 1 - row));
        for (int x = 0; x < h.width; ++x) {
            const bool transparent = (src[x / 8] >> (7 - x % 8)) & 1;
            dst[x] = transparent ? 0 : (dst[x] | 0xff000000u);
        }
    }
    return {};
}

} // namespace

bool looksLikeHeaderlessDib(const QByteArray &data)
{
    const ByteReader r(data);
    const uint32_t hsize = r.u32(0);
    if (!knownHeaderSize(hsize) || !r.has(0, hsize))
        return false;
    if (hsize == 12)
        return r.u16(8) == 1 && knownBitCount(r.u16(10));
    return r.u16(12) == 1 && knownBitCount(r.u16(14));
}

QSize dibEntrySize(const uint8_t *data, qint64 size, int *bitCount)
{
    const ByteReader r(data, size);
    Header h;
    if (!parseHeader(r, DibKind::IconEntry, h).isEmpty())
        return {};
    if (bitCount)
        *bitCount = int(h.bpp);
    return {h.width, h.height};
}

Decoded decodeBmp(const QByteArray &data, DibKind kind, const std::function<QSize(QSize)> &shownSize)
{
    const ByteReader r(data);
    Header h;
    QString error = parseHeader(r, kind, h);
    if (!error.isEmpty())
        return Decoded::failure(error);

    const bool rle = h.compression == Rle8 || h.compression == Rle4 || h.compression == Os2Rle24;
    const bool alpha = h.useAlpha || rle || kind == DibKind::IconEntry;
    // A picture shown at half its size or less is read block by block
    // straight to a reduced size, then smoothed to the shown size. Only
    // opaque uncompressed bitmaps: averaging transparent pixels would need
    // premultiplied sums, and compressed ones are small anyway.
    QSize shown;
    if (const int k = reductionFor(h, kind, shownSize, &shown); k >= 2) {
        const qint64 stride = strideFor(h.width, h.bpp);
        if (!r.has(h.pixelOffset, stride * h.height))
            return Decoded::failure(QStringLiteral("the pixel data is truncated"));
        ReducedRows rows(h, k);
        if (rows.image().isNull())
            return Decoded::failure(QStringLiteral("not enough memory for %1 x %2 pixels").arg(h.width / k).arg(h.height / k));
        for (int row = 0; row < h.height; ++row) {
            error = rows.add(row, r.data() + h.pixelOffset + stride * row);
            if (!error.isEmpty())
                return Decoded::failure(error);
        }
        return reducedResult(std::move(rows.image()), h, shown);
    }

    QImage image(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return Decoded::failure(QStringLiteral("not enough memory for %1 x %2 pixels").arg(h.width).arg(h.height));
    error = rle ? decodeRle(r, h, image) : decodeUncompressed(r, h, image);
    if (error.isEmpty() && kind == DibKind::IconEntry)
        error = applyAndMask(r, h, image);
    if (!error.isEmpty())
        return Decoded::failure(error);
    return Decoded::success(std::move(image));
}

std::optional<Decoded> decodeBmpReduced(QIODevice &file, const std::function<QSize(QSize)> &shownSize)
{
    // The headers and colour table come first; 64 KiB holds them for any
    // bitmap this path reads (a larger colour table is read the usual way).
    constexpr qint64 HeadBytes = 64 * 1024;
    const qint64 fileSize = file.size();
    if (file.isSequential() || fileSize <= HeadBytes || !file.seek(0))
        return std::nullopt;
    const QByteArray head = file.read(HeadBytes);
    const ByteReader r(head);
    Header h;
    QSize shown;
    if (head.size() != HeadBytes || !parseHeader(r, DibKind::File, h, fileSize).isEmpty())
        return std::nullopt;
    const int k = reductionFor(h, DibKind::File, shownSize, &shown);
    const qint64 stride = strideFor(h.width, h.bpp);
    if (k < 2 || h.pixelOffset + stride * h.height > fileSize || !file.seek(h.pixelOffset))
        return std::nullopt;
    ReducedRows rows(h, k);
    if (rows.image().isNull())
        return std::nullopt;
    // Read a few hundred kilobytes at a time, so that the rows are summed
    // while they are still in the cache.
    const int perChunk = int(std::clamp<qint64>(256 * 1024 / stride, 1, h.height));
    std::vector<uint8_t> chunk(size_t(stride * perChunk));
    for (int row = 0; row < h.height;) {
        const int count = std::min(perChunk, h.height - row);
        if (file.read(reinterpret_cast<char *>(chunk.data()), stride * count) != stride * count)
            return std::nullopt; // changed while it was read
        for (int i = 0; i < count; ++i, ++row)
            if (!rows.add(row, chunk.data() + stride * i).isEmpty())
                return std::nullopt;
    }
    return reducedResult(std::move(rows.image()), h, shown);
}

} // namespace picture::codecs
