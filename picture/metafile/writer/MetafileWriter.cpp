#include "picture/metafile/writer/MetafileWriter.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>

namespace picture::metafile::writer {

namespace {

void put16(QByteArray &b, int v)
{
    const quint16 x = quint16(v);
    b.append(char(x & 0xff));
    b.append(char(x >> 8));
}

void put32(QByteArray &b, qint64 v)
{
    const quint32 x = quint32(v);
    for (int i = 0; i < 4; ++i)
        b.append(char((x >> (8 * i)) & 0xff));
}

void set32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

quint32 colorRef(QColor c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

void putFloat(QByteArray &b, float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, 4);
    put32(b, bits);
}

QVector<QRgb> tableFor(const QImage &image, int bpp)
{
    const int n = 1 << bpp;
    QVector<QRgb> table = image.colorTable();
    if (table.size() > n)
        table.resize(n);
    if (table.isEmpty()) {
        for (int i = 0; i < n; ++i) {
            const int g = 255 * i / (n - 1);
            table.append(qRgb(g, g, g));
        }
    }
    return table;
}

int nearest(const QVector<QRgb> &table, QRgb c)
{
    int best = 0, bestDistance = INT_MAX;
    for (int i = 0; i < table.size(); ++i) {
        const int d = std::abs(qRed(table[i]) - qRed(c)) + std::abs(qGreen(table[i]) - qGreen(c))
            + std::abs(qBlue(table[i]) - qBlue(c));
        if (d < bestDistance)
            bestDistance = d, best = i;
    }
    return best;
}

} // namespace

QByteArray dibInfo(const QImage &image, int bpp, bool topDown)
{
    QByteArray b;
    put32(b, 40);
    put32(b, image.width());
    put32(b, topDown ? -image.height() : image.height());
    put16(b, 1);
    put16(b, bpp);
    put32(b, 0); // BI_RGB
    put32(b, 0);
    put32(b, 3780);
    put32(b, 3780);
    const QVector<QRgb> table = bpp <= 8 ? tableFor(image, bpp) : QVector<QRgb>();
    put32(b, table.size());
    put32(b, 0);
    for (QRgb c : table) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append(char(0));
    }
    return b;
}

QByteArray dibBits(const QImage &source, int bpp, bool topDown)
{
    const QImage image = source.format() == QImage::Format_Indexed8 ? source : source.convertToFormat(QImage::Format_ARGB32);
    const QVector<QRgb> table = bpp <= 8 ? tableFor(source, bpp) : QVector<QRgb>();
    const int stride = ((image.width() * bpp + 31) / 32) * 4;
    QByteArray bits(stride * image.height(), '\0');
    for (int row = 0; row < image.height(); ++row) {
        const int y = topDown ? row : image.height() - 1 - row;
        uchar *out = reinterpret_cast<uchar *>(bits.data()) + row * stride;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            switch (bpp) {
            case 1: case 4: case 8: {
                const int index = image.format() == QImage::Format_Indexed8 ? image.pixelIndex(x, y) : nearest(table, c);
                const int bit = x * bpp;
                out[bit / 8] |= uchar(index << (8 - bpp - bit % 8));
                break;
            }
            case 16: {
                const int v = (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
                out[x * 2] = uchar(v & 0xff);
                out[x * 2 + 1] = uchar(v >> 8);
                break;
            }
            case 24:
                out[x * 3] = uchar(qBlue(c)), out[x * 3 + 1] = uchar(qGreen(c)), out[x * 3 + 2] = uchar(qRed(c));
                break;
            default:
                out[x * 4] = uchar(qBlue(c)), out[x * 4 + 1] = uchar(qGreen(c)), out[x * 4 + 2] = uchar(qRed(c));
                out[x * 4 + 3] = uchar(qAlpha(c));
                break;
            }
        }
    }
    return bits;
}

