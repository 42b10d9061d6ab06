#include "picture/metafile/Dib.h"
#include "picture/metafile/Formats.h"
#include "picture/metafile/Player.h"

#include <QLinearGradient>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace picture::metafile {

namespace {

enum : quint32 {
    EMR_HEADER = 1, EMR_POLYBEZIER, EMR_POLYGON, EMR_POLYLINE, EMR_POLYBEZIERTO, EMR_POLYLINETO, EMR_POLYPOLYLINE,
    EMR_POLYPOLYGON, EMR_SETWINDOWEXTEX, EMR_SETWINDOWORGEX, EMR_SETVIEWPORTEXTEX, EMR_SETVIEWPORTORGEX,
    EMR_SETBRUSHORGEX, EMR_EOF, EMR_SETPIXELV, EMR_SETMAPPERFLAGS, EMR_SETMAPMODE, EMR_SETBKMODE,
    EMR_SETPOLYFILLMODE, EMR_SETROP2, EMR_SETSTRETCHBLTMODE, EMR_SETTEXTALIGN, EMR_SETCOLORADJUSTMENT,
    EMR_SETTEXTCOLOR, EMR_SETBKCOLOR, EMR_OFFSETCLIPRGN, EMR_MOVETOEX, EMR_SETMETARGN, EMR_EXCLUDECLIPRECT,
    EMR_INTERSECTCLIPRECT, EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX, EMR_SAVEDC, EMR_RESTOREDC,
    EMR_SETWORLDTRANSFORM, EMR_MODIFYWORLDTRANSFORM, EMR_SELECTOBJECT, EMR_CREATEPEN, EMR_CREATEBRUSHINDIRECT,
    EMR_DELETEOBJECT, EMR_ANGLEARC, EMR_ELLIPSE, EMR_RECTANGLE, EMR_ROUNDRECT, EMR_ARC, EMR_CHORD, EMR_PIE,
    EMR_SELECTPALETTE, EMR_CREATEPALETTE, EMR_SETPALETTEENTRIES, EMR_RESIZEPALETTE, EMR_REALIZEPALETTE,
    EMR_EXTFLOODFILL, EMR_LINETO, EMR_ARCTO, EMR_POLYDRAW, EMR_SETARCDIRECTION, EMR_SETMITERLIMIT, EMR_BEGINPATH,
    EMR_ENDPATH, EMR_CLOSEFIGURE, EMR_FILLPATH, EMR_STROKEANDFILLPATH, EMR_STROKEPATH, EMR_FLATTENPATH,
    EMR_WIDENPATH, EMR_SELECTCLIPPATH, EMR_ABORTPATH,
    EMR_GDICOMMENT = 70, EMR_FILLRGN, EMR_FRAMERGN, EMR_INVERTRGN, EMR_PAINTRGN, EMR_EXTSELECTCLIPRGN, EMR_BITBLT,
    EMR_STRETCHBLT, EMR_MASKBLT, EMR_PLGBLT, EMR_SETDIBITSTODEVICE, EMR_STRETCHDIBITS, EMR_EXTCREATEFONTINDIRECTW,
    EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW, EMR_POLYBEZIER16, EMR_POLYGON16, EMR_POLYLINE16, EMR_POLYBEZIERTO16,
    EMR_POLYLINETO16, EMR_POLYPOLYLINE16, EMR_POLYPOLYGON16, EMR_POLYDRAW16, EMR_CREATEMONOBRUSH,
    EMR_CREATEDIBPATTERNBRUSHPT, EMR_EXTCREATEPEN, EMR_POLYTEXTOUTA, EMR_POLYTEXTOUTW,
    EMR_SMALLTEXTOUT = 108, EMR_ALPHABLEND = 114, EMR_SETLAYOUT, EMR_TRANSPARENTBLT, EMR_GRADIENTFILL = 118,
};

constexpr quint32 emfSignature = 0x464D4520; // " EMF"

QRectF readRectL(Reader &r)
{
    const double l = r.i32(), t = r.i32(), rr = r.i32(), b = r.i32();
    return QRectF(QPointF(l, t), QPointF(rr, b));
}

QPointF readPointL(Reader &r)
{
    const double x = r.i32();
    const double y = r.i32();
    return QPointF(x, y);
}

bool readPoints(Reader &r, qint64 count, bool small, QPolygonF *out)
{
    const int each = small ? 4 : 8;
    if (count < 0 || !r.has(count * each)) {
        r.fail();
        return false;
    }
    out->reserve(int(count));
    for (qint64 i = 0; i < count; ++i) {
        if (small) {
            const double x = r.i16();
            out->append(QPointF(x, r.i16()));
        } else {
            const double x = r.i32();
            out->append(QPointF(x, r.i32()));
        }
    }
    return true;
}

QTransform readXform(Reader &r, bool *valid)
{
    const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32(), dx = r.f32(), dy = r.f32();
    *valid = std::isfinite(m11) && std::isfinite(m12) && std::isfinite(m21) && std::isfinite(m22)
        && std::isfinite(dx) && std::isfinite(dy) && std::abs(dx) < 1e9 && std::abs(dy) < 1e9;
    return QTransform(m11, m12, m21, m22, dx, dy);
}

constexpr int maxRegionRects = 10000;

// RGNDATA: a header and a list of rectangles.
bool readRegionData(Reader r, QPainterPath *out)
{
    const quint32 headerSize = r.u32();
    r.u32(); // type
    const quint32 count = r.u32();
    r.u32();
    r.skip(16);
    if (!r.ok() || headerSize < 32 || count > 1'000'000 || !r.has(qint64(headerSize) - 32 + qint64(count) * 16))
        return false;
    if (count > quint32(maxRegionRects)) {
        // Clip and fill work on paths; a region this fragmented would make
        // their set operations crawl, so it stands for its bounds.
        Reader b = r;
        b.seek(16);
        const QRectF bounds = readRectL(b).normalized();
        *out = QPainterPath();
        out->addRect(bounds);
        return true;
    }
    r.skip(headerSize - 32);
    QRegion region;
    QVector<QRect> rects;
    rects.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        const int l = r.i32(), t = r.i32(), rr = r.i32(), b = r.i32();
        if (rr > l && b > t && qint64(rr) - l < 1e8 && qint64(b) - t < 1e8)
            rects.append(QRect(l, t, rr - l, b - t));
    }
    region.setRects(rects.constData(), int(rects.size()));
    *out = QPainterPath();
    out->addRegion(region);
    return true;
}

