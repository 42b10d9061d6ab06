#pragma once

#include "picture/Picture.h"

#include <QSize>
#include <QString>

namespace picture {

// How large the caller will show the picture, so that a decoder that can
// decode at a reduced size (JPEG) does not produce pixels nobody sees.
// The natural size of the result always comes from the file.
struct DecodeSize {
    enum class Fit {
        Natural, // every pixel of the file
        Within,  // shown shrunk to fit `box` with its aspect ratio kept, never enlarged
        Exactly, // shown stretched to `box`, aspect ratio ignored
    };
    Fit fit = Fit::Natural;
    QSize box;

    static DecodeSize natural() { return {}; }
    static DecodeSize within(QSize box) { return {Fit::Within, box}; }
    static DecodeSize exactly(QSize box) { return {Fit::Exactly, box}; }

    bool operator==(const DecodeSize &) const = default;
};

// The size a picture of `natural` pixels is shown at for `size`, never more
// than `natural` in either direction (an enlarged view needs no more pixels
// than the file has).
QSize shownSize(const DecodeSize &size, QSize natural);

struct LoadResult {
    Picture picture;
    QString error; // why the file could not be read; empty on success
    bool ok() const { return error.isEmpty() && !picture.isNull(); }
};

// Reads the picture file at `hostPath`. The format is decided by the file's
// content, never by its name. A damaged or unsupported file gives an error.
LoadResult load(const QString &hostPath, DecodeSize size = DecodeSize::natural());

// The same for bytes already in memory (`nameForMessages` only names them in errors).
LoadResult loadFromData(const QByteArray &data, DecodeSize size = DecodeSize::natural(),
                        const QString &nameForMessages = QString());

} // namespace picture
