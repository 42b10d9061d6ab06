#include "controls/ImageControl.h"

#include "controls/DevicePixels.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace controls {

namespace {

int pixelEdge(float x)
{
    return nearestPixel(double(x));
}

// Scaled copies larger than this are not kept; such a picture is drawn
// scaled directly instead.
constexpr qint64 MaxCachedPixels = qint64(64) * 1024 * 1024;

} // namespace

ImageControl::ImageControl(QWidget *parent) : QWidget(parent)
{
    if (parent)
        parent->installEventFilter(this);
    applyGeometry();
}

ImageControl::~ImageControl() = default;

void ImageControl::setLeft(float left)
{
    m_left = left;
    applyGeometry();
}

void ImageControl::setTop(float top)
{
    m_top = top;
    applyGeometry();
}

void ImageControl::setWidth(float width)
{
    m_width = std::max(width, 0.0f);
    applyGeometry();
}

void ImageControl::setHeight(float height)
{
    m_height = std::max(height, 0.0f);
    applyGeometry();
}

void ImageControl::Move(float left, float top)
{
    m_left = left;
    m_top = top;
    applyGeometry();
}

void ImageControl::Move(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = std::max(width, 0.0f);
    m_height = std::max(height, 0.0f);
    applyGeometry();
}

void ImageControl::setTwipsGeometry(double left, double top, double width, double height)
{
    Move(float(left / TwipsPerPixel), float(top / TwipsPerPixel), float(width / TwipsPerPixel),
         float(height / TwipsPerPixel));
}

void ImageControl::setStretch(bool stretch)
{
    m_stretch = stretch;
    if (!m_stretch)
        sizeToPicture();
    applyGeometry();
}

void ImageControl::setVisible(bool visible)
{
    m_visible = visible;
    applyGeometry();
}

void ImageControl::setPicture(const picture::Picture &picture)
{
    m_picture = picture;
    m_scaled = QImage();
    m_scaledSourceKey = 0;
    m_scaledSize = {};
    if (!m_stretch)
        sizeToPicture();
    applyGeometry();
}

void ImageControl::sizeToPicture()
{
    const QSize natural = m_picture.naturalSize();
    m_width = float(std::max(natural.width(), 0));
    m_height = float(std::max(natural.height(), 0));
}

QRect ImageControl::pixelRect() const
{
    const int left = pixelEdge(m_left);
    const int top = pixelEdge(m_top);
    int right = pixelEdge(m_left + m_width);
    int bottom = pixelEdge(m_top + m_height);
    if (m_width > 0 && right <= left)
        right = left + 1;
    if (m_height > 0 && bottom <= top)
        bottom = top + 1;
    return QRect(QPoint(left, top), QSize(std::max(right - left, 0), std::max(bottom - top, 0)));
}

QRect ImageControl::interiorRect() const
{
    const QWidget *container = parentWidget();
    if (!container)
        return {};
    if (const auto *box = qobject_cast<const PictureBox *>(container))
        return QRect(box->interiorOrigin(), QSize(box->ScaleWidth(), box->ScaleHeight()));
    return container->rect();
}

void ImageControl::applyGeometry()
{
    const QRect interior = interiorRect();
    const QRect placed = pixelRect().translated(interior.topLeft());
    const QRect shown = placed & interior;
    if (!shown.isEmpty() && shown != geometry())
        setGeometry(shown);
    // Always explicit, so that a control hidden here stays hidden when its
    // container is shown later.
    QWidget::setVisible(m_visible && !shown.isEmpty());
    update();
}

const QImage *ImageControl::smoothedTo(QSize device)
{
    if (qint64(device.width()) * device.height() > MaxCachedPixels)
        return nullptr;
    const QImage &source = m_picture.image();
    if (m_scaledSourceKey != source.cacheKey() || m_scaledSize != device) {
        m_scaled = source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaledSourceKey = source.cacheKey();
        m_scaledSize = device;
    }
    return &m_scaled;
}

void ImageControl::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    // The control's own rectangle in widget coordinates; the widget may show
    // only part of it.
    const QRect control(pixelRect().topLeft() + interiorRect().topLeft() - geometry().topLeft(),
                        pixelRect().size());
    const QRect target = m_stretch ? control : QRect(control.topLeft(), m_picture.naturalSize());
    if (target.isEmpty())
        return;
    QPainter painter(this);
    drawOnDevicePixels(painter, m_picture, target, [this](QSize device) { return smoothedTo(device); });
}

void ImageControl::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    const QPointF origin(pixelRect().topLeft() + interiorRect().topLeft() - geometry().topLeft());
    const QPointF at = event->position() - origin;
    event->accept();
    emit MouseDown(vbButton(event->button()), vbShift(event->modifiers()), float(at.x()), float(at.y()));
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit Click();
}

bool ImageControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        applyGeometry();
    return QWidget::eventFilter(watched, event);
}

} // namespace controls
