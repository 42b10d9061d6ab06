#pragma once

#include "picture/Picture.h"

#include <QWidget>

namespace controls {

// A box that shows a picture at its top-left corner, unscaled, on its
// background colour, and holds other controls. Its interior is measured in
// pixels (ScaleWidth × ScaleHeight), inside an optional 2-pixel sunken border.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Border { None, Sunken };

    explicit PictureBox(QWidget *parent = nullptr);

    // The background colour as a 32-bit Windows colour value (an RGB value
    // 0x00BBGGRR or a system colour index with the top bit set). Reading it
    // gives back the value that was set, so a system colour stays one.
    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 value);

    Border BorderStyle() const { return m_border; }
    void setBorderStyle(Border border);
    int borderWidth() const { return m_border == Border::Sunken ? 2 : 0; }

    // Interior size in pixels.
    int ScaleWidth() const { return qMax(0, width() - 2 * borderWidth()); }
    int ScaleHeight() const { return qMax(0, height() - 2 * borderWidth()); }
    // Where the interior starts inside the widget.
    QPoint interiorOrigin() const { return {borderWidth(), borderWidth()}; }
    // The interior's size in the screen's own pixels, where the box lies now:
    // the size a picture that fills it is decoded and drawn at.
    QSize interiorDeviceSize() const;

    const picture::Picture &Picture() const { return m_picture; }
    void setPicture(const picture::Picture &picture);

    // Geometry in twips, relative to the parent.
    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    void Click();
    // button: 1 left, 2 right, 4 middle; x, y in interior pixels.
    void MouseDown(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    qint32 m_backColor;
    Border m_border = Border::None;
    picture::Picture m_picture;
    bool m_pressed = false;
};

// Mouse button and modifier codes as the runtime reports them.
int vbButton(Qt::MouseButton button);
int vbShift(Qt::KeyboardModifiers modifiers);

} // namespace controls
