#include "picture/Picture.h"

#include "picture/Loader.h"
#include "picture/codecs/Codecs.h"

#include <QPainter>

namespace picture {

Picture Picture::fromImage(QImage image)
{
    Picture p;
    p.m_naturalSize = image.size();
    if (image.devicePixelRatio() != 1.0) {
        p.m_naturalSize = image.deviceIndependentSize().toSize();
        // From here on only the natural size tells the pixels' scale.
        image.setDevicePixelRatio(1.0);
    }
    p.m_image = std::move(image);
    return p;
}

Picture Picture::fromReducedImage(QImage image, QSize naturalSize, QString sourcePath)
{
    Picture p;
    p.m_image = std::move(image);
    p.m_naturalSize = naturalSize;
    p.m_sourcePath = std::move(sourcePath);
    return p;
}

Picture Picture::fromDrawing(std::shared_ptr<const Drawing> drawing)
{
    Picture p;
    if (drawing) {
        p.m_naturalSize = drawing->naturalSize();
        p.m_drawing = std::move(drawing);
    }
    return p;
}

void Picture::draw(QPainter &painter, const QRectF &target) const
{
    if (target.isEmpty())
        return;
    if (m_drawing) {
        painter.save();
        m_drawing->play(painter, target);
        painter.restore();
        return;
    }
    if (m_image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, m_image);
    painter.restore();
}

bool Picture::fitsInOneImage(QSize size)
{
    return codecs::fitsDecodeLimit(size.width(), size.height());
}

QImage Picture::toImage(QSize size) const
{
    if (size.isEmpty())
        size = m_naturalSize;
    // A 200-megapixel picture shows fine in a fit view, but as one bitmap of
    // its natural size it would take most of the machine's memory.
    if (isNull() || !fitsInOneImage(size))
        return {};
    if (m_drawing) {
        QImage out(size, QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::white);
        QPainter painter(&out);
        m_drawing->play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        return out;
    }
    // Decoded again, only as far as `size` needs, when it holds too few pixels.
    const QImage source = decodedFor(*this, DecodeSize::exactly(size)).image();
    if (source.size() == size)
        return source;
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace picture
