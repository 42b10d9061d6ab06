#pragma once

#include <QImage>
#include <QSize>

#include <functional>

// The system clipboard in bitmap format, the only format the viewer
// exchanges with it. Other programs see a copied picture in the image
// formats the desktop offers (PNG, BMP, ...); any of them pastes back.
//
// On X the clipboard's owner is asked for everything, and a program that
// does not answer costs the toolkit's whole timeout per question: each
// function below asks one question at most.
namespace platform {

// True when the clipboard offers a picture in a format that can be pasted;
// decided from the list of formats its owner offers, asked for once.
bool clipboardHasBitmap();

// The clipboard's picture, in the best format it offers. Null when there is
// none, when its data does not decode, or when `fits` refuses the size the
// data's header states: that is checked before anything is decoded, and a
// picture it accepts is decoded whatever its size.
QImage clipboardBitmap(const std::function<bool(QSize)> &fits);

// Replaces the clipboard's contents with `image`. False for a null image or
// when there is no clipboard to put it on.
bool setClipboardBitmap(const QImage &image);

} // namespace platform