class EmfPlayer {
public:
    EmfPlayer(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget)
        : m_file(file), m_p(painter, deviceToTarget, file.devicePixelsPerMm, file.frame)
    {
    }
    PlayResult run();

private:
    bool play(quint32 type, const Reader &rec, Reader &r);
    void poly(quint32 type, Reader &r);
    void polyPoly(quint32 type, Reader &r);
    void text(quint32 type, const Reader &rec, Reader &r);
    void emrText(const Reader &rec, Reader &r, bool wide);
    void bitmap(quint32 type, const Reader &rec, Reader &r);
    void object(quint32 type, const Reader &rec, Reader &r);
    void gradient(Reader &r);

    const Parsed &m_file;
    Player m_p;
};

PlayResult EmfPlayer::run()
{
    PlayResult result;
    m_p.resetObjects(m_file.objectCount);
    const uchar *data = reinterpret_cast<const uchar *>(m_file.data.constData());
    for (size_t i = 1; i < m_file.records.size(); ++i) {
        const Record &rec = m_file.records[i];
        const Reader whole(data + rec.offset, rec.size);
        Reader r = whole;
        r.seek(8);
        const bool more = play(rec.type, whole, r);
        if (!r.ok()) {
            result.damagedRecord = qint64(i);
            result.damage =
                QStringLiteral("record %1 (type %2) at byte %3 is damaged").arg(i + 1).arg(rec.type).arg(rec.offset);
            break;
        }
        if (!more || m_p.exhausted())
            break;
    }
    result.drawnBounds = m_p.drawnBounds();
    return result;
}

