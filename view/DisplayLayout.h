#pragma once

#include <QSize>

// The arithmetic of the picture view's three display modes and of the full
// view, kept apart from the widgets so that it can be checked number by
// number. Every position and size is in pane pixels and every intermediate
// value is a single-precision float, computed in the same order as the
// handlers that use it: the results (fractions of a pixel included) are part
// of the viewer's behaviour.
namespace view {

struct SizeF {
    float width = 0;
    float height = 0;
};

// Where the picture's image control goes and how large it is.
struct Box {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

inline SizeF sizeOf(QSize size)
{
    return {float(size.width()), float(size.height())};
}

// The scroll bars run from 0 to ScrollMax. The steps are computed so that the
// picture's far edge meets the pane's far edge at ScrollDivisor; the last 20
// units move it a little further.
inline constexpr int ScrollMax = 32700;
inline constexpr int ScrollDivisor = ScrollMax - 20;

// Auto-fit: `image` is the image control's size with stretching off (the
// picture's natural size). The height is tested first, then the width of the
// size that test left; each test is strict, so a picture is only ever
// shrunk, keeping its aspect ratio, and one that fits keeps its size. The
// result is centred in `pane`; the caller turns stretching on afterwards.
Box autoFit(SizeF image, SizeF pane);

// Stretched: the whole pane, aspect ratio ignored.
Box stretched(SizeF pane);

// Actual size: the picture stays at its size at the pane's top-left corner;
// each direction in which it is strictly larger than the pane gets a scroll
// bar and a step (pane pixels per scroll unit), the other a step of 0.
struct ActualSize {
    float horizontalStep = 0;
    float verticalStep = 0;
    bool horizontalBar = false;
    bool verticalBar = false;
};
ActualSize actualSizeSteps(SizeF image, SizeF pane);

// The picture's left (or top) for a scroll value: -(value × step).
float scrollPosition(int value, float step);

// Full view: `image` is the natural size, `pane` the full-view box's
// interior in pixels (the screen), `screenTwips` the screen in twips. The
// width is tested first, then the height of the size that test left, both
// strict; `stretch` tells whether either test shrank the picture. The
// position is half the screen (twips ÷ 30, half a screen of 15-twip pixels)
// less half the picture.
struct FullViewFit {
    Box box;
    bool stretch = false;
};
FullViewFit fullViewFit(SizeF image, SizeF pane, SizeF screenTwips);

} // namespace view
