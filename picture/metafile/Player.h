#pragma once

// The device context that WMF and EMF records drive, and the drawing it does
// on a QPainter. Coordinates go logical -> (world transform, EMF only) ->
// page (window/viewport and mapping mode) -> device -> target, where
// "device" is the metafile's own frame (the placeable bounds or the window
// of a WMF, the reference device of an EMF) and `deviceToTarget` stretches
// that frame over the rectangle the view asked for.
//
// The player runs twice over the same records: once at load with no painter
// (a dry run that validates every record and measures what is drawn), and
// once per play() with the painter. Both runs decode records with the same
// code, so a file that loaded never meets a damaged record while playing.

#include "picture/metafile/Reader.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTransform>
#include <QVector>

#include <vector>

namespace picture::metafile {

// Hard bounds on what one file may make us do.
struct Limits {
    static constexpr int maxObjects = 16384;         // object table slots
    static constexpr int maxSaveDepth = 256;         // nested SaveDC
    static constexpr qint64 maxRecords = 2'000'000;  // records in one file
    static constexpr qint64 maxPathElements = 1'000'000;
    static constexpr qint64 maxWork = 20'000'000;    // points + pixels/16 + glyphs per play
    static constexpr qint64 maxBitmapPixels = 16LL * 1024 * 1024; // 64 MB decoded
    static constexpr int maxBitmapSide = 32768;
    static constexpr int maxTextLength = 32768;
};

// GDI constants the records use.
enum MapMode { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };
enum { TRANSPARENT_BK = 1, OPAQUE_BK = 2 };
enum { ALTERNATE = 1, WINDING = 2 };
enum { TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum { ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_GLYPH_INDEX = 0x10, ETO_PDY = 0x2000 };
enum { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6 };
enum { PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME, PS_USERSTYLE };
enum { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum { RGN_AND = 1, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY };

struct LogPen {
    int style = PS_SOLID;
    int endCap = 0;   // PS_ENDCAP_* >> 8
    int join = 0;     // PS_JOIN_* >> 12
    double width = 0; // logical units; 0 is one device pixel
    QColor color = Qt::black;
    QVector<qreal> dashes;
};

struct LogBrush {
    int style = BS_SOLID;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
    // A monochrome pattern takes the text and background colours of the DC
    // it paints with (its 0 pixels are black in `pattern`).
    bool monochrome = false;
};

struct LogFont {
    double height = 0; // < 0: character height, > 0: cell height, 0: default
    double width = 0;
    int escapement = 0; // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    QString face;
};

struct GdiObject {
    enum Kind { Empty, Pen, Brush, Font, Palette, Region, Other };
    Kind kind = Empty;
    LogPen pen;
    LogBrush brush;
    LogFont font;
    QVector<QRgb> palette;
    QPainterPath region;
};

struct DcState {
    int mapMode = MM_TEXT;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world;

    LogPen pen;
    LogBrush brush;
    LogFont font;
    QVector<QRgb> palette;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = OPAQUE_BK;
    int textAlign = 0;
    int polyFillMode = ALTERNATE;
    int rop2 = 13; // R2_COPYPEN
    int arcDirection = AD_COUNTERCLOCKWISE;
    QPointF position; // current position, logical
    bool clipped = false;
    QPainterPath clip; // device coordinates
    quint64 clipGeneration = 0;
};

// Text of the 8-bit records in the font's character set (the ANSI code
// page, or the Symbol font's letters mapped to their Unicode meaning).
// With `byteDx`, the advance of each byte, `charDx` receives the advance of
// each character.
QString decodeAnsi(const uchar *data, qsizetype length, int charset, const QVector<double> *byteDx = nullptr,
                   QVector<double> *charDx = nullptr);
// The codec of a Windows character set that is not the ANSI page or Symbol.
const char *codecForCharset(int charset);

// A COLORREF; palette-index colours look the index up in `palette`.
QColor colorRef(quint32 value, const QVector<QRgb> &palette);

class Player {
public:
    // `painter` null: dry run (validate and measure only).
    // `frame` (device units) bounds what is drawn.
    Player(QPainter *painter, const QTransform &deviceToTarget, double devicePixelsPerMm, const QRectF &frame);

