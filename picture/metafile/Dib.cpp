#include "picture/metafile/Dib.h"

#include "picture/codecs/PngCheck.h"
#include "picture/metafile/Player.h"

#include <algorithm>
#include <bit>

namespace picture::metafile {

namespace {

struct Header {
    qint64 width = 0;
    qint64 height = 0; // negative: top-down
    int bpp = 0;
    quint32 compression = 0;
    qint64 colours = 0;
    int entrySize = 4;
    qint64 tableOffset = 0;
    quint32 masks[4] = {0, 0, 0, 0};
    bool hasMasks = false;
};

// Shift and width of a channel mask, for scaling its value to 8 bits.
struct Channel {
    int shift = 0;
    int bits = 0;
    explicit Channel(quint32 mask)
    {
        if (mask) {
            shift = std::countr_zero(mask);
            bits = std::popcount(mask >> shift);
            bits = std::min(bits, 16);
        }
    }
    int value(quint32 pixel, quint32 mask) const
    {
        if (!bits)
            return 0;
        const quint32 v = (pixel & mask) >> shift;
        const quint32 max = (1u << bits) - 1;
        return int((v * 255 + max / 2) / max);
    }
};

bool readHeader(const Reader &info, Header *h)
{
    Reader r = info;
    const quint32 size = r.u32();
    if (size == 12) {
        h->width = r.u16();
        h->height = r.u16();
        r.u16();
        h->bpp = r.u16();
        h->entrySize = 3;
        h->colours = h->bpp <= 8 ? (1 << h->bpp) : 0;
        h->tableOffset = 12;
        return r.ok();
    }
    if (size < 40 || size > 1024)
        return false;
    h->width = r.i32();
    h->height = r.i32();
    r.u16();
    h->bpp = r.u16();
    h->compression = r.u32();
    r.skip(12);
    const quint32 used = r.u32();
    r.u32();
    if (!r.ok())
        return false;
    if (h->bpp <= 8 && h->bpp > 0)
        h->colours = used ? std::min<qint64>(used, qint64(1) << h->bpp) : (qint64(1) << h->bpp);
    else
        h->colours = std::min<quint32>(used, 256); // an optional table for optimisation only
    h->tableOffset = size;
    if (h->compression == 3 || h->compression == 6) {
        Reader m = info.sub(40, std::clamp<qint64>(info.size() - 40, 0, 16));
        for (int i = 0; i < 4; ++i)
            h->masks[i] = m.has(4) ? m.u32() : 0;
        h->hasMasks = true;
        if (size == 40)
            h->tableOffset = 40 + (h->compression == 6 ? 16 : 12);
    }
    return true;
}

QVector<QRgb> readTable(const Reader &info, const Header &h, int usage, const QVector<QRgb> &palette)
{
    QVector<QRgb> table;
    const int entry = usage == 1 ? 2 : h.entrySize;
    Reader r = info;
    r.seek(std::min<qint64>(h.tableOffset, info.size()));
    for (qint64 i = 0; i < h.colours; ++i) {
        if (!r.has(entry)) {
            // A short colour table is common enough in the wild; the missing
            // entries read as grey steps so that the picture still shows.
            const int g = int(255 * i / std::max<qint64>(h.colours - 1, 1));
            table.append(qRgb(g, g, g));
            continue;
        }
        if (usage == 1) {
            const int index = r.u16();
            table.append(index < palette.size() ? palette[index] : qRgb(index & 0xff, index & 0xff, index & 0xff));
        } else {
            const int b = r.u8(), g = r.u8(), red = r.u8();
            if (entry == 4)
                r.u8();
            table.append(qRgb(red, g, b));
        }
    }
    if (table.isEmpty())
        table.append(qRgb(0, 0, 0));
    return table;
}

// Run-length encoded 8- or 4-bit data into an index buffer (bottom-up rows).
void decodeRle(Reader r, int bpp, qint64 width, qint64 height, std::vector<quint8> *indices)
{
    qint64 x = 0, y = 0;
    auto put = [&](int v) {
        if (x < width && y < height)
            (*indices)[y * width + x] = quint8(v);
        ++x;
    };
    while (r.has(2) && y < height) {
        const int count = r.u8();
        const int value = r.u8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(bpp == 8 ? value : (i % 2 ? value & 15 : value >> 4));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += r.u8();
            y += r.u8();
        } else {
            const int bytes = bpp == 8 ? value : (value + 1) / 2;
            int held = 0;
            for (int i = 0; i < value; ++i) {
                if (bpp == 8) {
                    put(r.u8());
                } else {
                    if (i % 2 == 0)
                        held = r.u8();
                    put(i % 2 ? held & 15 : held >> 4);
                }
            }
            if (bytes % 2)
                r.u8();
        }
    }
}

} // namespace