QByteArray packedDib(const QImage &image, int bpp, bool topDown)
{
    return dibInfo(image, bpp, topDown) + dibBits(image, bpp, topDown);
}

// --- WMF ---

WmfWriter::WmfWriter(bool placeable, QRect bounds, int unitsPerInch, quint16 version)
    : m_placeable(placeable), m_bounds(bounds), m_unitsPerInch(unitsPerInch), m_version(version)
{
}

void WmfWriter::record(quint16 function, const QByteArray &params)
{
    QByteArray p = params;
    if (p.size() % 2)
        p.append('\0');
    const quint32 words = 3 + quint32(p.size() / 2);
    put32(m_records, words);
    put16(m_records, function);
    m_records.append(p);
    m_maxRecord = std::max(m_maxRecord, words);
}

void WmfWriter::record(quint16 function, std::initializer_list<int> words)
{
    QByteArray p;
    for (int w : words)
        put16(p, w);
    record(function, p);
}

void WmfWriter::setBkColor(QColor c)
{
    QByteArray p;
    put32(p, colorRef(c));
    record(0x0201, p);
}

void WmfWriter::setTextColor(QColor c)
{
    QByteArray p;
    put32(p, colorRef(c));
    record(0x0209, p);
}

int WmfWriter::takeSlot()
{
    for (int i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) {
            m_slots[i] = true;
            return i;
        }
    }
    m_slots.append(true);
    return int(m_slots.size()) - 1;
}

void WmfWriter::deleteObject(int index)
{
    if (index >= 0 && index < m_slots.size())
        m_slots[index] = false;
    record(0x01F0, {index});
}

int WmfWriter::createPen(int style, int width, QColor c)
{
    QByteArray p;
    put16(p, style);
    put16(p, width);
    put16(p, 0);
    put32(p, colorRef(c));
    record(0x02FA, p);
    return takeSlot();
}

int WmfWriter::createBrush(int style, QColor c, int hatch)
{
    QByteArray p;
    put16(p, style);
    put32(p, colorRef(c));
    put16(p, hatch);
    record(0x02FC, p);
    return takeSlot();
}

int WmfWriter::createPatternBrush(const QImage &pattern)
{
    QByteArray p;
    put16(p, 5); // BS_DIBPATTERN
    put16(p, 0);
    p.append(packedDib(pattern, 24));
    record(0x0142, p);
    return takeSlot();
}

int WmfWriter::createFont(int height, const QByteArray &face, int weight, bool italic, bool underline, int escapement,
                          int charset)
{
    QByteArray p;
    put16(p, height);
    put16(p, 0);
    put16(p, escapement);
    put16(p, escapement);
    put16(p, weight);
    p.append(char(italic));
    p.append(char(underline));
    p.append(char(0));
    p.append(char(charset));
    p.append(QByteArray(4, '\0'));
    p.append(face.left(31));
    p.append('\0');
    record(0x02FB, p);
    return takeSlot();
}

int WmfWriter::createRegion(const QRect &r)
{
    QByteArray p;
    put16(p, 0);
    put16(p, 6);
    put32(p, 0);
    put16(p, 22 + 16);
    put16(p, 1); // one scan
    put16(p, 2);
    put16(p, r.left()), put16(p, r.top()), put16(p, r.right() + 1), put16(p, r.bottom() + 1);
    put16(p, 2);
    put16(p, r.top()), put16(p, r.bottom() + 1);
    put16(p, r.left()), put16(p, r.right() + 1);
    put16(p, 2);
    record(0x06FF, p);
    return takeSlot();
}

void WmfWriter::arc(quint16 function, const QRect &r, QPoint start, QPoint end)
{
    record(function, {end.y(), end.x(), start.y(), start.x(), r.y() + r.height(), r.x() + r.width(), r.top(), r.left()});
}

void WmfWriter::polygon(const QPolygon &poly)
{
    QByteArray p;
    put16(p, int(poly.size()));
    for (const QPoint &pt : poly)
        put16(p, pt.x()), put16(p, pt.y());
    record(0x0324, p);
}

