#pragma once

#include <QImage>

// The system clipboard in bitmap format, the only format the viewer
// exchanges with it. Other programs see a copied picture in the image
// formats the desktop offers (PNG, BMP, ...); any of them pastes back.
namespace platform {

// True when the clipboard holds a picture in a format that can be pasted.
bool clipboardHasBitmap();

// The clipboard's picture; a null image when there is none or its data
// cannot be decoded.
QImage clipboardBitmap();

// Replaces the clipboard's contents with `image`. False for a null image or
// when there is no clipboard to put it on.
bool setClipboardBitmap(const QImage &image);

} // namespace platform
