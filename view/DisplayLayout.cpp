#include "view/DisplayLayout.h"

#include <algorithm>

namespace view {

namespace {

// An unsized pane (a widget that was never laid out) counts as empty. With
// the pane at 0 or more, every division below is by a side that is strictly
// larger than the pane's, so it is never a division by zero, even for an
// empty (0 × 0) picture.
SizeF nonNegative(SizeF size)
{
    return {std::max(size.width, 0.0f), std::max(size.height, 0.0f)};
}

} // namespace

Box autoFit(SizeF image, SizeF pane)
{
    pane = nonNegative(pane);
    float w = image.width;
    float h = image.height;
    if (h > pane.height) {
        w = pane.height / h * w;
        h = pane.height;
    }
    if (w > pane.width) {
        h = pane.width / w * h;
        w = pane.width;
    }
    return {pane.width / 2 - w / 2, pane.height / 2 - h / 2, w, h};
}

Box stretched(SizeF pane)
{
    return {0, 0, pane.width, pane.height};
}

ActualSize actualSizeSteps(SizeF image, SizeF pane)
{
    ActualSize result;
    if (pane.width < image.width) {
        result.horizontalStep = (image.width - pane.width) / float(ScrollDivisor);
        result.horizontalBar = true;
    }
    if (pane.height < image.height) {
        result.verticalStep = (image.height - pane.height) / float(ScrollDivisor);
        result.verticalBar = true;
    }
    return result;
}

float scrollPosition(int value, float step)
{
    return -(float(value) * step);
}

FullViewFit fullViewFit(SizeF image, SizeF pane, SizeF screenTwips)
{
    pane = nonNegative(pane);
    FullViewFit result;
    float w = image.width;
    float h = image.height;
    if (w > pane.width) {
        h = pane.width / w * h;
        w = pane.width;
        result.stretch = true;
    }
    if (h > pane.height) {
        w = pane.height / h * w;
        h = pane.height;
        result.stretch = true;
    }
    result.box = {screenTwips.width / 30 - w / 2, screenTwips.height / 30 - h / 2, w, h};
    return result;
}

} // namespace view