void WmfWriter::polyline(const QPolygon &poly)
{
    QByteArray p;
    put16(p, int(poly.size()));
    for (const QPoint &pt : poly)
        put16(p, pt.x()), put16(p, pt.y());
    record(0x0325, p);
}

void WmfWriter::polyPolygon(const QVector<QPolygon> &polys)
{
    QByteArray p;
    put16(p, int(polys.size()));
    for (const QPolygon &poly : polys)
        put16(p, int(poly.size()));
    for (const QPolygon &poly : polys)
        for (const QPoint &pt : poly)
            put16(p, pt.x()), put16(p, pt.y());
    record(0x0538, p);
}

void WmfWriter::textOut(int x, int y, const QByteArray &text)
{
    QByteArray p;
    put16(p, int(text.size()));
    p.append(text);
    if (text.size() % 2)
        p.append('\0');
    put16(p, y);
    put16(p, x);
    record(0x0521, p);
}

void WmfWriter::extTextOut(int x, int y, int options, const QRect &rect, const QByteArray &text, const QVector<int> &dx)
{
    QByteArray p;
    put16(p, y);
    put16(p, x);
    put16(p, int(text.size()));
    put16(p, options);
    if (options & 6)
        put16(p, rect.left()), put16(p, rect.top()), put16(p, rect.x() + rect.width()), put16(p, rect.y() + rect.height());
    p.append(text);
    if (text.size() % 2)
        p.append('\0');
    for (int d : dx)
        put16(p, d);
    record(0x0A32, p);
}

void WmfWriter::stretchDib(const QRect &dest, const QImage &image, int bpp, quint32 rop)
{
    QByteArray p;
    put32(p, rop);
    put16(p, 0); // DIB_RGB_COLORS
    put16(p, image.height()), put16(p, image.width()), put16(p, 0), put16(p, 0);
    put16(p, dest.height()), put16(p, dest.width()), put16(p, dest.y()), put16(p, dest.x());
    p.append(packedDib(image, bpp));
    record(0x0F43, p);
}

void WmfWriter::patBlt(const QRect &r, quint32 rop)
{
    QByteArray p;
    put32(p, rop);
    put16(p, r.height()), put16(p, r.width()), put16(p, r.y()), put16(p, r.x());
    record(0x061D, p);
}

QByteArray WmfWriter::finish()
{
    record(0x0000, {});
    QByteArray out;
    if (m_placeable) {
        put32(out, 0x9AC6CDD7);
        put16(out, 0);
        put16(out, m_bounds.left()), put16(out, m_bounds.top());
        put16(out, m_bounds.left() + m_bounds.width()), put16(out, m_bounds.top() + m_bounds.height());
        put16(out, m_unitsPerInch);
        put32(out, 0);
        quint16 sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= quint16(quint8(out[i]) | quint8(out[i + 1]) << 8);
        put16(out, sum);
    }
    put16(out, 1);
    put16(out, 9);
    put16(out, m_version);
    put32(out, (18 + m_records.size()) / 2);
    put16(out, int(m_slots.size()));
    put32(out, m_maxRecord);
    put16(out, 0);
    out.append(m_records);
    return out;
}

// --- EMF ---

EmfWriter::EmfWriter(QRect frame, QSize devicePixels, QSize deviceMillimetres)
    : m_frame(frame), m_devicePixels(devicePixels), m_deviceMillimetres(deviceMillimetres)
{
}

void EmfWriter::record(quint32 type, const QByteArray &payload)
{
    QByteArray p = payload;
    while (p.size() % 4)
        p.append('\0');
    put32(m_records, type);
    put32(m_records, 8 + p.size());
    m_records.append(p);
    ++m_count;
}

void EmfWriter::record(quint32 type, std::initializer_list<qint32> values)
{
    QByteArray p;
    for (qint32 v : values)
        put32(p, v);
    record(type, p);
}

