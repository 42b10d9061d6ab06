#include "picture/metafile/Player.h"

#include <QFontMetricsF>
#include <QRegion>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace picture::metafile {

namespace {

bool finite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// Coordinates beyond this are certainly garbage; Qt's rasteriser works in
// fixed point and misbehaves far outside it.
constexpr double farAway = 1e7;

bool sane(const QRectF &r)
{
    return finite(r) && std::abs(r.left()) < farAway && std::abs(r.top()) < farAway && std::abs(r.right()) < farAway
        && std::abs(r.bottom()) < farAway;
}

QPainter::CompositionMode compositionForRop2(int rop2)
{
    switch (rop2) {
    case 6: return QPainter::RasterOp_NotDestination;
    case 7: return QPainter::RasterOp_SourceXorDestination;
    case 9: return QPainter::RasterOp_SourceAndDestination;
    case 15: return QPainter::RasterOp_SourceOrDestination;
    case 4: return QPainter::RasterOp_NotSource;
    case 3: return QPainter::RasterOp_NotSourceAndDestination;
    case 2: return QPainter::RasterOp_NotSourceAndNotDestination;
    case 8: return QPainter::RasterOp_NotSourceOrNotDestination;
    case 10: return QPainter::RasterOp_NotSourceXorDestination;
    case 12: return QPainter::RasterOp_NotSourceOrDestination;
    case 14: return QPainter::RasterOp_SourceOrNotDestination;
    case 5: return QPainter::RasterOp_SourceAndNotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

Player::Player(QPainter *painter, const QTransform &deviceToTarget, double devicePixelsPerMm, const QRectF &frame)
    : m_painter(painter)
    , m_frame(frame)
    , m_deviceToTarget(painter ? deviceToTarget * painter->worldTransform() : deviceToTarget)
    , m_devicePixelsPerMm(devicePixelsPerMm > 0 && std::isfinite(devicePixelsPerMm) ? devicePixelsPerMm : 96 / 25.4)
{
}

bool Player::spend(qint64 work)
{
    m_work += std::max<qint64>(work, 1);
    return m_work <= Limits::maxWork;
}

QTransform Player::pageTransform() const
{
    double sx = 1, sy = 1;
    const double mm = m_devicePixelsPerMm;
    switch (dc.mapMode) {
    case MM_LOMETRIC: sx = mm * 0.1; sy = -sx; break;
    case MM_HIMETRIC: sx = mm * 0.01; sy = -sx; break;
    case MM_LOENGLISH: sx = mm * 0.254; sy = -sx; break;
    case MM_HIENGLISH: sx = mm * 0.0254; sy = -sx; break;
    case MM_TWIPS: sx = mm * 25.4 / 1440; sy = -sx; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: {
        const QSizeF w = dc.windowExt, v = dc.viewportExt;
        sx = w.width() != 0 ? v.width() / w.width() : 1;
        sy = w.height() != 0 ? v.height() / w.height() : 1;
        if (dc.mapMode == MM_ISOTROPIC) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = sx < 0 ? -s : s;
            sy = sy < 0 ? -s : s;
        }
        break;
    }
    default: break;
    }
    if (!std::isfinite(sx) || !std::isfinite(sy)) {
        sx = 1;
        sy = 1;
    }
    return QTransform(sx, 0, 0, sy, dc.viewportOrg.x() - dc.windowOrg.x() * sx,
                      dc.viewportOrg.y() - dc.windowOrg.y() * sy);
}

void Player::saveDc()
{
    if (int(m_stack.size()) >= Limits::maxSaveDepth) {
        ++m_lostSaves;
        return;
    }
    m_stack.push_back(dc);
}

void Player::restoreDc(int which)
{
    if (which < 0) {
        qint64 count = -qint64(which);
        // Saves beyond the depth bound were not kept; their restores only
        // count them off.
        const int lost = int(std::min<qint64>(count, m_lostSaves));
        m_lostSaves -= lost;
        count -= lost;
        if (count == 0)
            return;
        if (count > qint64(m_stack.size()))
            return; // GDI refuses a restore below the stack
        m_stack.resize(m_stack.size() - size_t(count) + 1);
        dc = m_stack.back();
        m_stack.pop_back();
    } else if (which > 0 && which <= int(m_stack.size())) {
        dc = m_stack[which - 1];
        m_stack.resize(which - 1);
        m_lostSaves = 0;
    }
}

void Player::resetObjects(int count)
{
    m_objects.assign(std::clamp(count, 0, Limits::maxObjects), GdiObject());
}

bool Player::putObject(int index, GdiObject object)
{
    if (index < 0 || index >= Limits::maxObjects)
        return false;
    if (index >= int(m_objects.size()))
        m_objects.resize(index + 1);
    m_objects[index] = std::move(object);
    return true;
}

int Player::addObject(GdiObject object)
{
    for (size_t i = 0; i < m_objects.size(); ++i) {
        if (m_objects[i].kind == GdiObject::Empty) {
            m_objects[i] = std::move(object);
            return int(i);
        }
    }
    // A table the header made too small grows, up to the bound.
    if (int(m_objects.size()) >= Limits::maxObjects)
        return -1;
    m_objects.push_back(std::move(object));
    return int(m_objects.size()) - 1;
}

const GdiObject *Player::object(int index) const
{
    if (index < 0 || index >= int(m_objects.size()) || m_objects[index].kind == GdiObject::Empty)
        return nullptr;
    return &m_objects[index];
}

void Player::selectObject(int index)
{
    const GdiObject *o = object(index);
    if (!o)
        return;
    switch (o->kind) {
    case GdiObject::Pen: dc.pen = o->pen; break;
    case GdiObject::Brush: dc.brush = o->brush; break;
    case GdiObject::Font: dc.font = o->font; break;
    case GdiObject::Palette: dc.palette = o->palette; break;
    case GdiObject::Region: combineClip(logicalToDevice().map(o->region), RGN_COPY); break;
    default: break;
    }
}

void Player::deleteObject(int index)
{
    // The DC keeps its own copy of a selected object, as GDI keeps a
    // selected object alive.
    if (index >= 0 && index < int(m_objects.size()))
        m_objects[index] = GdiObject();
}

void Player::selectStockObject(quint32 index)
{
    const quint32 stock = index & 0x7fffffff;
    auto brush = [this](QColor c, int style = BS_SOLID) {
        dc.brush = LogBrush();
        dc.brush.style = style;
        dc.brush.color = c;
    };
    auto pen = [this](QColor c, int style = PS_SOLID) {
        dc.pen = LogPen();
        dc.pen.style = style;
        dc.pen.color = c;
    };
    switch (stock) {
    case 0: brush(Qt::white); break;
    case 1: brush(QColor(192, 192, 192)); break;
    case 2: brush(QColor(128, 128, 128)); break;
    case 3: brush(QColor(64, 64, 64)); break;
    case 4: brush(Qt::black); break;
    case 5: brush(Qt::white, BS_NULL); break;
    case 6: pen(Qt::white); break;
    case 7: pen(Qt::black); break;
    case 8: pen(Qt::black, PS_NULL); break;
    case 10: case 11: case 16:
        dc.font = LogFont();
        dc.font.face = QStringLiteral("Courier New");
        break;
    case 12: case 13: case 14: case 17:
        dc.font = LogFont();
        break;
    case 18: brush(Qt::white); break;
    case 19: pen(Qt::black); break;
    default: break;
    }
}

QPen Player::makePen() const
{
    const LogPen &p = dc.pen;
    if (p.style == PS_NULL)
        return Qt::NoPen;
    QColor color = p.color;
    if (dc.rop2 == 1)
        color = Qt::black;
    else if (dc.rop2 == 16)
        color = Qt::white;
    QPen pen(color);
    // QPen refuses widths beyond about 2^16; no real pen comes near that.
    pen.setWidthF(p.width > 0 && std::isfinite(p.width) ? std::min(p.width, 32767.0) : 0);
    switch (p.endCap) {
    case 1: pen.setCapStyle(Qt::SquareCap); break;
    case 2: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(p.width > 1 ? Qt::RoundCap : Qt::FlatCap); break;
    }
    switch (p.join) {
    case 1: pen.setJoinStyle(Qt::BevelJoin); break;
    case 2: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(p.width > 1 ? Qt::RoundJoin : Qt::MiterJoin); break;
    }
    switch (p.style) {
    case PS_DASH: pen.setStyle(Qt::DashLine); pen.setCapStyle(Qt::FlatCap); break;
    case PS_DOT: pen.setStyle(Qt::DotLine); pen.setCapStyle(Qt::FlatCap); break;
    case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); pen.setCapStyle(Qt::FlatCap); break;
    case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); pen.setCapStyle(Qt::FlatCap); break;
    case PS_USERSTYLE:
        if (p.dashes.size() >= 2 && p.dashes.size() % 2 == 0) {
            QVector<qreal> pattern;
            const double unit = p.width > 0 ? p.width : 1;
            for (qreal d : p.dashes)
                pattern.append(std::clamp(d / unit, 0.1, 1000.0));
            pen.setDashPattern(pattern);
            pen.setCapStyle(Qt::FlatCap);
        }
        break;
    default: break;
    }
    return pen;
}