bool EmfPlayer::play(quint32 type, const Reader &rec, Reader &r)
{
    DcState &dc = m_p.dc;
    switch (type) {
    case EMR_EOF: return false;
    case EMR_HEADER: break;
    case EMR_SETWINDOWEXTEX: {
        const double cx = r.i32(), cy = r.i32();
        dc.windowExt = QSizeF(cx, cy);
        break;
    }
    case EMR_SETWINDOWORGEX: dc.windowOrg = readPointL(r); break;
    case EMR_SETVIEWPORTEXTEX: {
        const double cx = r.i32(), cy = r.i32();
        dc.viewportExt = QSizeF(cx, cy);
        break;
    }
    case EMR_SETVIEWPORTORGEX: dc.viewportOrg = readPointL(r); break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const double xNum = r.i32(), xDenom = r.i32(), yNum = r.i32(), yDenom = r.i32();
        if (xDenom == 0 || yDenom == 0)
            break;
        QSizeF &ext = type == EMR_SCALEWINDOWEXTEX ? dc.windowExt : dc.viewportExt;
        ext = QSizeF(ext.width() * xNum / xDenom, ext.height() * yNum / yDenom);
        break;
    }
    case EMR_SETMAPMODE: {
        const quint32 mode = r.u32();
        if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC)
            dc.mapMode = int(mode);
        break;
    }
    case EMR_SETBKMODE: dc.bkMode = int(r.u32()); break;
    case EMR_SETPOLYFILLMODE: dc.polyFillMode = int(r.u32()); break;
    case EMR_SETROP2: dc.rop2 = int(r.u32()); break;
    case EMR_SETTEXTALIGN: dc.textAlign = int(r.u32()); break;
    case EMR_SETTEXTCOLOR: dc.textColor = colorRef(r.u32(), dc.palette); break;
    case EMR_SETBKCOLOR: dc.bkColor = colorRef(r.u32(), dc.palette); break;
    case EMR_SETARCDIRECTION: dc.arcDirection = int(r.u32()); break;
    case EMR_SAVEDC: m_p.saveDc(); break;
    case EMR_RESTOREDC: m_p.restoreDc(r.i32()); break;
    case EMR_SETWORLDTRANSFORM: {
        bool valid;
        const QTransform x = readXform(r, &valid);
        if (valid)
            dc.world = x;
        break;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        bool valid;
        const QTransform x = readXform(r, &valid);
        const quint32 mode = r.u32();
        if (!valid)
            break;
        if (mode == 1)
            dc.world = QTransform();
        else if (mode == 2)
            dc.world = x * dc.world;
        else if (mode == 3)
            dc.world = dc.world * x;
        else if (mode == 4)
            dc.world = x;
        break;
    }
    case EMR_MOVETOEX: m_p.moveTo(readPointL(r)); break;
    case EMR_LINETO: m_p.lineTo(readPointL(r)); break;
    case EMR_SETPIXELV: {
        const QPointF at = readPointL(r);
        m_p.setPixel(at, colorRef(r.u32(), dc.palette));
        break;
    }
    case EMR_RECTANGLE:
    case EMR_ELLIPSE: {
        const QRectF box = readRectL(r).normalized();
        QPainterPath p;
        if (type == EMR_RECTANGLE)
            p.addRect(box);
        else
            p.addEllipse(box);
        if (r.ok())
            m_p.drawShape(p, true, true);
        break;
    }
    case EMR_ROUNDRECT: {
        const QRectF box = readRectL(r).normalized();
        const double cx = r.i32(), cy = r.i32();
        QPainterPath p;
        p.addRoundedRect(box, std::abs(cx) / 2, std::abs(cy) / 2);
        if (r.ok())
            m_p.drawShape(p, true, true);
        break;
    }
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: {
        const QRectF box = readRectL(r);
        const QPointF start = readPointL(r), end = readPointL(r);
        if (!r.ok())
            break;
        const int kind = type == EMR_CHORD ? 1 : type == EMR_PIE ? 2 : 0;
        QPointF from, to;
        QPainterPath p = Player::arcPath(box, start, end, kind, dc.arcDirection, &from, &to);
        if (type == EMR_ARCTO) {
            if (p.isEmpty())
                break;
            m_p.lineTo(from);
            m_p.appendToPath(p, true);
            dc.position = to;
        } else {
            m_p.drawShape(p, kind != 0, true);
        }
        break;
    }
    case EMR_ANGLEARC: {
        const QPointF c = readPointL(r);
        const double radius = r.u32();
        const double start = r.f32(), sweep = r.f32();
        if (!r.ok() || !std::isfinite(start) || !std::isfinite(sweep) || radius > 1e8)
            break;
        const QRectF box(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
        QPainterPath p;
        p.arcMoveTo(box, start);
        const QPointF from = p.currentPosition();
        p.arcTo(box, start, std::clamp(sweep, -3600.0, 3600.0));
        m_p.lineTo(from);
        m_p.appendToPath(p, true);
        dc.position = p.currentPosition();
        break;
    }
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO: case EMR_POLYLINETO:
    case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIERTO16: case EMR_POLYLINETO16:
    case EMR_POLYDRAW: case EMR_POLYDRAW16:
        poly(type, r);
        break;
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16:
        polyPoly(type, r);
        break;
    case EMR_BEGINPATH: m_p.beginPath(); break;
    case EMR_ENDPATH: m_p.endPath(); break;
    case EMR_CLOSEFIGURE: m_p.closeFigure(); break;
    case EMR_ABORTPATH: m_p.abortPath(); break;
    case EMR_FILLPATH: m_p.strokeAndFillPath(true, false); break;
    case EMR_STROKEPATH: m_p.strokeAndFillPath(false, true); break;
    case EMR_STROKEANDFILLPATH: m_p.strokeAndFillPath(true, true); break;
    case EMR_SELECTCLIPPATH: m_p.selectClipPath(int(r.u32())); break;
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH:
        break; // Qt strokes curves directly; the pen stays as it is
    case EMR_INTERSECTCLIPRECT: m_p.intersectClipRect(readRectL(r)); break;
    case EMR_EXCLUDECLIPRECT: m_p.excludeClipRect(readRectL(r)); break;
    case EMR_OFFSETCLIPRGN: m_p.offsetClip(readPointL(r)); break;
    case EMR_EXTSELECTCLIPRGN: {
        const quint32 size = r.u32();
        const int mode = int(r.u32());
        if (!r.ok())
            break;
        if (size == 0 || mode == RGN_COPY) {
            if (size == 0) {
                if (mode == RGN_COPY)
                    m_p.resetClip();
                break;
            }
        }
        QPainterPath region;
        if (!readRegionData(r.sub(r.pos(), std::min<qint64>(size, r.remaining())), &region)) {
            r.fail();
            break;
        }
        m_p.combineClip(region, mode);
        break;
    }
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: {
        r.skip(16);
        const quint32 size = r.u32();
        LogBrush brush = dc.brush;
        if (type == EMR_FILLRGN || type == EMR_FRAMERGN) {
            const quint32 index = r.u32();
            if (const GdiObject *o = m_p.object(int(index)); o && o->kind == GdiObject::Brush)
                brush = o->brush;
        }
        double stroke = 1;
        if (type == EMR_FRAMERGN) {
            stroke = std::max(std::abs(double(r.i32())), 1.0);
            r.i32();
        }
        QPainterPath region;
        if (!r.ok() || !readRegionData(r.sub(r.pos(), std::min<qint64>(size, r.remaining())), &region)) {
            r.fail();
            break;
        }
        if (type == EMR_FRAMERGN) {
            QPainterPathStroker stroker;
            stroker.setWidth(std::min(stroke, 1e4) * 2);
            region = stroker.createStroke(region).intersected(region);
        }
        if (type == EMR_INVERTRGN) {
            const int saved = dc.rop2;
            dc.rop2 = 6;
            m_p.fillWithBrush(region, brush);
            dc.rop2 = saved;
        } else {
            m_p.fillWithBrush(region, brush);
        }
        break;
    }
    case EMR_SELECTOBJECT: {
        const quint32 index = r.u32();
        if (index & 0x80000000)
            m_p.selectStockObject(index);
        else
            m_p.selectObject(int(index));
        break;
    }
    case EMR_DELETEOBJECT: {
        const quint32 index = r.u32();
        if (!(index & 0x80000000))
            m_p.deleteObject(int(index));
        break;
    }
    case EMR_SELECTPALETTE: {
        const quint32 index = r.u32();
        if (const GdiObject *o = m_p.object(int(index & 0x7fffffff)); o && o->kind == GdiObject::Palette)
            dc.palette = o->palette;
        break;
    }
    case EMR_CREATEPEN: case EMR_EXTCREATEPEN: case EMR_CREATEBRUSHINDIRECT: case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: case EMR_EXTCREATEFONTINDIRECTW: case EMR_CREATEPALETTE:
        object(type, rec, r);
        break;
    case EMR_EXTTEXTOUTA: case EMR_EXTTEXTOUTW: case EMR_POLYTEXTOUTA: case EMR_POLYTEXTOUTW: case EMR_SMALLTEXTOUT:
        text(type, rec, r);
        break;
    case EMR_BITBLT: case EMR_STRETCHBLT: case EMR_MASKBLT: case EMR_PLGBLT: case EMR_SETDIBITSTODEVICE:
    case EMR_STRETCHDIBITS: case EMR_ALPHABLEND: case EMR_TRANSPARENTBLT:
        bitmap(type, rec, r);
        break;
    case EMR_GRADIENTFILL: gradient(r); break;
    default:
        // Comments (EMF+ included: a dual file's GDI records carry the whole
        // picture), colour management, palettes' realisation, layout and the
        // mapper flags change nothing we draw.
        break;
    }
    return true;
}

