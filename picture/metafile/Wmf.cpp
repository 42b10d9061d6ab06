#include "picture/metafile/Dib.h"
#include "picture/metafile/Formats.h"
#include "picture/metafile/Player.h"

#include <QRegion>

#include <algorithm>
#include <cmath>

namespace picture::metafile {

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7;

enum : quint16 {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_RESIZEPALETTE = 0x0139,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_SETLAYOUT = 0x0149,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_SETMAPPERFLAGS = 0x0231,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_FRAMEREGION = 0x0429,
    META_ANIMATEPALETTE = 0x0436,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ESCAPE = 0x0626,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

// Parameters come last-first in most WMF records: y before x, bottom
// before top.
QRectF readRectReversed(Reader &r)
{
    const double bottom = r.i16(), right = r.i16(), top = r.i16(), left = r.i16();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF readPointReversed(Reader &r)
{
    const double y = r.i16();
    const double x = r.i16();
    return QPointF(x, y);
}

bool readPoints(Reader &r, qint64 count, QPolygonF *out)
{
    if (count < 0 || !r.has(count * 4)) {
        r.fail();
        return false;
    }
    out->reserve(int(count));
    for (qint64 i = 0; i < count; ++i) {
        const double x = r.i16();
        const double y = r.i16();
        out->append(QPointF(x, y));
    }
    return true;
}

LogFont readFont(Reader &r)
{
    LogFont f;
    f.height = r.i16();
    f.width = std::abs(r.i16());
    f.escapement = r.i16();
    r.i16(); // orientation
    f.weight = r.i16();
    f.italic = r.u8();
    f.underline = r.u8();
    f.strikeOut = r.u8();
    f.charset = r.u8();
    r.skip(4);
    QByteArray face;
    while (r.has(1) && face.size() < 32) {
        const char c = char(r.u8());
        if (c == 0)
            break;
        face.append(c);
    }
    f.face = decodeAnsi(reinterpret_cast<const uchar *>(face.constData()), face.size(), f.charset == 2 ? 0 : f.charset);
    return f;
}

// A WMF Region object: scans of left/right pairs. A region we cannot read
// becomes its bounding rectangle.
QPainterPath readRegion(Reader &r)
{
    r.skip(2 + 2 + 4 + 2); // nextInChain, objectType, objectCount, regionSize
    const int scanCount = r.i16();
    r.i16(); // maxScan
    const QRectF bounds = [&] {
        const double l = r.i16(), t = r.i16(), rr = r.i16(), b = r.i16();
        return QRectF(QPointF(l, t), QPointF(rr, b)).normalized();
    }();
    QRegion region;
    // Beyond some thousands of pieces a region stands for its bounds: the
    // clip and fill set operations on it would crawl.
    int pieces = 0;
    bool good = r.ok() && scanCount >= 0;
    for (int s = 0; good && s < scanCount; ++s) {
        const int count = r.u16();
        const int top = r.i16(), bottom = r.i16();
        pieces += count / 2;
        if (count % 2 || !r.has(qint64(count) * 2 + 2) || pieces > 10000) {
            good = false;
            break;
        }
        for (int i = 0; i < count / 2; ++i) {
            const int left = r.i16(), right = r.i16();
            if (right > left && bottom > top)
                region += QRect(left, top, right - left, bottom - top);
        }
        r.u16();
    }
    QPainterPath path;
    if (good && !region.isEmpty() && region.rectCount() < 100000)
        path.addRegion(region);
    else if (r.ok())
        path.addRect(bounds);
    return path;
}

class WmfPlayer {
public:
    WmfPlayer(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget)
        : m_file(file), m_p(painter, deviceToTarget, file.devicePixelsPerMm, file.frame)
    {
    }

    PlayResult run();

private:
    bool play(quint16 function, Reader &r);
    void blit(quint16 function, Reader &r, qsizetype words);
    QString text(const uchar *data, qsizetype length) const { return decodeAnsi(data, length, m_p.dc.font.charset); }

    const Parsed &m_file;
    Player m_p;
};

PlayResult WmfPlayer::run()
{
    PlayResult result;
    m_p.resetObjects(m_file.objectCount);
    if (m_file.hasInitialWindow) {
        m_p.dc.mapMode = MM_ANISOTROPIC;
        m_p.dc.windowOrg = m_file.initialWindow.topLeft();
        m_p.dc.windowExt = m_file.initialWindow.size();
        m_p.dc.viewportOrg = m_file.frame.topLeft();
        m_p.dc.viewportExt = m_file.frame.size();
    }
    const uchar *data = reinterpret_cast<const uchar *>(m_file.data.constData());
    for (size_t i = 0; i < m_file.records.size(); ++i) {
        const Record &rec = m_file.records[i];
        Reader r(data + rec.offset + 6, rec.size - 6);
        const bool more = play(quint16(rec.type), r);
        if (!r.ok()) {
            result.damagedRecord = qint64(i);
            result.damage = QStringLiteral("record %1 (function 0x%2) at byte %3 is damaged")
                                .arg(i + 1)
                                .arg(rec.type, 4, 16, QLatin1Char('0'))
                                .arg(rec.offset);
            break;
        }
        if (!more || m_p.exhausted())
            break;
    }
    result.drawnBounds = m_p.drawnBounds();
    return result;
}

bool WmfPlayer::play(quint16 function, Reader &r)
{
    DcState &dc = m_p.dc;
    switch (function) {
    case META_EOF:
        return false;
    case META_SAVEDC: m_p.saveDc(); break;
    case META_RESTOREDC: m_p.restoreDc(r.i16()); break;
    case META_SETBKMODE: dc.bkMode = r.u16(); break;
    case META_SETMAPMODE: dc.mapMode = std::clamp<int>(r.u16(), MM_TEXT, MM_ANISOTROPIC); break;
    case META_SETROP2: dc.rop2 = r.u16(); break;
    case META_SETPOLYFILLMODE: dc.polyFillMode = r.u16(); break;
    case META_SETTEXTALIGN: dc.textAlign = r.u16(); break;
    case META_SETBKCOLOR: dc.bkColor = colorRef(r.u32(), dc.palette); break;
    case META_SETTEXTCOLOR: dc.textColor = colorRef(r.u32(), dc.palette); break;
    case META_SETWINDOWORG: dc.windowOrg = readPointReversed(r); break;
    case META_SETWINDOWEXT: {
        const QPointF e = readPointReversed(r);
        dc.windowExt = QSizeF(e.x(), e.y());
        break;
    }
    case META_SETVIEWPORTORG: dc.viewportOrg = readPointReversed(r); break;
    case META_SETVIEWPORTEXT: {
        const QPointF e = readPointReversed(r);
        dc.viewportExt = QSizeF(e.x(), e.y());
        break;
    }
    case META_OFFSETWINDOWORG: dc.windowOrg += readPointReversed(r); break;
    case META_OFFSETVIEWPORTORG: dc.viewportOrg += readPointReversed(r); break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        const int yDenom = r.i16(), yNum = r.i16(), xDenom = r.i16(), xNum = r.i16();
        if (xDenom == 0 || yDenom == 0)
            break;
        QSizeF &ext = function == META_SCALEWINDOWEXT ? dc.windowExt : dc.viewportExt;
        ext = QSizeF(ext.width() * xNum / xDenom, ext.height() * yNum / yDenom);
        break;
    }
    case META_MOVETO: m_p.moveTo(readPointReversed(r)); break;
    case META_LINETO: m_p.lineTo(readPointReversed(r)); break;
    case META_RECTANGLE: {
        QPainterPath p;
        p.addRect(readRectReversed(r).normalized());
        m_p.drawShape(p, true, true);
        break;
    }
    case META_ROUNDRECT: {
        const double h = r.i16(), w = r.i16();
        const QRectF box = readRectReversed(r).normalized();
        QPainterPath p;
        p.addRoundedRect(box, std::abs(w) / 2, std::abs(h) / 2);
        m_p.drawShape(p, true, true);
        break;
    }
    case META_ELLIPSE: {
        QPainterPath p;
        p.addEllipse(readRectReversed(r).normalized());
        m_p.drawShape(p, true, true);
        break;
    }
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
        const QPointF end = readPointReversed(r);
        const QPointF start = readPointReversed(r);
        const QRectF box = readRectReversed(r);
        const int kind = function == META_ARC ? 0 : function == META_CHORD ? 1 : 2;
        m_p.drawShape(Player::arcPath(box, start, end, kind, dc.arcDirection), kind != 0, true);
        break;
    }
    case META_POLYGON:
    case META_POLYLINE: {
        const int count = r.i16();
        QPolygonF points;
        if (!readPoints(r, count, &points))
            break;
        QPainterPath p;
        p.addPolygon(points);
        if (function == META_POLYGON) {
            p.closeSubpath();
            m_p.drawShape(p, true, true);
        } else {
            m_p.drawShape(p, false, true);
        }
        break;
    }
    case META_POLYPOLYGON: {
        const int polys = r.u16();
        if (!r.has(qint64(polys) * 2)) {
            r.fail();
            break;
        }
        QVector<int> counts;
        for (int i = 0; i < polys; ++i)
            counts.append(r.u16());
        QPainterPath p;
        for (int c : counts) {
            QPolygonF points;
            if (!readPoints(r, c, &points))
                break;
            p.addPolygon(points);
            p.closeSubpath();
        }
        if (r.ok())
            m_p.drawShape(p, true, true);
        break;
    }
    case META_SETPIXEL: {
        const QColor c = colorRef(r.u32(), dc.palette);
        m_p.setPixel(readPointReversed(r), c);
        break;
    }
    case META_TEXTOUT: {
        const int length = r.i16();
        if (length < 0 || !r.has(length + (length & 1) + 4)) {
            r.fail();
            break;
        }
        const QString s = text(r.data() + r.pos(), length);
        r.skip(length + (length & 1));
        const QPointF at = readPointReversed(r);
        m_p.drawText(at, s, {}, 0, QRectF());
        break;
    }
    case META_EXTTEXTOUT: {
        const QPointF at = readPointReversed(r);
        const int length = r.i16();
        const quint16 options = r.u16();
        QRectF rect;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
            rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        }
        if (length < 0 || !r.has(length)) {
            r.fail();
            break;
        }
        const uchar *bytes = r.data() + r.pos();
        r.skip(length + (length & 1));
        QVector<double> byteDx, dx;
        if (r.remaining() >= qsizetype(length) * 2) {
            for (int i = 0; i < length; ++i)
                byteDx.append(r.i16());
        }
        const QString s = decodeAnsi(bytes, length, dc.font.charset, byteDx.isEmpty() ? nullptr : &byteDx, &dx);
        if (r.ok())
            m_p.drawText(at, s, dx, options, rect);
        break;
    }
    case META_CREATEPENINDIRECT: {
        GdiObject o;
        o.kind = GdiObject::Pen;
        const quint16 style = r.u16();
        o.pen.style = style & 0x0f;
        o.pen.endCap = (style >> 8) & 0x0f;
        o.pen.join = (style >> 12) & 0x0f;
        o.pen.width = std::abs(r.i16());
        r.i16();
        o.pen.color = colorRef(r.u32(), dc.palette);
        if (r.ok())
            m_p.addObject(o);
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = r.u16();
        o.brush.color = colorRef(r.u32(), dc.palette);
        o.brush.hatch = r.u16();
        if (o.brush.style != BS_NULL && o.brush.style != BS_HATCHED)
            o.brush.style = BS_SOLID;
        if (r.ok())
            m_p.addObject(o);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        const int style = r.u16();
        const int usage = r.u16();
        const Reader rest = r.sub(r.pos(), r.remaining());
        const DibResult dib = style == BS_PATTERN ? decodeBitmap16(rest, qRgb(0, 0, 0), qRgb(255, 255, 255))
                                                  : decodePackedDib(rest, usage, dc.palette);
        o.brush.style = BS_DIBPATTERN;
        o.brush.pattern = dib.image;
        o.brush.color = QColor(128, 128, 128);
        m_p.addObject(o);
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.color = QColor(128, 128, 128);
        m_p.addObject(o);
        break;
    }
    case META_CREATEFONTINDIRECT: {
        GdiObject o;
        o.kind = GdiObject::Font;
        o.font = readFont(r);
        if (r.ok())
            m_p.addObject(o);
        break;
    }
    case META_CREATEPALETTE: {
        GdiObject o;
        o.kind = GdiObject::Palette;
        r.u16();
        const int count = r.u16();
        if (!r.has(qint64(count) * 4)) {
            r.fail();
            break;
        }
        for (int i = 0; i < count; ++i) {
            const int red = r.u8(), g = r.u8(), b = r.u8();
            r.u8();
            o.palette.append(qRgb(red, g, b));
        }
        m_p.addObject(o);
        break;
    }
    case META_CREATEREGION: {
        GdiObject o;
        o.kind = GdiObject::Region;
        // Region records in the wild are often cut short; the slot is taken
        // all the same so that later object indices stay right.
        Reader copy = r;
        o.region = readRegion(copy);
        m_p.addObject(o);
        break;
    }
    case META_SELECTOBJECT: m_p.selectObject(r.u16()); break;
    case META_SELECTPALETTE: {
        if (const GdiObject *o = m_p.object(r.u16()); o && o->kind == GdiObject::Palette)
            dc.palette = o->palette;
        break;
    }
    case META_DELETEOBJECT: m_p.deleteObject(r.u16()); break;
    case META_SELECTCLIPREGION: {
        const GdiObject *o = m_p.object(r.u16());
        if (o && o->kind == GdiObject::Region)
            m_p.combineClip(m_p.logicalToDevice().map(o->region), RGN_COPY);
        else
            m_p.resetClip();
        break;
    }
    case META_INTERSECTCLIPRECT: m_p.intersectClipRect(readRectReversed(r)); break;
    case META_EXCLUDECLIPRECT: m_p.excludeClipRect(readRectReversed(r)); break;
    case META_OFFSETCLIPRGN: m_p.offsetClip(readPointReversed(r)); break;
    case META_FILLREGION:
    case META_PAINTREGION:
    case META_INVERTREGION:
    case META_FRAMEREGION: {
        const GdiObject *region = m_p.object(r.u16());
        LogBrush brush = dc.brush;
        if (function == META_FILLREGION || function == META_FRAMEREGION) {
            const GdiObject *b = m_p.object(r.u16());
            if (!b || b->kind != GdiObject::Brush)
                break;
            brush = b->brush;
        }
        if (!r.ok() || !region || region->kind != GdiObject::Region)
            break;
        if (function == META_FRAMEREGION) {
            const double h = std::abs(r.i16()), w = std::abs(r.i16());
            QPainterPathStroker stroker;
            stroker.setWidth(std::max(1.0, std::max(w, h)) * 2);
            m_p.fillWithBrush(stroker.createStroke(region->region).intersected(region->region), brush);
        } else if (function == META_INVERTREGION) {
            const int saved = dc.rop2;
            dc.rop2 = 6;
            m_p.fillWithBrush(region->region, brush);
            dc.rop2 = saved;
        } else {
            m_p.fillWithBrush(region->region, brush);
        }
        break;
    }
    case META_PATBLT: {
        const quint32 rop = r.u32();
        const double h = r.i16(), w = r.i16();
        const QPointF at = readPointReversed(r);
        m_p.patBlt(QRectF(at, QSizeF(w, h)), rop);
        break;
    }
    case META_BITBLT:
    case META_STRETCHBLT:
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB:
    case META_SETDIBTODEV:
        blit(function, r, r.size() / 2);
        break;
    default:
        // Palette animation, escapes, flood fills, justification and the
        // mapper flags change nothing we draw.
        break;
    }
    return true;
}