void EmfWriter::setWorldTransform(qreal m11, qreal m12, qreal m21, qreal m22, qreal dx, qreal dy)
{
    QByteArray p;
    for (qreal v : {m11, m12, m21, m22, dx, dy})
        putFloat(p, float(v));
    record(35, p);
}

void EmfWriter::setBkColor(QColor c) { record(25, {qint32(colorRef(c))}); }
void EmfWriter::setTextColor(QColor c) { record(24, {qint32(colorRef(c))}); }

int EmfWriter::createPen(int style, int width, QColor c)
{
    const int index = int(m_nextObject++);
    record(38, {index, style, width, 0, qint32(colorRef(c))});
    return index;
}

int EmfWriter::createBrush(int style, QColor c, int hatch)
{
    const int index = int(m_nextObject++);
    record(39, {index, style, qint32(colorRef(c)), hatch});
    return index;
}

int EmfWriter::createDibPatternBrush(const QImage &pattern, int bpp)
{
    const int index = int(m_nextObject++);
    const QByteArray info = dibInfo(pattern, bpp), bits = dibBits(pattern, bpp);
    QByteArray p;
    put32(p, index);
    put32(p, 0);
    put32(p, 32), put32(p, info.size()), put32(p, 32 + info.size()), put32(p, bits.size());
    p.append(info).append(bits);
    record(94, p);
    return index;
}

int EmfWriter::createFont(int height, const QString &face, int weight, bool italic, bool underline, int escapement)
{
    const int index = int(m_nextObject++);
    QByteArray p;
    put32(p, index);
    put32(p, height), put32(p, 0), put32(p, escapement), put32(p, escapement), put32(p, weight);
    p.append(char(italic)).append(char(underline)).append(char(0)).append(char(0));
    p.append(QByteArray(4, '\0'));
    for (int i = 0; i < 32; ++i)
        put16(p, i < face.size() && i < 31 ? face[i].unicode() : 0);
    p.append(QByteArray(64 * 2 + 32 * 2, '\0')); // full name and style of the ENUMLOGFONTEXW
    record(82, p);
    return index;
}

void EmfWriter::arc(quint32 type, const QRect &r, QPoint start, QPoint end)
{
    record(type, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height(), start.x(), start.y(), end.x(), end.y()});
}

void EmfWriter::poly(quint32 type, const QPolygon &poly)
{
    const bool small = type >= 85;
    QByteArray p;
    const QRect b = poly.boundingRect();
    put32(p, b.left()), put32(p, b.top()), put32(p, b.right()), put32(p, b.bottom());
    put32(p, poly.size());
    for (const QPoint &pt : poly) {
        if (small)
            put16(p, pt.x()), put16(p, pt.y());
        else
            put32(p, pt.x()), put32(p, pt.y());
    }
    record(type, p);
}

void EmfWriter::polyPolygon(const QVector<QPolygon> &polys)
{
    QByteArray p;
    put32(p, 0), put32(p, 0), put32(p, 0), put32(p, 0);
    int total = 0;
    for (const QPolygon &poly : polys)
        total += int(poly.size());
    put32(p, polys.size());
    put32(p, total);
    for (const QPolygon &poly : polys)
        put32(p, poly.size());
    for (const QPolygon &poly : polys)
        for (const QPoint &pt : poly)
            put32(p, pt.x()), put32(p, pt.y());
    record(8, p);
}

void EmfWriter::selectClipRects(const QVector<QRect> &rects, int mode)
{
    QByteArray region;
    put32(region, 32), put32(region, 1), put32(region, rects.size()), put32(region, rects.size() * 16);
    put32(region, 0), put32(region, 0), put32(region, 0), put32(region, 0);
    for (const QRect &r : rects)
        put32(region, r.left()), put32(region, r.top()), put32(region, r.right() + 1), put32(region, r.bottom() + 1);
    QByteArray p;
    put32(p, region.size());
    put32(p, mode);
    p.append(region);
    record(75, p);
}