void EmfPlayer::poly(quint32 type, Reader &r)
{
    const bool small = type >= EMR_POLYBEZIER16 && type <= EMR_POLYDRAW16;
    r.skip(16); // bounds
    const quint32 count = r.u32();
    QPolygonF points;
    if (!r.ok() || !readPoints(r, count, small, &points))
        return;
    QPainterPath p;
    const quint32 base = small ? type - EMR_POLYBEZIER16 + EMR_POLYBEZIER : type;
    if (type == EMR_POLYDRAW || type == EMR_POLYDRAW16) {
        if (!r.has(count)) {
            r.fail();
            return;
        }
        p.moveTo(m_p.dc.position);
        QPointF figureStart = m_p.dc.position;
        for (quint32 i = 0; i < count; ++i) {
            const int t = r.u8();
            const QPointF pt = points[int(i)];
            if ((t & 6) == 6) {
                p.moveTo(pt);
                figureStart = pt;
            } else if ((t & 6) == 4 && i + 2 < count) {
                p.cubicTo(pt, points[int(i + 1)], points[int(i + 2)]);
                i += 2;
                r.skip(2);
            } else {
                p.lineTo(pt);
            }
            if (t & 1)
                p.closeSubpath();
        }
        Q_UNUSED(figureStart);
        m_p.appendToPath(p, true);
        if (!points.isEmpty())
            m_p.dc.position = points.last();
        return;
    }
    if (points.isEmpty())
        return;
    switch (base) {
    case EMR_POLYGON:
        p.addPolygon(points);
        p.closeSubpath();
        m_p.drawShape(p, true, true);
        break;
    case EMR_POLYLINE:
        p.addPolygon(points);
        m_p.drawShape(p, false, true);
        break;
    case EMR_POLYLINETO:
        p.moveTo(m_p.dc.position);
        for (const QPointF &pt : points)
            p.lineTo(pt);
        m_p.appendToPath(p, true);
        m_p.dc.position = points.last();
        break;
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIERTO: {
        int i = 0;
        if (base == EMR_POLYBEZIER) {
            p.moveTo(points[0]);
            i = 1;
        } else {
            p.moveTo(m_p.dc.position);
        }
        for (; i + 2 < points.size(); i += 3)
            p.cubicTo(points[i], points[i + 1], points[i + 2]);
        if (base == EMR_POLYBEZIERTO) {
            m_p.appendToPath(p, true);
            m_p.dc.position = p.currentPosition();
        } else {
            m_p.appendToPath(p, false);
        }
        break;
    }
    default: break;
    }
}

