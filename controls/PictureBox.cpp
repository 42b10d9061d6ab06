#include "controls/PictureBox.h"

#include "controls/DevicePixels.h"
#include "controls/Twips.h"
#include "platform/SystemColors.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace controls {

int vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int vbShift(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent), m_backColor(platform::systemColor(platform::COLOR_BTNFACE))
{
}

void PictureBox::setBackColor(qint32 value)
{
    m_backColor = value;
    update();
}

void PictureBox::setBorderStyle(Border border)
{
    m_border = border;
    update();
}

QSize PictureBox::interiorDeviceSize() const
{
    return deviceRect(*this, QRect(interiorOrigin(), QSize(ScaleWidth(), ScaleHeight()))).size();
}

void PictureBox::setPicture(const picture::Picture &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner(interiorOrigin(), QSize(ScaleWidth(), ScaleHeight()));
    painter.fillRect(inner, platform::resolveColor(m_backColor));
    if (!m_picture.isNull()) {
        painter.setClipRect(inner);
        drawOnDevicePixels(painter, m_picture, QRect(inner.topLeft(), m_picture.naturalSize()));
        painter.setClipping(false);
    }
    if (m_border == Border::Sunken) {
        // Two 1-pixel rings on the outer 2 pixels of every side, dark outside
        // and darker inside, lit from the bottom right: the lit sides are
        // drawn last and take the corners they share.
        const QPalette pal = palette();
        const auto ring = [&](int in, QPalette::ColorRole shade, QPalette::ColorRole lit) {
            const QRect r = rect().adjusted(in, in, -in, -in);
            painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), pal.color(shade));
            painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), pal.color(shade));
            painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), pal.color(lit));
            painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), pal.color(lit));
        };
        ring(0, QPalette::Mid, QPalette::Light);
        ring(1, QPalette::Shadow, QPalette::Midlight);
    }
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    const QPointF at = event->position() - QPointF(interiorOrigin());
    emit MouseDown(vbButton(event->button()), vbShift(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Click();
}

void PictureBox::changeEvent(QEvent *event)
{
    // A system colour follows the desktop's scheme.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace controls