DibResult decodeDib(const Reader &info, const Reader &bits, int usage, const QVector<QRgb> &palette, DibAlpha alpha,
                    int maxLines, bool paletteOnly)
{
    DibResult result;
    Header h;
    if (!readHeader(info, &h)) {
        result.damaged = true;
        return result;
    }
    const bool topDown = h.height < 0;
    const qint64 width = h.width;
    const qint64 height = std::abs(h.height);

    if (h.compression == 4 || h.compression == 5) {
        // JPEG or PNG inside the DIB. Qt's JPEG reader bounds its own
        // allocation; a PNG is checked first, as libpng trusts chunk lengths.
        // One that fails the check is drawn as nothing, as an undecodable one is.
        if (h.compression == 5) {
            const QSize png = codecs::checkedPngHeader(bits.data(), bits.size()).size;
            if (png.isEmpty() || qint64(png.width()) * png.height() > Limits::maxBitmapPixels) {
                result.damaged = bits.size() == 0;
                return result;
            }
        }
        // The format is named, so that PNG data under a JPEG mark cannot go
        // round the check.
        QImage image = QImage::fromData(bits.data(), int(std::min<qsizetype>(bits.size(), 1 << 30)),
                                        h.compression == 4 ? "JPEG" : "PNG");
        if (image.isNull() || qint64(image.width()) * image.height() > Limits::maxBitmapPixels) {
            result.damaged = image.isNull() && bits.size() == 0;
            return result;
        }
        result.image = image.convertToFormat(QImage::Format_ARGB32);
        return result;
    }

    if (width <= 0 || height <= 0 || width > Limits::maxBitmapSide || height > Limits::maxBitmapSide
        || width * height > Limits::maxBitmapPixels) {
        result.damaged = true;
        return result;
    }
    const int bpp = h.bpp;
    const bool rle = h.compression == 1 || h.compression == 2;
    if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32)
        || (h.compression == 1 && bpp != 8) || (h.compression == 2 && bpp != 4) || h.compression > 6
        || (h.hasMasks && bpp != 16 && bpp != 32)) {
        result.damaged = true;
        return result;
    }

    QVector<QRgb> table;
    if (bpp <= 8)
        table = paletteOnly && !palette.isEmpty() ? palette : readTable(info, h, usage, palette);
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    qint64 lines = height;
    if (maxLines >= 0)
        lines = std::min<qint64>(lines, maxLines);
    if (!rle && bits.size() < stride * lines) {
        // Allow a last row cut short of its padding; anything else is missing data.
        const qint64 last = (width * bpp + 7) / 8;
        if (lines == 0 || bits.size() < stride * (lines - 1) + last) {
            result.damaged = true;
            return result;
        }
    }

    const bool wantAlpha = alpha == DibAlpha::Premultiplied;
    QImage image(int(width), int(height), wantAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return result;
    image.fill(wantAlpha ? 0u : 0xff000000u);

    std::vector<quint8> rleIndices;
    if (rle) {
        rleIndices.assign(size_t(width * height), 0);
        decodeRle(bits, bpp, width, height, &rleIndices);
    }

    quint32 masks[4] = {0, 0, 0, 0};
    if (bpp == 16) {
        masks[0] = 0x7c00, masks[1] = 0x03e0, masks[2] = 0x001f;
    } else if (bpp == 32) {
        masks[0] = 0xff0000, masks[1] = 0xff00, masks[2] = 0xff;
        masks[3] = wantAlpha ? 0xff000000 : 0;
    }
    if (h.hasMasks && (h.masks[0] | h.masks[1] | h.masks[2])) {
        for (int i = 0; i < 3; ++i)
            masks[i] = h.masks[i];
        masks[3] = h.compression == 6 || wantAlpha ? h.masks[3] : 0;
    }
    const Channel cr(masks[0]), cg(masks[1]), cb(masks[2]), ca(masks[3]);

    const uchar *data = bits.data();
    const qint64 available = bits.size();
    for (qint64 row = 0; row < lines; ++row) {
        const int y = int(topDown ? row : height - 1 - row);
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        const qint64 base = row * stride;
        for (qint64 x = 0; x < width; ++x) {
            QRgb c;
            if (rle) {
                const int index = rleIndices[size_t(row * width + x)];
                c = table[std::min<int>(index, int(table.size()) - 1)];
            } else if (bpp <= 8) {
                const qint64 bit = x * bpp;
                const qint64 at = base + bit / 8;
                const int byte = at < available ? data[at] : 0;
                const int shift = 8 - bpp - int(bit % 8);
                const int index = (byte >> shift) & ((1 << bpp) - 1);
                c = table[std::min<int>(index, int(table.size()) - 1)];
            } else {
                const qint64 at = base + x * (bpp / 8);
                quint32 pixel = 0;
                for (int i = 0; i < bpp / 8; ++i)
                    pixel |= quint32(at + i < available ? data[at + i] : 0) << (8 * i);
                if (bpp == 24) {
                    c = qRgb(int((pixel >> 16) & 255), int((pixel >> 8) & 255), int(pixel & 255));
                } else {
                    const int a = masks[3] ? ca.value(pixel, masks[3]) : 255;
                    int red = cr.value(pixel, masks[0]), green = cg.value(pixel, masks[1]),
                        blue = cb.value(pixel, masks[2]);
                    if (wantAlpha) {
                        // Premultiplied input: keep each channel at or below alpha.
                        red = std::min(red, a), green = std::min(green, a), blue = std::min(blue, a);
                    }
                    c = qRgba(red, green, blue, a);
                }
            }
            out[x] = wantAlpha ? c : (c | 0xff000000u);
        }
    }
    result.image = image;
    result.bottomUp = !topDown;
    return result;
}