QBrush Player::makeBrush(const LogBrush &b) const
{
    QColor color = b.color;
    switch (b.style) {
    case BS_NULL: return Qt::NoBrush;
    case BS_HATCHED: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(color, b.hatch >= 0 && b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern);
    }
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
        if (!b.pattern.isNull() && b.monochrome) {
            QImage tinted = b.pattern.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < tinted.height(); ++y) {
                QRgb *line = reinterpret_cast<QRgb *>(tinted.scanLine(y));
                for (int x = 0; x < tinted.width(); ++x)
                    line[x] = (line[x] & 0xffffff) == 0 ? dc.textColor.rgb() : dc.bkColor.rgb();
            }
            return QBrush(tinted);
        }
        if (!b.pattern.isNull())
            return QBrush(b.pattern);
        return QBrush(color);
    default: return QBrush(color);
    }
}

QFont Player::makeFont(double pixelSize) const
{
    const LogFont &f = dc.font;
    QString face = f.face.trimmed();
    if (face.isEmpty() || face.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0)
        face = QStringLiteral("Arial");
    // Symbol text arrives already mapped to Unicode (decodeAnsi); the
    // symbol-encoded fonts installed under that name would draw it blank.
    if (f.charset == 2 && face.contains(QLatin1String("Symbol"), Qt::CaseInsensitive))
        face = QStringLiteral("Times New Roman");
    QFont font(face);
    font.setPixelSize(std::clamp(int(std::lround(pixelSize)), 1, 4000));
    if (f.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(f.weight, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void Player::noteBounds(const QRectF &device)
{
    if (sane(device))
        m_bounds = m_bounds.isNull() ? device : m_bounds.united(device);
}

QRectF Player::everything() const
{
    return QRectF(-farAway, -farAway, 2 * farAway, 2 * farAway);
}

void Player::resetClip()
{
    dc.clipped = false;
    dc.clip = QPainterPath();
    dc.clipGeneration = ++m_clipGenerations;
}

void Player::combineClip(const QPainterPath &device, int mode)
{
    spend(device.elementCount());
    QPainterPath current;
    if (dc.clipped)
        current = dc.clip;
    else
        current.addRect(everything());
    QPainterPath result;
    switch (mode) {
    case RGN_AND: result = current.intersected(device); break;
    case RGN_OR: result = current.united(device); break;
    case RGN_XOR: result = current.subtracted(device).united(device.subtracted(current)); break;
    case RGN_DIFF: result = current.subtracted(device); break;
    case RGN_COPY: result = device; break;
    default: return;
    }
    if (result.elementCount() > Limits::maxPathElements)
        result = QPainterPath();
    dc.clip = result;
    dc.clipped = true;
    dc.clipGeneration = ++m_clipGenerations;
}

void Player::intersectClipRect(const QRectF &logical)
{
    QPainterPath p;
    p.addRect(logical.normalized());
    combineClip(logicalToDevice().map(p), RGN_AND);
}

void Player::excludeClipRect(const QRectF &logical)
{
    QPainterPath p;
    p.addRect(logical.normalized());
    combineClip(logicalToDevice().map(p), RGN_DIFF);
}

void Player::offsetClip(QPointF logicalOffset)
{
    if (!dc.clipped)
        return;
    const QTransform t = pageTransform();
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    if (!std::isfinite(d.x()) || !std::isfinite(d.y()))
        return;
    dc.clip.translate(d);
    dc.clipGeneration = ++m_clipGenerations;
}

void Player::applyClip()
{
    if (m_appliedClip == dc.clipGeneration)
        return;
    m_appliedClip = dc.clipGeneration;
    m_painter->setTransform(m_deviceToTarget);
    m_painter->setClipRect(m_frame, Qt::ReplaceClip);
    if (dc.clipped)
        m_painter->setClipPath(dc.clip, Qt::IntersectClip);
}

bool Player::applyState(bool forFill)
{
    if (dc.rop2 == 11) // R2_NOP
        return false;
    applyClip();
    m_painter->setTransform(logicalToDevice() * m_deviceToTarget);
    m_painter->setCompositionMode(compositionForRop2(dc.rop2));
    const bool opaque = dc.bkMode == OPAQUE_BK;
    m_painter->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(dc.bkColor);
    Q_UNUSED(forFill);
    return true;
}

void Player::drawShape(const QPainterPath &logical, bool fill, bool stroke)
{
    if (!spend(logical.elementCount()))
        return;
    const QTransform l2d = logicalToDevice();
    if (inPath) {
        if (path.elementCount() + logical.elementCount() <= Limits::maxPathElements)
            path.addPath(l2d.map(logical));
        return;
    }
    QRectF box = l2d.mapRect(logical.boundingRect());
    if (!sane(box))
        return;
    noteBounds(box);
    if (dryRun())
        return;
    const QPen pen = stroke ? makePen() : QPen(Qt::NoPen);
    const QBrush brush = fill ? makeBrush(dc.brush) : QBrush(Qt::NoBrush);
    if (pen.style() == Qt::NoPen && brush.style() == Qt::NoBrush)
        return;
    if (!applyState(fill))
        return;
    QPainterPath p = logical;
    p.setFillRule(dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter->setPen(pen);
    m_painter->setBrush(brush);
    m_painter->drawPath(p);
}

void Player::fillWithBrush(const QPainterPath &logical, const LogBrush &brush)
{
    if (!spend(logical.elementCount()))
        return;
    const QRectF box = logicalToDevice().mapRect(logical.boundingRect());
    if (!sane(box))
        return;
    noteBounds(box);
    if (dryRun() || !applyState(true))
        return;
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(makeBrush(brush));
    m_painter->drawPath(logical);
}

void Player::fillDeviceRegion(const QPainterPath &device, const LogBrush &brush, int rop2)
{
    if (!spend(device.elementCount()) || !sane(device.boundingRect()))
        return;
    noteBounds(device.boundingRect());
    if (dryRun())
        return;
    applyClip();
    m_painter->setTransform(m_deviceToTarget);
    m_painter->setCompositionMode(compositionForRop2(rop2));
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(makeBrush(brush));
    m_painter->drawPath(device);
}

void Player::setPixel(QPointF p, QColor c)
{
    const QPointF d = logicalToDevice().map(p);
    QPainterPath dot;
    dot.addRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1));
    LogBrush b;
    b.color = c;
    fillDeviceRegion(dot, b, 13);
}

void Player::drawText(QPointF reference, const QString &text, const QVector<double> &dx, quint32 options,
                      const QRectF &rect, bool glyphIndices)
{
    if (!spend(text.size() + 1))
        return;
    const bool updateCp = dc.textAlign & TA_UPDATECP;
    if (updateCp)
        reference = dc.position;
    const QTransform l2d = logicalToDevice();

    if ((options & ETO_OPAQUE) && !rect.isEmpty()) {
        QPainterPath box;
        box.addRect(rect.normalized());
        LogBrush bk;
        bk.color = dc.bkColor;
        fillWithBrush(box, bk);
    }

    const QPointF o = l2d.map(reference);
    const QPointF exDev = l2d.map(reference + QPointF(1, 0)) - o;
    const QPointF eyDev = l2d.map(reference + QPointF(0, 1)) - o;
    const double sxDev = std::hypot(exDev.x(), exDev.y());
    const double syDev = std::hypot(eyDev.x(), eyDev.y());
    if (!(sxDev > 0) || !(syDev > 0) || !std::isfinite(sxDev) || !std::isfinite(syDev))
        return;
    double fontHeight = std::abs(dc.font.height);
    if (!(fontHeight > 0) || !std::isfinite(fontHeight))
        fontHeight = 16 / syDev; // the default font is about 16 device pixels tall
    double advanceSum = 0;
    for (double d : dx)
        advanceSum += d;
    const double estimatedWidth = dx.isEmpty() ? fontHeight * 0.55 * text.size() : advanceSum;

    // The drawn area, estimated without fonts so that the dry run needs none.
    {
        double left = reference.x(), top = reference.y() - fontHeight;
        if ((dc.textAlign & TA_CENTER) == TA_CENTER)
            left -= estimatedWidth / 2;
        else if (dc.textAlign & TA_RIGHT)
            left -= estimatedWidth;
        if ((dc.textAlign & TA_BASELINE) == TA_BASELINE)
            top = reference.y() - fontHeight * 0.8;
        else if (!(dc.textAlign & TA_BOTTOM))
            top = reference.y();
        const QRectF box = l2d.mapRect(QRectF(left, top, estimatedWidth, fontHeight));
        if (!sane(box))
            return;
        if (!text.isEmpty())
            noteBounds(box);
    }
    if (dryRun() || text.isEmpty() || glyphIndices) {
        if (updateCp)
            dc.position.rx() += estimatedWidth;
        return;
    }

    const QPointF origin = m_deviceToTarget.map(o);
    const QPointF ex = m_deviceToTarget.map(o + exDev) - origin;
    const QPointF ey = m_deviceToTarget.map(o + eyDev) - origin;
    const double sx = std::hypot(ex.x(), ex.y());
    const double sy = std::hypot(ey.x(), ey.y());
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return;

    // Font size in target pixels; a positive height is the cell height.
    double em = fontHeight * sy;
    if (em < 0.25 || em > 1e5)
        return;
    QFont font = makeFont(em);
    if (dc.font.height > 0) {
        const QFontMetricsF probe(font);
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0)
            em = em * font.pixelSize() / cell;
        font = makeFont(em);
    }
    const QFontMetricsF fm(font);
    const double k = em / font.pixelSize(); // local unit -> target pixel (vertical)
    double stretch = 1;
    if (dc.font.width > 0 && fm.averageCharWidth() > 0)
        stretch = std::clamp(dc.font.width * sx / (fm.averageCharWidth() * k), 0.05, 20.0);
    // Horizontal against vertical scale, from an anisotropic mapping or the
    // font's width; bounded so that glyphs keep a sane shape.
    const double kx = k * std::clamp(stretch * sx / sy, 1.0 / 64, 64.0);
    // FreeType's rasteriser gives up on glyphs far larger or far more
    // stretched than any screen shows, and Qt's glyph cache then reads a
    // null bitmap. Such text is drawn as outlines instead.
    const bool outlines = em * std::max(1.0, kx / k) > 256 || kx / k < 0.25;

    QPointF u = ex / sx, v = ey / sy;
    if (u.x() * v.y() - u.y() * v.x() < 0)
        v = -v; // keep glyphs upright when the mapping flips an axis
    const double angle = dc.font.escapement / 10.0 * M_PI / 180.0;
    const QPointF ur = u * std::cos(angle) - v * std::sin(angle);
    const QPointF vr = v * std::cos(angle) + u * std::sin(angle);
    const QTransform local(ur.x() * kx, ur.y() * kx, vr.x() * k, vr.y() * k, origin.x(), origin.y());

    // Horizontal positions in local units.
    QVector<double> xs;
    double width;
    if (!dx.isEmpty()) {
        xs.reserve(text.size());
        double at = 0;
        for (int i = 0; i < text.size(); ++i) {
            xs.append(at);
            at += (i < dx.size() ? dx[i] : 0) * sx / kx;
        }
        width = at;
    } else {
        width = fm.horizontalAdvance(text);
    }
    double x0 = 0;
    if ((dc.textAlign & TA_CENTER) == TA_CENTER)
        x0 = -width / 2;
    else if (dc.textAlign & TA_RIGHT)
        x0 = -width;
    double y0 = fm.ascent();
    if ((dc.textAlign & TA_BASELINE) == TA_BASELINE)
        y0 = 0;
    else if (dc.textAlign & TA_BOTTOM)
        y0 = -fm.descent();

    if (dc.rop2 != 11) {
        applyClip();
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (options & ETO_CLIPPED && !rect.isEmpty()) {
            m_painter->setTransform(l2d * m_deviceToTarget);
            m_painter->setClipRect(rect.normalized(), dc.clipped ? Qt::IntersectClip : Qt::ReplaceClip);
            m_appliedClip = ~quint64(0);
        }
        m_painter->setTransform(local);
        if (dc.bkMode == OPAQUE_BK && !(options & ETO_OPAQUE))
            m_painter->fillRect(QRectF(x0, y0 - fm.ascent(), width, fm.ascent() + fm.descent()), dc.bkColor);
        m_painter->setFont(font);
        m_painter->setPen(dc.textColor);
        m_painter->setBackgroundMode(Qt::TransparentMode);
        if (!xs.isEmpty()) {
            for (int i = 0; i < text.size(); ++i) {
                if (text[i].isLowSurrogate())
                    continue;
                QString glyph(text[i]);
                if (text[i].isHighSurrogate() && i + 1 < text.size())
                    glyph.append(text[i + 1]);
                drawGlyphs(QPointF(x0 + xs[i], y0), glyph, font, outlines);
            }
        } else {
            drawGlyphs(QPointF(x0, y0), text, font, outlines);
        }
    }
    if (updateCp)
        dc.position.rx() += width * kx / sx;
}

void Player::drawGlyphs(QPointF at, const QString &text, const QFont &font, bool outlines)
{
    if (!outlines) {
        m_painter->drawText(at, text);
        return;
    }
    QPainterPath glyphs;
    glyphs.addText(at, font, text);
    m_painter->fillPath(glyphs, m_painter->pen().color());
}

void Player::drawBitmap(const QRectF &dest, const QImage &image, const QRectF &source, quint32 rop,
                        int constantAlpha)
{
    if (image.isNull() || !spend(qint64(image.width()) * image.height() / 16))
        return;
    const QTransform l2d = logicalToDevice();
    const QRectF box = l2d.mapRect(dest.normalized());
    if (!sane(box) || dest.width() == 0 || dest.height() == 0)
        return;
    if (inPath)
        return;
    noteBounds(box);
    if (dryRun())
        return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    bool rasterOp = true;
    switch (rop) {
    case 0x00CC0020: case 0x00C000CA: rasterOp = false; break;
    case 0x00EE0086: mode = QPainter::RasterOp_SourceOrDestination; break;
    case 0x008800C6: mode = QPainter::RasterOp_SourceAndDestination; break;
    case 0x00660046: mode = QPainter::RasterOp_SourceXorDestination; break;
    case 0x00440328: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case 0x00330008: mode = QPainter::RasterOp_NotSource; break;
    case 0x001100A6: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case 0x00BB0226: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case 0x00AA0029: return; // destination unchanged
    default: rasterOp = false; break;
    }
    QImage img = image;
    QRectF src = source.isEmpty() ? QRectF(img.rect()) : source;
    if (rasterOp && img.hasAlphaChannel())
        img = img.convertToFormat(QImage::Format_RGB32);
    const bool flipX = dest.width() < 0, flipY = dest.height() < 0;
    if (flipX || flipY) {
        // The whole bitmap is mirrored, and the source rectangle with it: a
        // copy of the source rectangle would be as large as the record says,
        // and it may reach far outside the bitmap (gigabytes for a few bytes).
        img = img.mirrored(flipX, flipY);
        if (flipX)
            src.moveLeft(img.width() - src.right());
        if (flipY)
            src.moveTop(img.height() - src.bottom());
    }
    applyClip();
    m_painter->setTransform(l2d * m_deviceToTarget);
    m_painter->setCompositionMode(mode);
    const double oldOpacity = m_painter->opacity();
    if (constantAlpha < 255)
        m_painter->setOpacity(oldOpacity * std::max(constantAlpha, 0) / 255.0);
    m_painter->drawImage(dest.normalized(), img, src);
    m_painter->setOpacity(oldOpacity);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Player::patBlt(const QRectF &dest, quint32 rop)
{
    QPainterPath p;
    p.addRect(dest.normalized());
    LogBrush brush = dc.brush;
    int rop2 = 13;
    switch (rop) {
    case 0x00000042: brush = LogBrush(); brush.color = Qt::black; break;
    case 0x00FF0062: brush = LogBrush(); brush.color = Qt::white; break;
    case 0x00550009: brush = LogBrush(); brush.color = Qt::white; rop2 = 7; break;
    case 0x005A0049: rop2 = 7; break;
    case 0x00AA0029: return;
    default: break;
    }
    const int saved = dc.rop2;
    dc.rop2 = rop2;
    fillWithBrush(p, brush);
    dc.rop2 = saved;
}

QPainterPath Player::arcPath(const QRectF &box, QPointF start, QPointF end, int kind, int direction,
                             QPointF *startPoint, QPointF *endPoint)
{
    QPainterPath p;
    const QRectF r = box.normalized();
    if (!(r.width() > 0) || !(r.height() > 0) || !sane(r))
        return p;
    const QPointF c = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    auto angleOf = [&](QPointF q) { return std::atan2(-(q.y() - c.y()) / ry, (q.x() - c.x()) / rx) * 180 / M_PI; };
    const double a0 = angleOf(start);
    const double a1 = angleOf(end);
    double sweep = a1 - a0;
    if (direction == AD_CLOCKWISE) {
        while (sweep >= 0)
            sweep -= 360;
    } else {
        while (sweep <= 0)
            sweep += 360;
    }
    if (!std::isfinite(sweep))
        return p;
    if (kind == 2) {
        p.moveTo(c);
        p.arcTo(r, a0, sweep);
        p.closeSubpath();
    } else {
        p.arcMoveTo(r, a0);
        p.arcTo(r, a0, sweep);
        if (kind == 1)
            p.closeSubpath();
    }
    auto onEllipse = [&](double deg) {
        const double a = deg * M_PI / 180;
        return QPointF(c.x() + rx * std::cos(a), c.y() - ry * std::sin(a));
    };
    if (startPoint)
        *startPoint = onEllipse(a0);
    if (endPoint)
        *endPoint = onEllipse(a0 + sweep);
    return p;
}

void Player::beginPath()
{
    inPath = true;
    path = QPainterPath();
}

void Player::abortPath()
{
    inPath = false;
    path = QPainterPath();
}

void Player::closeFigure()
{
    if (inPath)
        path.closeSubpath();
}

void Player::moveTo(QPointF p)
{
    dc.position = p;
    if (inPath && path.elementCount() < Limits::maxPathElements)
        path.moveTo(logicalToDevice().map(p));
}

void Player::lineTo(QPointF p)
{
    if (inPath) {
        const QTransform l2d = logicalToDevice();
        if (path.elementCount() == 0)
            path.moveTo(l2d.map(dc.position));
        if (path.elementCount() < Limits::maxPathElements)
            path.lineTo(l2d.map(p));
        spend(1);
    } else {
        QPainterPath line;
        line.moveTo(dc.position);
        line.lineTo(p);
        drawShape(line, false, true);
    }
    dc.position = p;
}

void Player::appendToPath(const QPainterPath &logical, bool connect)
{
    if (!inPath) {
        drawShape(logical, false, true);
        return;
    }
    spend(logical.elementCount());
    if (path.elementCount() + logical.elementCount() > Limits::maxPathElements)
        return;
    const QPainterPath mapped = logicalToDevice().map(logical);
    if (!connect || path.elementCount() == 0) {
        path.addPath(mapped);
        return;
    }
    // Continue the open figure element by element: QPainterPath::connectPath
    // loses track of where the current figure starts, so a later
    // CloseFigure would close onto another figure.
    for (int i = 0; i < mapped.elementCount(); ++i) {
        const QPainterPath::Element e = mapped.elementAt(i);
        if (e.isCurveTo() && i + 2 < mapped.elementCount()) {
            path.cubicTo(e, mapped.elementAt(i + 1), mapped.elementAt(i + 2));
            i += 2;
        } else if (e.isMoveTo() && i > 0) {
            path.moveTo(e);
        } else if (!e.isMoveTo() || path.currentPosition() != QPointF(e)) {
            path.lineTo(e);
        }
    }
}

void Player::strokeAndFillPath(bool fill, bool stroke)
{
    const QPainterPath device = path;
    inPath = false;
    path = QPainterPath();
    if (device.isEmpty() || !spend(device.elementCount()))
        return;
    const QRectF box = device.boundingRect();
    if (!sane(box))
        return;
    noteBounds(box);
    if (dryRun())
        return;
    const QPen pen = stroke ? makePen() : QPen(Qt::NoPen);
    const QBrush brush = fill ? makeBrush(dc.brush) : QBrush(Qt::NoBrush);
    if (!applyState(fill))
        return;
    // Draw in logical coordinates so that the pen width scales as the
    // mapping says; fall back to device coordinates when it cannot invert.
    bool invertible = false;
    const QTransform l2d = logicalToDevice();
    const QTransform d2l = l2d.inverted(&invertible);
    QPainterPath p = invertible ? d2l.map(device) : device;
    if (!invertible)
        m_painter->setTransform(m_deviceToTarget);
    p.setFillRule(dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter->setPen(pen);
    m_painter->setBrush(brush);
    m_painter->drawPath(p);
}

void Player::selectClipPath(int mode)
{
    QPainterPath device = path;
    inPath = false;
    path = QPainterPath();
    device.setFillRule(dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (mode == RGN_COPY && device.isEmpty())
        resetClip();
    else
        combineClip(device, mode);
}

} // namespace picture::metafile

namespace picture::metafile {

const char *codecForCharset(int charset)
{
    switch (charset) {
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 130: return "johab";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return nullptr; // ANSI and Symbol are handled below
    }
}

QString decodeAnsi(const uchar *data, qsizetype length, int charset, const QVector<double> *byteDx,
                   QVector<double> *charDx)
{
    // Multi-byte character sets give one advance per byte: sum them per
    // character by decoding a byte at a time.
    if (byteDx && charDx) {
        charDx->clear();
        const char *codec = codecForCharset(charset);
        QStringDecoder decoder(codec ? codec : "windows-1252");
        if (codec && decoder.isValid() && byteDx->size() >= length) {
            QString out;
            double pending = 0;
            for (qsizetype i = 0; i < length; ++i) {
                pending += (*byteDx)[i];
                const QString part = decoder.decode(QByteArrayView(data + i, 1));
                for (qsizetype k = 0; k < part.size(); ++k) {
                    charDx->append(k == 0 ? pending : 0);
                    pending = 0;
                }
                out += part;
            }
            return out;
        }
        *charDx = byteDx->mid(0, length);
    }

    // Windows-1252 in 0x80..0x9f; the rest of the ANSI page is Latin-1.
    static const char16_t cp1252[32] = {
        0x20ac, 0x81, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8d, 0x017d, 0x8f,
        0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x9d, 0x017e, 0x0178};
    // The Symbol font's letters and common signs (0x20..0xff).
    static const char16_t symbol[224] = {
        0x20, 0x21, 0x2200, 0x23, 0x2203, 0x25, 0x26, 0x220b, 0x28, 0x29, 0x2217, 0x2b, 0x2c, 0x2212, 0x2e, 0x2f,
        0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x3b, 0x3c, 0x3d, 0x3e, 0x3f,
        0x2245, 0x391, 0x392, 0x3a7, 0x394, 0x395, 0x3a6, 0x393, 0x397, 0x399, 0x3d1, 0x39a, 0x39b, 0x39c, 0x39d, 0x39f,
        0x3a0, 0x398, 0x3a1, 0x3a3, 0x3a4, 0x3a5, 0x3c2, 0x3a9, 0x39e, 0x3a8, 0x396, 0x5b, 0x2234, 0x5d, 0x22a5, 0x5f,
        0x203e, 0x3b1, 0x3b2, 0x3c7, 0x3b4, 0x3b5, 0x3c6, 0x3b3, 0x3b7, 0x3b9, 0x3d5, 0x3ba, 0x3bb, 0x3bc, 0x3bd, 0x3bf,
        0x3c0, 0x3b8, 0x3c1, 0x3c3, 0x3c4, 0x3c5, 0x3d6, 0x3c9, 0x3be, 0x3c8, 0x3b6, 0x7b, 0x7c, 0x7d, 0x223c, 0x20,
        0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
        0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
        0x20ac, 0x3d2, 0x2032, 0x2264, 0x2044, 0x221e, 0x192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
        0xb0, 0xb1, 0x2033, 0x2265, 0xd7, 0x221d, 0x2202, 0x2022, 0xf7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23d0, 0x23af, 0x21b5,
        0x2135, 0x2111, 0x211c, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222a, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
        0x2220, 0x2207, 0xae, 0xa9, 0x2122, 0x220f, 0x221a, 0x22c5, 0xac, 0x2227, 0x2228, 0x21d4, 0x21d0, 0x21d1, 0x21d2, 0x21d3,
        0x25ca, 0x2329, 0xae, 0xa9, 0x2122, 0x2211, 0x239b, 0x239c, 0x239d, 0x23a1, 0x23a2, 0x23a3, 0x23a7, 0x23a8, 0x23a9, 0x23aa,
        0x20, 0x232a, 0x222b, 0x2320, 0x23ae, 0x2321, 0x239e, 0x239f, 0x23a0, 0x23a4, 0x23a5, 0x23a6, 0x23ab, 0x23ac, 0x23ad, 0x20};
    if (const char *codec = codecForCharset(charset)) {
        QStringDecoder decoder(codec);
        if (decoder.isValid()) {
            qsizetype n = length;
            while (n > 0 && data[n - 1] == 0)
                --n;
            return decoder.decode(QByteArrayView(data, n));
        }
    }
    QString out;
    out.reserve(length);
    for (qsizetype i = 0; i < length; ++i) {
        const uchar c = data[i];
        if (c == 0 && i + 1 == length)
            break;
        if (charset == 2 && c >= 0x20)
            out.append(QChar(symbol[c - 0x20]));
        else if (charset == 0 && c >= 0x80 && c < 0xa0)
            out.append(QChar(cp1252[c - 0x80]));
        else
            out.append(QChar(c));
    }
    return out;
}

QColor colorRef(quint32 value, const QVector<QRgb> &palette)
{
    if ((value >> 24) == 1) {
        const quint32 index = value & 0xffff;
        if (index < quint32(palette.size()))
            return QColor(palette[int(index)]);
    }
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

} // namespace picture::metafile
