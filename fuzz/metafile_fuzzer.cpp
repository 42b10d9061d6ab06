// libFuzzer entry: loads the input as a metafile and, when it loads, plays
// it at two sizes.
#include "FuzzSupport.h"
#include "picture/metafile/Metafile.h"

#include <QImage>
#include <QPainter>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    picture::metafile::looksLikeMetafile(bytes);
    QString error;
    const auto drawing = picture::metafile::load(bytes, &error);
    if (!drawing)
        return 0;
    QImage image(97, 61, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawing->play(painter, QRectF(0, 0, 97, 61));
    drawing->play(painter, QRectF(10, 5, 8, 40));
    return 0;
}
