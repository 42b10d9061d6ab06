#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace samples {

struct Sample {
    QString fileName;
    QByteArray data;  // the file's bytes
    QImage source;    // the picture as drawn (for an icon: its largest image)
    bool lossless = true; // false when the format only approximates `source` (JPEG, 256 colours)
};

// The sample pictures: landscape, portrait, a large one and a tiny one in the
// raster formats the viewer reads.
QList<Sample> makeSamples();

} // namespace samples