void EmfWriter::extTextOut(int x, int y, const QString &text, int options, const QRect &rect, const QVector<int> &dx)
{
    QByteArray p;
    put32(p, 0), put32(p, 0), put32(p, -1), put32(p, -1); // bounds
    put32(p, 1);                                            // GM_COMPATIBLE
    putFloat(p, 1), putFloat(p, 1);
    const int offString = 8 + 28 + 40;
    const int stringBytes = ((text.size() * 2 + 3) / 4) * 4;
    put32(p, x), put32(p, y);
    put32(p, text.size());
    put32(p, offString);
    put32(p, options);
    put32(p, rect.left()), put32(p, rect.top()), put32(p, rect.x() + rect.width()), put32(p, rect.y() + rect.height());
    put32(p, dx.isEmpty() ? 0 : offString + stringBytes);
    for (QChar c : text)
        put16(p, c.unicode());
    while (p.size() % 4)
        p.append('\0');
    for (int d : dx)
        put32(p, d);
    record(84, p);
}

void EmfWriter::stretchDiBits(const QRect &dest, const QImage &image, int bpp, quint32 rop)
{
    stretchDiBits(dest, image.size(), dibInfo(image, bpp), dibBits(image, bpp), rop);
}

void EmfWriter::stretchDiBits(const QRect &dest, QSize source, const QByteArray &info, const QByteArray &bits, quint32 rop)
{
    QByteArray p;
    put32(p, dest.left()), put32(p, dest.top()), put32(p, dest.right()), put32(p, dest.bottom());
    put32(p, dest.x()), put32(p, dest.y());
    put32(p, 0), put32(p, 0), put32(p, source.width()), put32(p, source.height());
    const int header = 8 + 72;
    put32(p, header), put32(p, info.size()), put32(p, header + info.size()), put32(p, bits.size());
    put32(p, 0);
    put32(p, rop);
    put32(p, dest.width()), put32(p, dest.height());
    p.append(info).append(bits);
    record(81, p);
}

void EmfWriter::bitBlt(const QRect &dest, const QImage &image, int bpp, quint32 rop)
{
    const QByteArray info = dibInfo(image, bpp), bits = dibBits(image, bpp);
    QByteArray p;
    put32(p, dest.left()), put32(p, dest.top()), put32(p, dest.right()), put32(p, dest.bottom());
    put32(p, dest.x()), put32(p, dest.y()), put32(p, dest.width()), put32(p, dest.height());
    put32(p, rop);
    put32(p, 0), put32(p, 0);
    for (float f : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f})
        putFloat(p, f);
    put32(p, 0xffffff);
    put32(p, 0);
    const int header = 8 + 92;
    put32(p, header), put32(p, info.size()), put32(p, header + info.size()), put32(p, bits.size());
    p.append(info).append(bits);
    record(76, p);
}

void EmfWriter::alphaBlend(const QRect &dest, const QImage &image, int constantAlpha, bool perPixelAlpha)
{
    // The bits carry premultiplied values: copy them as they are.
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage raw(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(raw.scanLine(y), premultiplied.constScanLine(y), size_t(image.width()) * 4);
    const QByteArray info = dibInfo(raw, 32), bits = dibBits(raw, 32);
    QByteArray p;
    put32(p, dest.left()), put32(p, dest.top()), put32(p, dest.right()), put32(p, dest.bottom());
    put32(p, dest.x()), put32(p, dest.y()), put32(p, dest.width()), put32(p, dest.height());
    put32(p, quint32(constantAlpha & 0xff) << 16 | quint32(perPixelAlpha ? 1 : 0) << 24);
    put32(p, 0), put32(p, 0);
    for (float f : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f})
        putFloat(p, f);
    put32(p, 0xffffff);
    put32(p, 0);
    const int header = 8 + 100;
    put32(p, header), put32(p, info.size()), put32(p, header + info.size()), put32(p, bits.size());
    put32(p, image.width()), put32(p, image.height());
    p.append(info).append(bits);
    record(114, p);
}

