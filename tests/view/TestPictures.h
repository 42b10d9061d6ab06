#pragma once

#include "picture/Picture.h"

#include <QColor>
#include <QImage>

inline picture::Picture solidPicture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return picture::Picture::fromImage(image);
}