DibResult decodePackedDib(const Reader &packed, int usage, const QVector<QRgb> &palette)
{
    Header h;
    if (!readHeader(packed, &h))
        return {QImage(), true};
    qint64 tableBytes = 0;
    if (h.bpp <= 8 || h.colours > 0)
        tableBytes = h.colours * (usage == 1 ? 2 : h.entrySize);
    const qint64 bitsOffset = h.tableOffset + tableBytes;
    if (bitsOffset > packed.size())
        return {QImage(), true};
    return decodeDib(packed.sub(0, bitsOffset), packed.sub(bitsOffset, packed.size() - bitsOffset), usage, palette);
}

DibResult decodeBitmap16(const Reader &in, QRgb foreground, QRgb background)
{
    Reader r = in;
    r.i16(); // type
    const int width = r.i16();
    const int height = r.i16();
    const int widthBytes = r.i16();
    const int planes = r.u8();
    const int bpp = r.u8();
    if (!r.ok() || width <= 0 || height <= 0 || widthBytes <= 0 || planes != 1
        || !(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32)
        || qint64(width) * height > Limits::maxBitmapPixels || qint64(widthBytes) * 8 < qint64(width) * bpp)
        return {QImage(), true};
    const qint64 need = qint64(widthBytes) * height;
    if (r.remaining() < need)
        return {QImage(), true};
    QImage image(width, height, QImage::Format_RGB32);
    const uchar *data = r.data() + r.pos();
    for (int y = 0; y < height; ++y) {
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        const uchar *row = data + qint64(y) * widthBytes;
        for (int x = 0; x < width; ++x) {
            if (bpp == 1) {
                out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? background : foreground;
            } else if (bpp == 4 || bpp == 8) {
                const int v = bpp == 8 ? row[x] : ((row[x / 2] >> (x % 2 ? 0 : 4)) & 15) * 17;
                out[x] = qRgb(v, v, v); // no palette travels with these
            } else {
                const uchar *p = row + qint64(x) * (bpp / 8);
                out[x] = qRgb(p[2], p[1], p[0]);
            }
        }
    }
    return {image, false};
}

} // namespace picture::metafile
