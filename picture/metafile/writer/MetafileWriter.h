#pragma once

// Writes WMF and EMF files record by record: for tests, for the fuzzer's
// seeds and for the viewer's sample pictures.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QVector>

#include <initializer_list>

// Rectangles are QRects; GDI receives them with the right and bottom edges
// excluded (left + width, top + height), as GDI draws them.

namespace picture::metafile::writer {

// A packed device-independent bitmap (BITMAPINFOHEADER, colour table,
// bits) of `image` at `bitsPerPixel` 1, 4, 8, 16, 24 or 32. Indexed depths
// use the image's colour table when it has one, else a grey ramp. 32-bit
// pixels carry the image's alpha.
QByteArray packedDib(const QImage &image, int bitsPerPixel, bool topDown = false);
// Header and colour table only, and the bits only, of the same bitmap.
QByteArray dibInfo(const QImage &image, int bitsPerPixel, bool topDown = false);
QByteArray dibBits(const QImage &image, int bitsPerPixel, bool topDown = false);

class WmfWriter {
public:
    // `placeable`: writes the placeable header with `bounds` (logical units)
    // and `unitsPerInch`.
    explicit WmfWriter(bool placeable = true, QRect bounds = QRect(0, 0, 1000, 1000), int unitsPerInch = 1000,
                       quint16 version = 0x0300);

    // Any record: 16-bit parameters as GDI lays them out (last first).
    void record(quint16 function, std::initializer_list<int> words);
    void record(quint16 function, const QByteArray &params);

    void setMapMode(int mode) { record(0x0103, {mode}); }
    void setWindowOrg(int x, int y) { record(0x020B, {y, x}); }
    void setWindowExt(int w, int h) { record(0x020C, {h, w}); }
    void setViewportOrg(int x, int y) { record(0x020D, {y, x}); }
    void setViewportExt(int w, int h) { record(0x020E, {h, w}); }
    void saveDc() { record(0x001E, {}); }
    void restoreDc(int which = -1) { record(0x0127, {which}); }
    void setBkMode(int mode) { record(0x0102, {mode}); }
    void setBkColor(QColor c);
    void setTextColor(QColor c);
    void setTextAlign(int align) { record(0x012E, {align}); }
    void setPolyFillMode(int mode) { record(0x0106, {mode}); }
    void setRop2(int rop) { record(0x0104, {rop}); }

    // Objects go to the lowest free slot, as GDI puts them; these return it.
    int createPen(int style, int width, QColor c);
    int createBrush(int style, QColor c, int hatch = 0);
    int createPatternBrush(const QImage &pattern);
    int createFont(int height, const QByteArray &face, int weight = 400, bool italic = false, bool underline = false,
                   int escapement = 0, int charset = 0);
    int createRegion(const QRect &rect);
    void selectObject(int index) { record(0x012D, {index}); }
    void deleteObject(int index);

    void moveTo(int x, int y) { record(0x0214, {y, x}); }
    void lineTo(int x, int y) { record(0x0213, {y, x}); }
    void rectangle(const QRect &r) { record(0x041B, {r.y() + r.height(), r.x() + r.width(), r.top(), r.left()}); }
    void roundRect(const QRect &r, int w, int h) { record(0x061C, {h, w, r.y() + r.height(), r.x() + r.width(), r.top(), r.left()}); }
    void ellipse(const QRect &r) { record(0x0418, {r.y() + r.height(), r.x() + r.width(), r.top(), r.left()}); }
    // Arc, chord (0x0830) and pie (0x081A) share the layout.
    void arc(quint16 function, const QRect &r, QPoint start, QPoint end);
    void polygon(const QPolygon &p);
    void polyline(const QPolygon &p);
    void polyPolygon(const QVector<QPolygon> &polys);
    void textOut(int x, int y, const QByteArray &text);
    void extTextOut(int x, int y, int options, const QRect &rect, const QByteArray &text, const QVector<int> &dx = {});
    void intersectClipRect(const QRect &r) { record(0x0416, {r.y() + r.height(), r.x() + r.width(), r.top(), r.left()}); }
    void excludeClipRect(const QRect &r) { record(0x0415, {r.y() + r.height(), r.x() + r.width(), r.top(), r.left()}); }
    void selectClipRegion(int index) { record(0x012C, {index}); }
    void stretchDib(const QRect &dest, const QImage &image, int bitsPerPixel, quint32 rop = 0x00CC0020);
    void patBlt(const QRect &r, quint32 rop);

    // Adds the end record and the sizes; the writer is done after this.
    QByteArray finish();

private:
    int takeSlot();

