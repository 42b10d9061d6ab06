#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

// The arithmetic and texts of the full-screen show that need no window.
namespace slideshow {

// The size line of the full-screen show: the file size text (kilobytes
// rounded half to even, "KB", or the length and "bytes" below half a
// kilobyte), then " (position/count)".
QString sizeAndPositionText(qint64 length, qint64 position, qint64 count);

// The entry a show displays after entry `shown` of a list of `count`: the
// next one, the first again after the last when the show loops, or none.
std::optional<qint32> nextShowIndex(qint32 shown, qint32 count, bool loop);

// The entries the next `steps` ticks display when the next one displays
// `first` (nothing when the show ends there): `first`, then each following
// one, back to the first entry when the show loops.
std::vector<qint32> upcomingShowIndices(std::optional<qint32> first, qint32 count, bool loop, int steps);

} // namespace slideshow
