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

struct LoadResult {
    Picture picture;
    QString error; // why the file could not be read; empty on success
    bool ok() const { return error.isEmpty() && !picture.isNull(); }
};

// Reads the picture file at `hostPath`. The format is decided by the file's
// content, never by its name. A damaged or unsupported file gives an error.
LoadResult load(const QString &hostPath, DecodeSize size = DecodeSize::natural());

// The size of the image a decode for `size` gives for a picture of `natural`
// pixels: never more than `natural` in either direction.
QSize decodedSize(const DecodeSize &size, QSize natural);

// `held` decoded again from its file when a decode for `size` would give it
// more pixels than it holds (it was decoded for a smaller view), and the file
// is still the same picture; otherwise `held` itself.
Picture decodedFor(const Picture &held, const DecodeSize &size);

// The same for bytes already in memory (`nameForMessages` only names them in errors).
LoadResult loadFromData(const QByteArray &data, DecodeSize size = DecodeSize::natural(),
                        const QString &nameForMessages = QString());

} // namespace picture
