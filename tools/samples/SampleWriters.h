#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

// Writers for the Windows and GIF formats the viewer reads, used by the sample
// generator and the loader tests. Qt has no GIF writer and no RLE or headerless
// bitmap writer; its ICO writer cannot write cursors.
namespace samples {

// 24-bit bottom-up bitmap with a file header.
QByteArray writeBmp24(const QImage &image);
// 8-bit RLE8 bitmap with a file header; the image is reduced to at most 256 colours.
QByteArray writeBmpRle8(const QImage &image);
// Headerless 8-bit bitmap (BITMAPINFOHEADER, colour table, pixels), as the
// clipboard holds it; reduced to at most 256 colours.
QByteArray writeHeaderlessDib(const QImage &image);
// GIF89a with one frame, LZW-compressed; reduced to at most 256 colours.
// Fully transparent pixels become the transparent colour.
QByteArray writeGif(const QImage &image);
// Icon with one entry per image: 32-bit bitmaps with an AND mask, or PNG data
// for images of 256 pixels and more.
QByteArray writeIco(const QList<QImage> &images);
// Cursor with one 32-bit bitmap entry and its hot spot.
QByteArray writeCur(const QImage &image, QPoint hotSpot);

// The 8-bit image the palette writers store for `image` (what a reader must give back).
QImage toPaletteImage(const QImage &image);

} // namespace samples