void EmfPlayer::polyPoly(quint32 type, Reader &r)
{
    const bool small = type == EMR_POLYPOLYLINE16 || type == EMR_POLYPOLYGON16;
    const bool polygon = type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16;
    r.skip(16);
    const quint32 polys = r.u32();
    const quint32 total = r.u32();
    if (!r.ok() || !r.has(qint64(polys) * 4 + qint64(total) * (small ? 4 : 8))) {
        r.fail();
        return;
    }
    QVector<quint32> counts;
    qint64 sum = 0;
    for (quint32 i = 0; i < polys; ++i) {
        counts.append(r.u32());
        sum += counts.last();
    }
    if (sum > total) {
        r.fail();
        return;
    }
    QPainterPath p;
    for (quint32 c : counts) {
        QPolygonF points;
        if (!readPoints(r, c, small, &points))
            return;
        p.addPolygon(points);
        if (polygon)
            p.closeSubpath();
    }
    m_p.drawShape(p, polygon, true);
}

void EmfPlayer::emrText(const Reader &rec, Reader &r, bool wide)
{
    const QPointF reference = readPointL(r);
    const quint32 chars = r.u32();
    const quint32 offString = r.u32();
    const quint32 options = r.u32();
    const QRectF rect = readRectL(r);
    const quint32 offDx = r.u32();
    if (!r.ok())
        return;
    if (chars > quint32(Limits::maxTextLength)) {
        r.fail();
        return;
    }
    Reader s = rec.sub(offString, qint64(chars) * (wide ? 2 : 1));
    if (!s.ok()) {
        r.fail();
        return;
    }
    QString text;
    if (wide) {
        text.resize(int(chars));
        for (quint32 i = 0; i < chars; ++i)
            text[int(i)] = QChar(s.u16());
    } else {
        text = decodeAnsi(s.data(), s.size(), m_p.dc.font.charset);
    }
    QVector<double> dx;
    const int step = (options & ETO_PDY) ? 2 : 1;
    if (offDx) {
        Reader d = rec.sub(offDx, qint64(chars) * 4 * step);
        if (d.ok()) {
            for (quint32 i = 0; i < chars; ++i) {
                dx.append(d.i32());
                if (step == 2)
                    d.i32();
            }
        }
    }
    m_p.drawText(reference, text, dx, options, rect, options & ETO_GLYPH_INDEX);
}

void EmfPlayer::text(quint32 type, const Reader &rec, Reader &r)
{
    if (type == EMR_SMALLTEXTOUT) {
        const QPointF at = readPointL(r);
        const quint32 chars = r.u32();
        const quint32 options = r.u32();
        r.skip(12);
        QRectF rect;
        if (!(options & 0x100))
            rect = readRectL(r);
        const bool narrow = options & 0x200;
        if (!r.ok() || chars > quint32(Limits::maxTextLength) || !r.has(qint64(chars) * (narrow ? 1 : 2))) {
            r.fail();
            return;
        }
        QString s;
        if (narrow) {
            s = decodeAnsi(r.data() + r.pos(), chars, m_p.dc.font.charset);
        } else {
            for (quint32 i = 0; i < chars; ++i)
                s.append(QChar(r.u16()));
        }
        m_p.drawText(at, s, {}, options, rect, options & ETO_GLYPH_INDEX);
        return;
    }
    r.skip(16 + 12); // bounds, graphics mode, scales
    if (type == EMR_EXTTEXTOUTA || type == EMR_EXTTEXTOUTW) {
        emrText(rec, r, type == EMR_EXTTEXTOUTW);
        return;
    }
    const quint32 strings = r.u32();
    if (!r.ok() || !r.has(qint64(strings) * 40)) {
        r.fail();
        return;
    }
    for (quint32 i = 0; i < strings && r.ok(); ++i)
        emrText(rec, r, type == EMR_POLYTEXTOUTW);
}

