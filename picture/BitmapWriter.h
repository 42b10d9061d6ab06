#pragma once

#include "picture/Picture.h"

#include <QString>

namespace picture {

// Saves the picture as a Windows bitmap file (24 bits per pixel) at its
// natural size and full resolution: a reduced decode is decoded again from
// its file, a drawing is played at its natural size, and transparent parts
// are laid on white. The file is replaced atomically, so a failed save
// leaves any earlier file as it was. False when nothing was written.
bool saveAsBitmap(const Picture &picture, const QString &hostPath);

} // namespace picture
