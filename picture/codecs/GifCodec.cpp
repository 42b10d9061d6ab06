#include "picture/codecs/Codecs.h"

#include <QList>

#include <cstring>
#include <vector>

namespace picture::codecs {

namespace {

// The image data of one frame: LZW codes packed into sub-blocks.
class SubBlockBits {
public:
    SubBlockBits(const uint8_t *p, const uint8_t *end) : m_p(p), m_end(end) {}

    // Next code of `width` bits, or -1 when the data runs out.
    int next(int width)
    {
        while (m_bitCount < width) {
            if (m_blockLeft == 0) {
                if (m_p >= m_end || *m_p == 0)
                    return -1;
                m_blockLeft = *m_p++;
            }
            if (m_p >= m_end)
                return -1;
            m_bits |= uint32_t(*m_p++) << m_bitCount;
            m_bitCount += 8;
            --m_blockLeft;
        }
        const int code = int(m_bits & ((1u << width) - 1));
        m_bits >>= width;
        m_bitCount -= width;
        return code;
    }

private:
    const uint8_t *m_p;
    const uint8_t *m_end;
    int m_blockLeft = 0;
    uint32_t m_bits = 0;
    int m_bitCount = 0;
};

// Decodes the frame's colour indices. Fails on codes the table does not hold
// yet; a stream that stops early (no end code, too few pixels) keeps what it
// has, as browsers do, and surplus pixels are ignored.
QString decodeLzw(const uint8_t *p, const uint8_t *end, int minCodeSize, std::vector<uint16_t> &out, qint64 pixelCount)
{
    // The format asks for 2 to 8 bits, but writers use up to 11 (12-bit codes).
    if (minCodeSize < 1 || minCodeSize > 11)
        return QStringLiteral("invalid LZW code size %1").arg(minCodeSize);
    const int clear = 1 << minCodeSize;
    const int endCode = clear + 1;
    constexpr int kMaxCodes = 4096;
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint16_t> suffix(kMaxCodes);
    std::vector<uint16_t> length(kMaxCodes);
    std::vector<uint16_t> stack(kMaxCodes + 1);
    for (int i = 0; i < clear; ++i) {
        suffix[i] = uint16_t(i);
        length[i] = 1;
    }
    SubBlockBits bits(p, end);
    int width = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    out.clear();
    out.reserve(size_t(pixelCount));
    while (qint64(out.size()) < pixelCount) {
        const int code = bits.next(width);
        if (code < 0 || code == endCode)
            break;
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clear)
                return QStringLiteral("the picture data is damaged (invalid first code)");
            out.push_back(uint16_t(code));
            previous = code;
            continue;
        }
        int walk;
        if (code < next) {
            walk = code;
        } else if (code == next && next < kMaxCodes) {
            walk = previous; // the code being defined right now: previous string + its first byte
        } else {
            return QStringLiteral("the picture data is damaged (code %1 not yet defined)").arg(code);
        }
        int depth = 0;
        for (int c = walk; ; c = prefix[c]) {
            stack[depth++] = suffix[c];
            if (length[c] == 1)
                break;
        }
        const uint16_t first = stack[depth - 1];
        while (depth > 0)
            out.push_back(stack[--depth]);
        if (code == next)
            out.push_back(first);
        if (next < kMaxCodes) {
            prefix[next] = uint16_t(previous);
            suffix[next] = first;
            length[next] = uint16_t(length[previous] + 1);
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        previous = code;
    }
    if (out.empty())
        return QStringLiteral("the picture holds no image data");
    if (qint64(out.size()) > pixelCount)
        out.resize(size_t(pixelCount));
    return {};
}

QList<QRgb> readColourTable(const uint8_t *p, int entries)
{
    QList<QRgb> table;
    table.reserve(entries);
    for (int i = 0; i < entries; ++i)
        table.append(qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]));
    return table;
}

} // namespace

