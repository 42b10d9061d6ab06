#pragma once

#include "picture/metafile/Reader.h"

#include <QImage>
#include <QVector>

namespace picture::metafile {

enum class DibAlpha {
    Ignore,        // the fourth byte of 32-bit pixels is padding
    Premultiplied, // AlphaBlend with per-pixel alpha
};

struct DibResult {
    QImage image;
    bool damaged = false; // the header contradicts itself or the data is missing
    bool bottomUp = true; // source rectangles of DIB records count rows from the bottom
};

// Decodes a device-independent bitmap whose header and colour table are in
// `info` and whose pixels are in `bits`. `usage` 1 means the colour table
// holds 16-bit indices into `palette`. `maxLines` limits the scan lines the
// bits must hold (SetDIBitsToDevice sends a band); -1 for all of them.
// `paletteOnly`: the colour table is not read; index i is `palette[i]`.
DibResult decodeDib(const Reader &info, const Reader &bits, int usage, const QVector<QRgb> &palette,
                    DibAlpha alpha = DibAlpha::Ignore, int maxLines = -1, bool paletteOnly = false);

// A packed DIB: header, colour table and pixels in one block.
DibResult decodePackedDib(const Reader &packed, int usage, const QVector<QRgb> &palette);

// The Windows 3.0 device-dependent bitmap that old WMF blits carry.
DibResult decodeBitmap16(const Reader &r, QRgb foreground, QRgb background);

} // namespace picture::metafile