void EmfWriter::setDiBitsToDevice(const QPoint &at, const QImage &image, int bpp)
{
    const QByteArray info = dibInfo(image, bpp), bits = dibBits(image, bpp);
    QByteArray p;
    put32(p, at.x()), put32(p, at.y()), put32(p, at.x() + image.width()), put32(p, at.y() + image.height());
    put32(p, at.x()), put32(p, at.y());
    put32(p, 0), put32(p, 0), put32(p, image.width()), put32(p, image.height());
    const int header = 8 + 68;
    put32(p, header), put32(p, info.size()), put32(p, header + info.size()), put32(p, bits.size());
    put32(p, 0);
    put32(p, 0), put32(p, image.height());
    p.append(info).append(bits);
    record(80, p);
}

QByteArray EmfWriter::finish()
{
    record(14, {0, 16, 20});
    QByteArray header;
    put32(header, 1);
    put32(header, 108);
    // Bounds in device pixels, from the frame.
    const double px = double(m_devicePixels.width()) / (m_deviceMillimetres.width() * 100.0);
    const double py = double(m_devicePixels.height()) / (m_deviceMillimetres.height() * 100.0);
    put32(header, int(m_frame.left() * px)), put32(header, int(m_frame.top() * py));
    put32(header, int(m_frame.right() * px)), put32(header, int(m_frame.bottom() * py));
    put32(header, m_frame.left()), put32(header, m_frame.top());
    put32(header, m_frame.right()), put32(header, m_frame.bottom());
    put32(header, 0x464D4520);
    put32(header, 0x10000);
    put32(header, 0); // bytes, set below
    put32(header, m_count);
    put16(header, int(m_nextObject));
    put16(header, 0);
    put32(header, 0), put32(header, 0), put32(header, 0);
    put32(header, m_devicePixels.width()), put32(header, m_devicePixels.height());
    put32(header, m_deviceMillimetres.width()), put32(header, m_deviceMillimetres.height());
    put32(header, 0), put32(header, 0), put32(header, 0);
    put32(header, m_deviceMillimetres.width() * 1000), put32(header, m_deviceMillimetres.height() * 1000);
    QByteArray out = header + m_records;
    set32(out, 48, quint32(out.size()));
    return out;
}

// --- Samples ---

QByteArray sampleWmf()
{
    // A 4 x 3 inch card at 1000 units per inch.
    WmfWriter w(true, QRect(0, 0, 4000, 3000), 1000);
    w.setMapMode(8);
    w.setWindowOrg(0, 0);
    w.setWindowExt(4000, 3000);
    w.setBkMode(1);
    const int sky = w.createBrush(0, QColor(200, 228, 255));
    const int noPen = w.createPen(5, 0, Qt::black);
    w.selectObject(sky);
    w.selectObject(noPen);
    w.rectangle(QRect(0, 0, 4000, 3000));
    const int sun = w.createBrush(0, QColor(255, 200, 40));
    w.selectObject(sun);
    w.ellipse(QRect(2900, 250, 700, 700));
    const int grass = w.createBrush(0, QColor(90, 170, 70));
    w.selectObject(grass);
    w.polygon(QPolygon({QPoint(0, 2200), QPoint(1200, 1900), QPoint(2600, 2100), QPoint(4000, 1800), QPoint(4000, 3000),
                        QPoint(0, 3000)}));
    const int outline = w.createPen(0, 30, QColor(60, 40, 20));
    const int wall = w.createBrush(0, QColor(230, 90, 60));
    w.selectObject(outline);
    w.selectObject(wall);
    w.rectangle(QRect(700, 1400, 1200, 900));
    const int roof = w.createBrush(2, QColor(120, 40, 30), 5);
    w.selectObject(roof);
    w.setBkMode(2);
    w.setBkColor(QColor(250, 220, 200));
    w.polygon(QPolygon({QPoint(600, 1400), QPoint(1300, 800), QPoint(2000, 1400)}));
    w.setBkMode(1);
    const int door = w.createBrush(0, QColor(110, 70, 40));
    w.selectObject(door);
    w.roundRect(QRect(1150, 1800, 300, 500), 80, 80);
    const int ray = w.createPen(0, 40, QColor(255, 170, 0));
    w.selectObject(ray);
    for (int i = 0; i < 8; ++i) {
        static const int dx[8] = {0, 300, 420, 300, 0, -300, -420, -300};
        static const int dy[8] = {-420, -300, 0, 300, 420, 300, 0, -300};
        w.moveTo(3250 + dx[i], 600 + dy[i]);
        w.lineTo(3250 + dx[i] * 3 / 2, 600 + dy[i] * 3 / 2);
    }
    const int font = w.createFont(-320, "Arial", 700);
    w.selectObject(font);
    w.setTextColor(QColor(30, 50, 120));
    w.setTextAlign(6 | 24); // centred on the baseline
    w.textOut(2000, 2800, "Lumadex Viewer");
    return w.finish();
}

