#pragma once

#include "picture/Picture.h"

#include <QImage>
#include <QRect>
#include <QWidget>

namespace controls {

// A picture placed inside a container (normally a PictureBox): it has no
// background of its own, so the container shows around and through it.
//
// Left, Top, Width and Height are pane pixels relative to the container's
// interior and keep the exact float values they were given; fractional
// values are what the display-mode arithmetic produces. Only the widget's
// geometry is rounded: each edge goes to the nearest pixel (halves upwards,
// also for negative positions, so scrolling moves every edge the same way),
// and a side that is not zero keeps at least one pixel, so a sliver of a
// very wide or very tall picture never vanishes. The picture is drawn into
// the whole device pixels that rectangle covers (see DevicePixels.h), never
// at a fractional offset, so rasters stay sharp at every screen scale.
//
// The widget only covers the part of the control that lies inside the
// container's interior, so a large picture is clipped at the container's
// border instead of painting over it.
//
// Stretch off: the control takes the picture's natural size and shows it
// unscaled from its top-left corner (a size set while off clips or leaves
// empty room; turning Stretch off, or giving a picture while it is off,
// restores the natural size). Stretch on: the picture is scaled to whatever
// size the control has. A metafile is played at that size, at the screen's
// resolution, so it stays sharp.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget *parent);
    ~ImageControl() override;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void setLeft(float left);
    void setTop(float top);
    // Negative sizes are taken as 0.
    void setWidth(float width);
    void setHeight(float height);
    void Move(float left, float top);
    void Move(float left, float top, float width, float height);
    // For a control placed on a window in twips (as a form's banner image).
    void setTwipsGeometry(double left, double top, double width, double height);

    bool Stretch() const { return m_stretch; }
    void setStretch(bool stretch);

    // The property, whatever the container's own visibility.
    bool Visible() const { return m_visible; }
    void setVisible(bool visible) override;

    const picture::Picture &Picture() const { return m_picture; }
    void setPicture(const picture::Picture &picture);

    // The whole-pixel rectangle the control occupies in the container's
    // interior (before clipping to it).
    QRect pixelRect() const;

signals:
    void Click();
    // button: 1 left, 2 right, 4 middle; x, y in pixels from the control's
    // top-left corner.
    void MouseDown(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sizeToPicture();
    void applyGeometry();
    QRect interiorRect() const;
    // The raster smoothed to `device` pixels, or null when such a copy would
    // be too large to keep.
    const QImage *smoothedTo(QSize device);

    picture::Picture m_picture;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    bool m_stretch = false;
    bool m_visible = true;
    bool m_pressed = false;

    // A raster scaled to the device size it was last drawn at: smooth-scaling
    // a large photograph on every repaint would make scrolling and window
    // exposure slow.
    QImage m_scaled;
    qint64 m_scaledSourceKey = 0;
    QSize m_scaledSize;
};

} // namespace controls