void EmfPlayer::object(quint32 type, const Reader &rec, Reader &r)
{
    const quint32 index = r.u32();
    GdiObject o;
    switch (type) {
    case EMR_CREATEPEN: {
        o.kind = GdiObject::Pen;
        const quint32 style = r.u32();
        o.pen.style = int(style & 0x0f);
        o.pen.endCap = int((style >> 8) & 0x0f);
        o.pen.join = int((style >> 12) & 0x0f);
        o.pen.width = std::abs(double(r.i32()));
        r.i32();
        o.pen.color = colorRef(r.u32(), m_p.dc.palette);
        break;
    }
    case EMR_EXTCREATEPEN: {
        o.kind = GdiObject::Pen;
        r.skip(16); // the bitmap of a pattern pen
        const quint32 style = r.u32();
        const quint32 width = r.u32();
        const quint32 brushStyle = r.u32();
        o.pen.color = colorRef(r.u32(), m_p.dc.palette);
        r.u32(); // hatch
        const quint32 entries = r.u32();
        o.pen.style = int(style & 0x0f);
        o.pen.endCap = int((style >> 8) & 0x0f);
        o.pen.join = int((style >> 12) & 0x0f);
        o.pen.width = (style & 0x10000) ? std::min<quint32>(width, 1'000'000) : 0; // cosmetic pens are one pixel
        if (brushStyle == BS_NULL)
            o.pen.style = PS_NULL;
        if (o.pen.style == PS_USERSTYLE) {
            if (entries > 64 || !r.has(qint64(entries) * 4)) {
                r.fail();
                return;
            }
            for (quint32 i = 0; i < entries; ++i)
                o.pen.dashes.append(r.u32());
        }
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        o.kind = GdiObject::Brush;
        o.brush.style = int(r.u32());
        o.brush.color = colorRef(r.u32(), m_p.dc.palette);
        o.brush.hatch = int(r.u32());
        if (o.brush.style != BS_NULL && o.brush.style != BS_HATCHED)
            o.brush.style = BS_SOLID;
        break;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: {
        o.kind = GdiObject::Brush;
        const quint32 usage = r.u32();
        const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        if (!r.ok())
            return;
        const Reader info = rec.sub(offBmi, cbBmi), bits = rec.sub(offBits, cbBits);
        if (!info.ok() || !bits.ok()) {
            r.fail();
            return;
        }
        // A monochrome brush paints its 0 bits in the text colour and its 1
        // bits in the background colour of the moment it paints.
        const QVector<QRgb> mono = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        const DibResult dib = decodeDib(info, bits, type == EMR_CREATEMONOBRUSH ? 1 : int(usage),
                                        type == EMR_CREATEMONOBRUSH ? mono : m_p.dc.palette,
                                        DibAlpha::Ignore, -1, type == EMR_CREATEMONOBRUSH);
        if (dib.damaged) {
            r.fail();
            return;
        }
        o.brush.style = BS_DIBPATTERNPT;
        o.brush.pattern = dib.image;
        o.brush.monochrome = type == EMR_CREATEMONOBRUSH;
        o.brush.color = QColor(128, 128, 128);
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        o.kind = GdiObject::Font;
        LogFont &f = o.font;
        f.height = r.i32();
        f.width = std::abs(double(r.i32()));
        f.escapement = r.i32() % 3600;
        r.i32();
        f.weight = r.i32();
        f.italic = r.u8();
        f.underline = r.u8();
        f.strikeOut = r.u8();
        f.charset = r.u8();
        r.skip(4);
        for (int i = 0; i < 32 && r.has(2); ++i) {
            const QChar c(r.u16());
            if (c.isNull())
                break;
            f.face.append(c);
        }
        if (std::abs(f.height) > 1e7)
            f.height = 0;
        break;
    }
    case EMR_CREATEPALETTE: {
        o.kind = GdiObject::Palette;
        r.u16();
        const int count = r.u16();
        if (!r.has(qint64(count) * 4)) {
            r.fail();
            return;
        }
        for (int i = 0; i < count; ++i) {
            const int red = r.u8(), g = r.u8(), b = r.u8();
            r.u8();
            o.palette.append(qRgb(red, g, b));
        }
        break;
    }
    default: return;
    }
    if (!r.ok())
        return;
    // Index 0 is the metafile itself; GDI refuses to put an object there.
    if (index == 0 || index >= quint32(Limits::maxObjects))
        return;
    m_p.putObject(int(index), o);
}

void EmfPlayer::bitmap(quint32 type, const Reader &rec, Reader &r)
{
    r.skip(16); // bounds
    QRectF dest, src;
    quint32 rop = 0x00CC0020;
    quint32 usage = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    int alpha = 255;
    bool perPixelAlpha = false;
    bool fromBottom = false;
    bool transparent = false;
    QRgb key = 0;
    QPolygonF parallelogram;
    int scans = -1;
    switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT: {
        const QPointF at = readPointL(r);
        const double cx = r.i32(), cy = r.i32();
        dest = QRectF(at, QSizeF(cx, cy));
        rop = r.u32();
        const QPointF s = readPointL(r);
        r.skip(24 + 4); // source transform, source background
        usage = r.u32(), offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        QSizeF srcSize(cx, cy);
        if (type == EMR_STRETCHBLT || type == EMR_ALPHABLEND || type == EMR_TRANSPARENTBLT) {
            const double sw = r.i32(), sh = r.i32();
            srcSize = QSizeF(sw, sh);
        }
        src = QRectF(s, srcSize);
        if (type == EMR_ALPHABLEND) {
            alpha = int((rop >> 16) & 0xff);
            perPixelAlpha = (rop >> 24) & 1;
            rop = 0x00CC0020;
        } else if (type == EMR_TRANSPARENTBLT) {
            transparent = true;
            key = colorRef(rop, m_p.dc.palette).rgb();
            rop = 0x00CC0020;
        } else if (type == EMR_MASKBLT) {
            rop = 0x00CC0020; // the mask is not applied; the source shows
        }
        break;
    }
    case EMR_PLGBLT: {
        QPolygonF pts;
        readPoints(r, 3, false, &pts);
        parallelogram = pts;
        const QPointF s = readPointL(r);
        const double sw = r.i32(), sh = r.i32();
        src = QRectF(s, QSizeF(sw, sh));
        r.skip(24 + 4);
        usage = r.u32(), offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        break;
    }
    case EMR_SETDIBITSTODEVICE: {
        const QPointF at = readPointL(r);
        const QPointF s = readPointL(r);
        const double cx = r.i32(), cy = r.i32();
        offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        usage = r.u32();
        r.u32(); // start scan
        scans = int(std::min<quint32>(r.u32(), quint32(Limits::maxBitmapSide)));
        dest = QRectF(at, QSizeF(cx, cy));
        src = QRectF(s, QSizeF(cx, cy));
        fromBottom = true;
        break;
    }
    case EMR_STRETCHDIBITS: {
        const QPointF at = readPointL(r);
        const QPointF s = readPointL(r);
        const double sw = r.i32(), sh = r.i32();
        offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        usage = r.u32();
        rop = r.u32();
        const double cx = r.i32(), cy = r.i32();
        dest = QRectF(at, QSizeF(cx, cy));
        src = QRectF(s, QSizeF(sw, sh));
        fromBottom = true;
        break;
    }
    default: return;
    }
    if (!r.ok())
        return;
    if (cbBmi == 0) {
        if (type == EMR_BITBLT || type == EMR_STRETCHBLT)
            m_p.patBlt(dest, rop);
        return;
    }
    const Reader info = rec.sub(offBmi, cbBmi), bits = rec.sub(offBits, cbBits);
    if (!info.ok() || !bits.ok()) {
        r.fail();
        return;
    }
    const DibResult dib = decodeDib(info, bits, int(usage), m_p.dc.palette,
                                    perPixelAlpha ? DibAlpha::Premultiplied : DibAlpha::Ignore, scans);
    if (dib.damaged) {
        r.fail();
        return;
    }
    QImage image = dib.image;
    if (image.isNull())
        return;
    if (fromBottom && dib.bottomUp)
        src.moveTop(image.height() - src.top() - src.height());
    if (transparent) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xffffff) == (key & 0xffffff))
                    line[x] = 0;
        }
    }
    if (!parallelogram.isEmpty()) {
        if (parallelogram.size() == 3) {
            const QPointF a = parallelogram[0], b = parallelogram[1], c = parallelogram[2];
            const QPointF d = b + c - a;
            QPolygonF quad;
            quad << a << b << d << c;
            dest = quad.boundingRect();
        }
    }
    m_p.drawBitmap(dest, image, src, rop, alpha);
}