void WmfPlayer::blit(quint16 function, Reader &r, qsizetype words)
{
    // The blits without a bitmap have exactly the parameter words the high
    // byte of the function number counts.
    const bool noBitmap = words == (function >> 8);
    quint32 rop = 0x00CC0020;
    int usage = 0;
    double srcH = 0, srcW = 0, srcY = 0, srcX = 0, h = 0, w = 0;
    QPointF dest;
    switch (function) {
    case META_BITBLT:
    case META_DIBBITBLT:
        rop = r.u32();
        srcY = r.i16(), srcX = r.i16();
        if (noBitmap)
            r.i16();
        h = r.i16(), w = r.i16();
        dest = readPointReversed(r);
        srcW = w, srcH = h;
        break;
    case META_STRETCHBLT:
    case META_DIBSTRETCHBLT:
        rop = r.u32();
        srcH = r.i16(), srcW = r.i16(), srcY = r.i16(), srcX = r.i16();
        if (noBitmap)
            r.i16();
        h = r.i16(), w = r.i16();
        dest = readPointReversed(r);
        break;
    case META_STRETCHDIB:
        rop = r.u32();
        usage = r.u16();
        srcH = r.i16(), srcW = r.i16(), srcY = r.i16(), srcX = r.i16();
        h = r.i16(), w = r.i16();
        dest = readPointReversed(r);
        break;
    case META_SETDIBTODEV: {
        usage = r.u16();
        r.u16(); // scan count
        r.u16(); // start scan
        srcY = r.i16(), srcX = r.i16();
        h = r.i16(), w = r.i16();
        dest = readPointReversed(r);
        srcW = w, srcH = h;
        break;
    }
    default: return;
    }
    if (!r.ok())
        return;
    const QRectF target(dest, QSizeF(w, h));
    if (noBitmap && function != META_STRETCHDIB && function != META_SETDIBTODEV) {
        m_p.patBlt(target, rop);
        return;
    }
    const Reader rest = r.sub(r.pos(), r.remaining());
    DibResult dib = (function == META_BITBLT || function == META_STRETCHBLT)
                        ? decodeBitmap16(rest, m_p.dc.textColor.rgb(), m_p.dc.bkColor.rgb())
                        : decodePackedDib(rest, usage, m_p.dc.palette);
    if (dib.damaged) {
        r.fail();
        return;
    }
    if (dib.image.isNull())
        return;
    const bool fromBottom = function == META_STRETCHDIB || function == META_SETDIBTODEV;
    if (fromBottom && dib.bottomUp)
        srcY = dib.image.height() - srcY - srcH;
    m_p.drawBitmap(target, dib.image, QRectF(srcX, srcY, srcW, srcH), rop);
}

} // namespace