bool looksLikeGif(const QByteArray &data)
{
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

Decoded decodeGif(const QByteArray &data)
{
    const ByteReader r(data);
    if (!r.has(0, 13))
        return Decoded::failure(QStringLiteral("truncated GIF header"));
    const int screenWidth = r.u16(6), screenHeight = r.u16(8);
    const uint8_t flags = r.u8(10);
    qint64 pos = 13;
    QList<QRgb> globalTable;
    if (flags & 0x80) {
        const int entries = 2 << (flags & 7);
        if (!r.has(pos, entries * 3))
            return Decoded::failure(QStringLiteral("truncated GIF colour table"));
        globalTable = readColourTable(r.data() + pos, entries);
        pos += entries * 3;
    }

    int transparentIndex = -1;
    auto skipSubBlocks = [&]() -> bool {
        while (r.has(pos, 1)) {
            const int n = r.u8(pos++);
            if (n == 0)
                return true;
            pos += n;
        }
        return false;
    };
    while (true) {
        if (!r.has(pos, 1))
            return Decoded::failure(QStringLiteral("the GIF file ends before its first image"));
        const uint8_t block = r.u8(pos++);
        if (block == 0x3b)
            return Decoded::failure(QStringLiteral("the GIF file holds no image"));
        if (block == 0x21) {
            const uint8_t label = r.u8(pos++);
            if (label == 0xf9 && r.u8(pos) >= 4 && r.has(pos, 5)) {
                if (r.u8(pos + 1) & 1)
                    transparentIndex = r.u8(pos + 4);
            } else if (label == 0x01) {
                // A plain text extension is a graphic of its own: text the
                // decoder would have to render in a font it does not have.
                return Decoded::failure(QStringLiteral("GIF plain text graphics are not supported"));
            }
            if (!skipSubBlocks())
                return Decoded::failure(QStringLiteral("truncated GIF extension block"));
            continue;
        }
        if (block != 0x2c)
            return Decoded::failure(QStringLiteral("unknown GIF block type 0x%1").arg(block, 2, 16, QLatin1Char('0')));
        break;
    }

    if (!r.has(pos, 9))
        return Decoded::failure(QStringLiteral("truncated GIF image descriptor"));
    const int left = r.u16(pos), top = r.u16(pos + 2), width = r.u16(pos + 4), height = r.u16(pos + 6);
    const uint8_t imageFlags = r.u8(pos + 8);
    pos += 9;
    if (width == 0 || height == 0)
        return Decoded::failure(QStringLiteral("the GIF image is empty (%1 x %2)").arg(width).arg(height));
    QList<QRgb> table = globalTable;
    if (imageFlags & 0x80) {
        const int entries = 2 << (imageFlags & 7);
        if (!r.has(pos, entries * 3))
            return Decoded::failure(QStringLiteral("truncated GIF colour table"));
        table = readColourTable(r.data() + pos, entries);
        pos += entries * 3;
    }
    if (table.isEmpty()) {
        // No colour table at all: the format leaves the colours to the viewer.
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(i, i, i));
    }
    // The canvas is the logical screen, grown where the first frame reaches
    // past it (some writers leave the screen size at 0 or too small).
    const int canvasWidth = std::max(screenWidth, left + width);
    const int canvasHeight = std::max(screenHeight, top + height);
    if (!fitsDecodeLimit(canvasWidth, canvasHeight))
        return Decoded::failure(QStringLiteral("the picture is too large (%1 x %2)").arg(canvasWidth).arg(canvasHeight));
    if (!r.has(pos, 1))
        return Decoded::failure(QStringLiteral("truncated GIF image data"));
    const int minCodeSize = r.u8(pos++);

    std::vector<uint16_t> indices;
    const qint64 pixelCount = qint64(width) * height;
    const QString error = decodeLzw(r.data() + pos, r.data() + r.size(), minCodeSize, indices, pixelCount);
    if (!error.isEmpty())
        return Decoded::failure(error);

    const bool covers = left == 0 && top == 0 && width == canvasWidth && height == canvasHeight
        && qint64(indices.size()) == pixelCount;
    const bool transparent = transparentIndex >= 0 || !covers;
    QImage image(canvasWidth, canvasHeight, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return Decoded::failure(QStringLiteral("not enough memory for %1 x %2 pixels").arg(canvasWidth).arg(canvasHeight));
    image.fill(Qt::transparent);

    // Interlaced frames store rows 0, 8, 16, ... then 4, 12, ... then 2, 6, ... then 1, 3, ...
    std::vector<int> rowOrder(static_cast<size_t>(height));
    if (imageFlags & 0x40) {
        int k = 0;
        for (int pass = 0; pass < 4; ++pass) {
            static constexpr int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int y = start[pass]; y < height; y += step[pass])
                rowOrder[size_t(k++)] = y;
        }
    } else {
        for (int y = 0; y < height; ++y)
            rowOrder[size_t(y)] = y;
    }
    const int tableSize = int(table.size());
    for (qint64 i = 0; i < qint64(indices.size()); ++i) {
        const int index = indices[size_t(i)];
        if (index == transparentIndex)
            continue;
        if (index >= tableSize)
            return Decoded::failure(QStringLiteral("colour index %1 is outside the colour table").arg(index));
        const int x = int(i % width), y = rowOrder[size_t(i / width)];
        reinterpret_cast<QRgb *>(image.scanLine(top + y))[left + x] = table[index];
    }
    return Decoded::success(std::move(image));
}

} // namespace picture::codecs