void EmfPlayer::gradient(Reader &r)
{
    r.skip(16);
    const quint32 vertices = r.u32(), shapes = r.u32(), mode = r.u32();
    if (!r.ok() || vertices > 100000 || shapes > 100000
        || !r.has(qint64(vertices) * 16 + qint64(shapes) * (mode == 2 ? 12 : 8))) {
        r.fail();
        return;
    }
    struct Vertex { QPointF p; QColor c; };
    QVector<Vertex> vs;
    for (quint32 i = 0; i < vertices; ++i) {
        const QPointF p = readPointL(r);
        const int red = r.u16() >> 8, g = r.u16() >> 8, b = r.u16() >> 8;
        r.u16();
        vs.append({p, QColor(red, g, b)});
    }
    for (quint32 i = 0; i < shapes; ++i) {
        const quint32 a = r.u32(), b = r.u32();
        const quint32 c = mode == 2 ? r.u32() : 0;
        if (a >= vertices || b >= vertices || c >= std::max<quint32>(vertices, 1))
            continue;
        QPainterPath p;
        LogBrush brush;
        if (mode == 2) {
            QPolygonF tri;
            tri << vs[int(a)].p << vs[int(b)].p << vs[int(c)].p;
            p.addPolygon(tri);
            p.closeSubpath();
            const QColor ca = vs[int(a)].c, cb = vs[int(b)].c, cc = vs[int(c)].c;
            brush.color = QColor((ca.red() + cb.red() + cc.red()) / 3, (ca.green() + cb.green() + cc.green()) / 3,
                                 (ca.blue() + cb.blue() + cc.blue()) / 3);
            m_p.fillWithBrush(p, brush);
        } else {
            const QRectF box = QRectF(vs[int(a)].p, vs[int(b)].p).normalized();
            p.addRect(box);
            // Two-colour linear fills: drawn as two halves' average is too
            // coarse, so draw the gradient itself through a pattern image.
            QImage ramp(mode == 0 ? 256 : 1, mode == 0 ? 1 : 256, QImage::Format_RGB32);
            for (int k = 0; k < 256; ++k) {
                const double t = k / 255.0;
                const QColor c0 = vs[int(a)].c, c1 = vs[int(b)].c;
                const QRgb v = qRgb(int(c0.red() + (c1.red() - c0.red()) * t), int(c0.green() + (c1.green() - c0.green()) * t),
                                    int(c0.blue() + (c1.blue() - c0.blue()) * t));
                ramp.setPixel(mode == 0 ? k : 0, mode == 0 ? 0 : k, v);
            }
            m_p.drawBitmap(box, ramp, QRectF(ramp.rect()), 0x00CC0020);
        }
    }
}

} // namespace

bool isEmf(const QByteArray &data)
{
    Reader r(reinterpret_cast<const uchar *>(data.constData()), data.size());
    const quint32 type = r.u32();
    r.seek(40);
    return data.size() >= 88 && type == EMR_HEADER && r.u32() == emfSignature;
}