bool isPlaceableWmf(const QByteArray &data)
{
    Reader r(reinterpret_cast<const uchar *>(data.constData()), data.size());
    return data.size() >= 22 + 18 && r.u32() == placeableKey;
}

bool isPlainWmf(const QByteArray &data)
{
    Reader r(reinterpret_cast<const uchar *>(data.constData()), data.size());
    const quint16 type = r.u16(), headerSize = r.u16(), version = r.u16();
    return data.size() >= 18 && (type == 1 || type == 2) && headerSize == 9 && (version == 0x0100 || version == 0x0300);
}

bool parseWmf(const QByteArray &data, Parsed *out, QString *error)
{
    Reader r(reinterpret_cast<const uchar *>(data.constData()), data.size());
    const bool placeable = isPlaceableWmf(data);
    QRectF bounds;
    int unitsPerInch = 0;
    if (placeable) {
        r.u32();
        r.u16(); // handle
        const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        unitsPerInch = r.u16();
        r.u32();
        r.u16(); // checksum: writers get it wrong often enough that a mismatch is not an error
        bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
        if (bounds.width() == 0 || bounds.height() == 0) {
            *error = QStringLiteral("the placeable header gives an empty picture frame");
            return false;
        }
        if (unitsPerInch == 0)
            unitsPerInch = 1440;
    }
    const qsizetype headerAt = r.pos();
    const quint16 type = r.u16(), headerSize = r.u16(), version = r.u16();
    r.u32(); // size in words: often wrong, the records decide
    const int objects = r.u16();
    r.u32();
    r.u16();
    if (!r.ok() || !(type == 1 || type == 2) || headerSize != 9 || !(version == 0x0100 || version == 0x0300)) {
        *error = QStringLiteral("not a Windows metafile (bad header)");
        return false;
    }
    out->emf = false;
    out->data = data;
    out->objectCount = objects;
    qsizetype pos = headerAt + 18;
    bool sawEof = false;
    while (pos + 6 <= data.size()) {
        Reader h = r.sub(pos, 6);
        quint32 words = h.u32();
        const quint16 function = h.u16();
        // Some writers leave the high word of the size uninitialised; when
        // the size only fits the file without it, the low word is the size.
        if (qint64(words) * 2 > data.size() - pos && (words & 0xffff) >= 3
            && qint64(words & 0xffff) * 2 <= data.size() - pos)
            words &= 0xffff;
        if (words < 3 || qint64(words) * 2 > data.size() - pos) {
            *error = QStringLiteral("record %1 at byte %2 runs past the end of the file")
                         .arg(out->records.size() + 1)
                         .arg(pos);
            return false;
        }
        if (qint64(out->records.size()) >= Limits::maxRecords) {
            *error = QStringLiteral("too many records");
            return false;
        }
        out->records.push_back({pos, qsizetype(words) * 2, function});
        pos += qsizetype(words) * 2;
        if (function == META_EOF) {
            sawEof = true;
            break;
        }
    }
    if (!sawEof && pos < data.size()) {
        *error = QStringLiteral("the metafile is truncated: its last record runs past the end of the file");
        return false;
    }
    if (out->records.empty()) {
        *error = QStringLiteral("the metafile holds no records");
        return false;
    }

    if (placeable) {
        const QRectF frame = bounds;
        out->frame = frame;
        out->hasInitialWindow = true;
        out->initialWindow = frame;
        out->devicePixelsPerMm = unitsPerInch / 25.4;
        out->naturalSize = QSize(std::max(1, int(std::lround(std::abs(frame.width()) * 96.0 / unitsPerInch))),
                                 std::max(1, int(std::lround(std::abs(frame.height()) * 96.0 / unitsPerInch))));
        return true;
    }
    // A plain WMF has no frame of its own: take the window it sets up.
    QPointF org;
    QSizeF ext(0, 0);
    bool haveOrg = false;
    for (const Record &rec : out->records) {
        Reader p = r.sub(rec.offset + 6, rec.size - 6);
        if (rec.type == META_SETWINDOWORG && !haveOrg) {
            org = readPointReversed(p);
            haveOrg = p.ok();
        } else if (rec.type == META_SETWINDOWEXT) {
            const QPointF e = readPointReversed(p);
            if (p.ok() && e.x() != 0 && e.y() != 0) {
                ext = QSizeF(e.x(), e.y());
                break;
            }
        }
    }
    if (ext.width() != 0 && ext.height() != 0) {
        const double w = std::abs(ext.width()), h = std::abs(ext.height());
        // Units are pixels unless the extent is too big for that: then twips,
        // the unit the word processors that write plain WMFs use.
        const bool twips = std::max(w, h) > 2048;
        const double scale = twips ? 96.0 / 1440 : 1.0;
        out->frame = QRectF(0, 0, w, h);
        out->hasInitialWindow = true;
        out->initialWindow = QRectF(org, ext);
        out->devicePixelsPerMm = (twips ? 1440 : 96) / 25.4;
        out->naturalSize = QSize(std::max(1, int(std::lround(w * scale))), std::max(1, int(std::lround(h * scale))));
    }
    // Otherwise Metafile.cpp sizes the picture from what it draws.
    return true;
}

PlayResult playWmf(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget)
{
    WmfPlayer player(file, painter, deviceToTarget);
    return player.run();
}

} // namespace picture::metafile
