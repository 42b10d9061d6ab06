#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;

namespace picture {

// A picture that is drawn rather than stored as pixels (a Windows metafile).
// It is played onto the painter at whatever size the view asks for, so it
// stays sharp when enlarged.
class Drawing {
public:
    virtual ~Drawing() = default;
    // Natural size in pixels at 96 pixels per inch.
    virtual QSize naturalSize() const = 0;
    // Plays the drawing so that its natural frame fills `target`.
    virtual void play(QPainter &painter, const QRectF &target) const = 0;
};

// The value the viewer shows: a raster image or a drawing, with its natural
// size. A raster picture may hold fewer pixels than its natural size when it
// was decoded for a smaller view; decodedFor() (Loader.h) then decodes it
// again from its source file. It may also hold more, when it was drawn for a
// high-density screen.
class Picture {
public:
    Picture() = default;
    // An image drawn with a device pixel ratio (QImage::setDevicePixelRatio)
    // has its natural size in logical pixels, and keeps its pixels for the
    // screen it was drawn for.
    static Picture fromImage(QImage image);
    // `image` was decoded from `sourcePath` at a reduced size, or drawn at
    // another size than the natural one with no file behind it (`sourcePath`
    // empty); `naturalSize` is the picture's size as the file states it
    // (after orientation).
    static Picture fromReducedImage(QImage image, QSize naturalSize, QString sourcePath);
    static Picture fromDrawing(std::shared_ptr<const Drawing> drawing);

    bool isNull() const { return !m_drawing && m_image.isNull(); }
    bool isDrawing() const { return m_drawing != nullptr; }
    bool isReduced() const { return !m_drawing && !m_image.isNull() && m_image.size() != m_naturalSize; }

    QSize naturalSize() const { return m_naturalSize; }
    // The pixels held now (for a drawing: null).
    const QImage &image() const { return m_image; }
    const Drawing *drawing() const { return m_drawing.get(); }
    QString sourcePath() const { return m_sourcePath; }

    // Draws the picture scaled into `target` (smooth scaling for rasters,
    // a fresh play for drawings).
    void draw(QPainter &painter, const QRectF &target) const;

    // The picture as pixels at `size` (natural size when `size` is empty):
    // for the clipboard, the wallpaper and other consumers that need a bitmap.
    // A reduced raster is decoded again from its file when more pixels are needed.
    // Null when `size` is over the image limit (fitsInOneImage).
    QImage toImage(QSize size = QSize()) const;

    // True when an image of `size` stays within the limit every decoder
    // obeys (512 MiB of 32-bit pixels). A drawing can be drawn at any size,
    // but not into one bitmap: 20000 x 20000 would take 1.6 GB.
    static bool fitsInOneImage(QSize size);

private:
    QImage m_image;
    QSize m_naturalSize;
    QString m_sourcePath;
    std::shared_ptr<const Drawing> m_drawing;
};

} // namespace picture