    bool dryRun() const { return m_painter == nullptr; }

    // Work accounting: false once the budget for this play is spent.
    bool spend(qint64 work);
    bool exhausted() const { return m_work > Limits::maxWork; }

    DcState dc;

    // Coordinates.
    QTransform pageTransform() const;
    QTransform logicalToDevice() const { return dc.world * pageTransform(); }

    // DC stack.
    void saveDc();
    void restoreDc(int which); // negative: relative; positive: absolute

    // Object table.
    void resetObjects(int count);
    int objectCount() const { return int(m_objects.size()); }
    bool putObject(int index, GdiObject object); // EMF: explicit index
    int addObject(GdiObject object);             // WMF: first free slot, -1 when full
    const GdiObject *object(int index) const;
    void selectObject(int index);
    void deleteObject(int index);
    void selectStockObject(quint32 index);

    // Drawing with the current pen and brush; `logical` in logical units.
    void drawShape(const QPainterPath &logical, bool fill, bool stroke);
    void fillWithBrush(const QPainterPath &logical, const LogBrush &brush);
    void fillDeviceRegion(const QPainterPath &device, const LogBrush &brush, int rop2 = 13);
    void drawText(QPointF reference, const QString &text, const QVector<double> &dx, quint32 options,
                  const QRectF &rect, bool glyphIndices = false);
    // Bitmap onto the logical rectangle `dest`; `rop` a ternary raster
    // operation; `constantAlpha` 0..255 for AlphaBlend.
    void drawBitmap(const QRectF &dest, const QImage &image, const QRectF &source, quint32 rop,
                    int constantAlpha = 255);
    void patBlt(const QRectF &dest, quint32 rop);
    void setPixel(QPointF p, QColor c);

    // Paths (EMF BeginPath .. EndPath; device coordinates).
    bool inPath = false;
    QPainterPath path;
    void beginPath();
    void endPath() { inPath = false; }
    void abortPath();
    void closeFigure();
    void strokeAndFillPath(bool fill, bool stroke);
    void selectClipPath(int mode);
    // Current-position aware building blocks.
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void appendToPath(const QPainterPath &logical, bool connect);

    // Clipping (device coordinates).
    void combineClip(const QPainterPath &device, int mode);
    void intersectClipRect(const QRectF &logical);
    void excludeClipRect(const QRectF &logical);
    void offsetClip(QPointF logicalOffset);
    void resetClip();

    // Union of everything drawn, in device coordinates (dry run too).
    QRectF drawnBounds() const { return m_bounds; }

    QPen makePen() const;
    QBrush makeBrush(const LogBrush &brush) const;
    QFont makeFont(double pixelSize) const;

    static QPainterPath arcPath(const QRectF &box, QPointF start, QPointF end, int kind, int direction,
                                QPointF *startPoint = nullptr, QPointF *endPoint = nullptr);

private:
    bool applyState(bool forFill);
    void drawGlyphs(QPointF at, const QString &text, const QFont &font, bool outlines);
    void noteBounds(const QRectF &device);
    void applyClip();
    QRectF everything() const;

    QPainter *m_painter;
    QRectF m_frame;
    QTransform m_deviceToTarget;
    QTransform m_base;
    double m_devicePixelsPerMm;
    qint64 m_work = 0;
    QRectF m_bounds;
    std::vector<DcState> m_stack;
    std::vector<GdiObject> m_objects;
    quint64 m_clipGenerations = 0;
    quint64 m_appliedClip = ~quint64(0);
    int m_lostSaves = 0;
};

} // namespace picture::metafile
