#pragma once

#include "picture/Loader.h"

#include <vector>

namespace app {

class Form1;

// How large the main window's current display mode shows a picture in the
// pane (Auto-Fit: within it, Stretched: exactly it, Actual Size: every
// pixel), so that the decoder makes no pixels nobody sees.
picture::DecodeSize decodeSizeForMode(const Form1 &form);

// The entries decoded ahead once entry `shown` is loaded, moving through a
// list of `count` in `direction` (1 down, -1 up): the next `steps` ones that
// way, none past either end.
std::vector<int> browseAheadIndices(int shown, int direction, int count, int steps);

} // namespace app