QByteArray sampleEmf()
{
    // 100 x 75 mm on a 96-dpi reference device.
    EmfWriter w(QRect(0, 0, 10000, 7500), QSize(1000, 1000), QSize(264, 264));
    w.setMapMode(8);
    w.setWindowOrg(0, 0);
    w.setWindowExt(1000, 750);
    w.setViewportOrg(0, 0);
    w.setViewportExt(378, 284);
    w.setBkMode(1);
    const int paper = w.createBrush(0, QColor(250, 248, 240));
    const int none = w.createPen(5, 0, Qt::black);
    w.selectObject(quint32(paper));
    w.selectObject(quint32(none));
    w.rectangle(QRect(0, 0, 1000, 750));
    const QColor colours[4] = {QColor(220, 60, 60), QColor(60, 160, 80), QColor(60, 110, 210), QColor(240, 180, 40)};
    for (int i = 0; i < 4; ++i) {
        const int brush = w.createBrush(0, colours[i]);
        const int pen = w.createPen(0, 4, colours[i].darker(150));
        w.selectObject(quint32(brush));
        w.selectObject(quint32(pen));
        const int h = 120 + i * 90;
        w.rectangle(QRect(80 + i * 110, 620 - h, 80, h));
    }
    const int pieBrush = w.createBrush(0, QColor(60, 110, 210));
    w.selectObject(quint32(pieBrush));
    w.arc(47, QRect(580, 120, 340, 340), QPoint(920, 290), QPoint(750, 120));
    const int slice = w.createBrush(2, QColor(220, 60, 60), 3);
    w.selectObject(quint32(slice));
    w.setBkMode(2);
    w.setBkColor(QColor(255, 230, 230));
    w.arc(47, QRect(600, 100, 340, 340), QPoint(770, 100), QPoint(940, 270));
    w.setBkMode(1);
    const int axis = w.createPen(0, 6, QColor(40, 40, 40));
    w.selectObject(quint32(axis));
    w.poly(4, QPolygon({QPoint(50, 80), QPoint(50, 620), QPoint(520, 620)}));
    const int curve = w.createPen(0, 8, QColor(160, 60, 160));
    w.selectObject(quint32(curve));
    w.poly(2, QPolygon({QPoint(60, 300), QPoint(200, 100), QPoint(350, 500), QPoint(500, 200)}));
    const int font = w.createFont(-56, QStringLiteral("Arial"), 700);
    w.selectObject(quint32(font));
    w.setTextColor(QColor(30, 30, 60));
    w.setTextAlign(6 | 24);
    w.extTextOut(500, 710, QStringLiteral("Lumadex Viewer sample"));
    return w.finish();
}

} // namespace picture::metafile::writer