bool parseEmf(const QByteArray &data, Parsed *out, QString *error)
{
    Reader r(reinterpret_cast<const uchar *>(data.constData()), data.size());
    r.u32();
    const quint32 headerSize = r.u32();
    const QRectF bounds = readRectL(r);
    const QRectF frame = readRectL(r);
    r.u32(); // signature
    r.u32(); // version
    const quint32 declaredBytes = r.u32();
    const quint32 declaredRecords = r.u32();
    const int handles = r.u16();
    r.u16();
    const quint32 descriptionChars = r.u32();
    const quint32 descriptionOffset = r.u32();
    r.u32(); // palette entries
    const double deviceW = r.i32(), deviceH = r.i32();
    const double mmW = r.i32(), mmH = r.i32();
    double umW = 0, umH = 0;
    if (headerSize >= 108) {
        r.seek(100);
        umW = r.i32();
        umH = r.i32();
    }
    if (!r.ok() || headerSize < 88 || headerSize % 4 || headerSize > quint32(data.size())) {
        *error = QStringLiteral("the enhanced metafile header is damaged");
        return false;
    }
    if (descriptionChars > 0
        && (descriptionOffset < 88 || qint64(descriptionOffset) + 2 * qint64(descriptionChars) > data.size())) {
        *error = QStringLiteral("the enhanced metafile header points its description outside the file");
        return false;
    }
    out->emf = true;
    out->data = data;
    out->objectCount = handles;

    // Device pixels per millimetre of the reference device.
    double ppmmX = 96 / 25.4, ppmmY = 96 / 25.4;
    if (deviceW > 0 && deviceH > 0) {
        // The micrometre sizes refine the millimetre ones; when the header's
        // extension fields hold something else (a description written over
        // them), they disagree and are ignored.
        if (umW > 0 && umH > 0 && std::abs(umW - mmW * 1000) < 1000 && std::abs(umH - mmH * 1000) < 1000) {
            ppmmX = deviceW * 1000 / umW;
            ppmmY = deviceH * 1000 / umH;
        } else if (mmW > 0 && mmH > 0) {
            ppmmX = deviceW / mmW;
            ppmmY = deviceH / mmH;
        }
    }
    if (!(ppmmX > 0.01 && ppmmX < 1e4 && ppmmY > 0.01 && ppmmY < 1e4)) {
        ppmmX = 96 / 25.4;
        ppmmY = 96 / 25.4;
    }
    out->devicePixelsPerMm = (ppmmX + ppmmY) / 2;

    const QRectF f = frame.normalized();
    if (f.width() > 0 && f.height() > 0) {
        // The frame is inclusive; hundredths of a millimetre.
        out->frame = QRectF(f.left() / 100 * ppmmX, f.top() / 100 * ppmmY, (f.width() + 1) / 100 * ppmmX,
                            (f.height() + 1) / 100 * ppmmY);
        out->naturalSize = QSize(std::max(1, int(std::lround(f.width() * 96 / 2540))),
                                 std::max(1, int(std::lround(f.height() * 96 / 2540))));
    } else {
        const QRectF b = bounds.normalized();
        if (!(b.width() > 0 && b.height() > 0)) {
            *error = QStringLiteral("the enhanced metafile has an empty frame");
            return false;
        }
        out->frame = QRectF(b.left(), b.top(), b.width() + 1, b.height() + 1);
        out->naturalSize = QSize(std::max(1, int(std::lround((b.width() + 1) / ppmmX * 96 / 25.4))),
                                 std::max(1, int(std::lround((b.height() + 1) / ppmmY * 96 / 25.4))));
    }

    qsizetype pos = 0;
    bool sawEof = false;
    while (pos + 8 <= data.size()) {
        Reader h = r.sub(pos, 8);
        const quint32 type = h.u32();
        const quint32 size = h.u32();
        if (size < 8 || size % 4 || size > quint64(data.size() - pos)) {
            *error = declaredBytes > quint32(data.size())
                ? QStringLiteral("the enhanced metafile is truncated (%1 of %2 bytes)").arg(data.size()).arg(declaredBytes)
                : QStringLiteral("record %1 at byte %2 has a bad size").arg(out->records.size() + 1).arg(pos);
            return false;
        }
        if (type == 0 || type > 122) {
            *error = QStringLiteral("record %1 at byte %2 has a type no enhanced metafile uses (%3)")
                         .arg(out->records.size() + 1)
                         .arg(pos)
                         .arg(type);
            return false;
        }
        if (out->records.empty() && type != EMR_HEADER) {
            *error = QStringLiteral("not an enhanced metafile");
            return false;
        }
        if (qint64(out->records.size()) >= Limits::maxRecords) {
            *error = QStringLiteral("too many records");
            return false;
        }
        out->records.push_back({pos, qsizetype(size), type});
        pos += size;
        if (type == EMR_EOF) {
            sawEof = true;
            break;
        }
    }
    if (!sawEof && data.size() - pos >= 8) {
        *error = QStringLiteral("the records do not end where the file does");
        return false;
    }
    if (sawEof && out->records.size() < declaredRecords) {
        *error = QStringLiteral("the end-of-file record comes at record %1 of the %2 the header counts")
                     .arg(out->records.size())
                     .arg(declaredRecords);
        return false;
    }
    return true;
}

PlayResult playEmf(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget)
{
    EmfPlayer player(file, painter, deviceToTarget);
    return player.run();
}

} // namespace picture::metafile