    bool m_placeable;
    QRect m_bounds;
    int m_unitsPerInch;
    quint16 m_version;
    QByteArray m_records;
    quint32 m_maxRecord = 3;
    QVector<bool> m_slots;
};

class EmfWriter {
public:
    // `frame` in hundredths of a millimetre; the reference device is
    // `devicePixels` large and `deviceMillimetres` wide and tall.
    explicit EmfWriter(QRect frame, QSize devicePixels = QSize(1000, 1000), QSize deviceMillimetres = QSize(264, 264));

    // Any record: the payload after type and size (padded to 4 bytes).
    void record(quint32 type, const QByteArray &payload);
    void record(quint32 type, std::initializer_list<qint32> values);

    void setMapMode(int mode) { record(17, {mode}); }
    void setWindowOrg(int x, int y) { record(10, {x, y}); }
    void setWindowExt(int w, int h) { record(9, {w, h}); }
    void setViewportOrg(int x, int y) { record(12, {x, y}); }
    void setViewportExt(int w, int h) { record(11, {w, h}); }
    void saveDc() { record(33, {}); }
    void restoreDc(int which = -1) { record(34, {which}); }
    void setWorldTransform(qreal m11, qreal m12, qreal m21, qreal m22, qreal dx, qreal dy);
    void setBkMode(int mode) { record(18, {mode}); }
    void setBkColor(QColor c);
    void setTextColor(QColor c);
    void setTextAlign(int align) { record(22, {align}); }
    void setPolyFillMode(int mode) { record(19, {mode}); }

    // Objects take the index given; `createX` return it.
    int createPen(int style, int width, QColor c);
    int createBrush(int style, QColor c, int hatch = 0);
    int createDibPatternBrush(const QImage &pattern, int bitsPerPixel);
    int createFont(int height, const QString &face, int weight = 400, bool italic = false, bool underline = false,
                   int escapement = 0);
    void selectObject(quint32 index) { record(37, {qint32(index)}); }
    void deleteObject(quint32 index) { record(40, {qint32(index)}); }

    void moveTo(int x, int y) { record(27, {x, y}); }
    void lineTo(int x, int y) { record(54, {x, y}); }
    void rectangle(const QRect &r) { record(43, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height()}); }
    void roundRect(const QRect &r, int w, int h) { record(44, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height(), w, h}); }
    void ellipse(const QRect &r) { record(42, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height()}); }
    // Arc 45, chord 46, pie 47, arc-to 55.
    void arc(quint32 type, const QRect &r, QPoint start, QPoint end);
    // Polygon 3, polyline 4, poly-Bézier 2 (32-bit points) and their 16-bit
    // twins 86, 87, 85.
    void poly(quint32 type, const QPolygon &p);
    void polyPolygon(const QVector<QPolygon> &polys);
    void beginPath() { record(59, {}); }
    void endPath() { record(60, {}); }
    void closeFigure() { record(61, {}); }
    void fillPath() { record(62, {0, 0, 0, 0}); }
    void strokePath() { record(64, {0, 0, 0, 0}); }
    void strokeAndFillPath() { record(63, {0, 0, 0, 0}); }
    void selectClipPath(int mode) { record(67, {mode}); }
    void intersectClipRect(const QRect &r) { record(30, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height()}); }
    void excludeClipRect(const QRect &r) { record(29, {r.left(), r.top(), r.x() + r.width(), r.y() + r.height()}); }
    void selectClipRects(const QVector<QRect> &rects, int mode);
    void extTextOut(int x, int y, const QString &text, int options = 0, const QRect &rect = QRect(),
                    const QVector<int> &dx = {});
    void stretchDiBits(const QRect &dest, const QImage &image, int bitsPerPixel, quint32 rop = 0x00CC0020);
    // The same with the bitmap's header and bits as given (any compression).
    void stretchDiBits(const QRect &dest, QSize source, const QByteArray &info, const QByteArray &bits,
                       quint32 rop = 0x00CC0020);
    void bitBlt(const QRect &dest, const QImage &image, int bitsPerPixel, quint32 rop = 0x00CC0020);
    void alphaBlend(const QRect &dest, const QImage &image, int constantAlpha, bool perPixelAlpha);
    void setDiBitsToDevice(const QPoint &at, const QImage &image, int bitsPerPixel);

    QByteArray finish();

private:
    QRect m_frame;
    QSize m_devicePixels;
    QSize m_deviceMillimetres;
    QByteArray m_records;
    quint32 m_count = 1;
    quint32 m_nextObject = 1;
};

// Demonstration drawings for the viewer's sample folder: shapes, colours
// and text.
QByteArray sampleWmf();
QByteArray sampleEmf();

} // namespace picture::metafile::writer
