#pragma once

#include "picture/Loader.h"

#include <vector>

namespace app {

class Form1;

// How large the main window's current display mode shows a picture in the
// pane (Auto-Fit: within it, Stretched: exactly it, Actual Size: every
// pixel), so that the decoder makes no pixels nobody sees. The pane is
// measured in the screen's own pixels, so that a scaled screen gets as many
// pixels as it shows.
picture::DecodeSize decodeSizeForMode(const Form1 &form);

// The entries decoded ahead once entry `shown` is loaded, moving through a
// list of `count` in `direction` (1 down, -1 up): the next `steps` ones that
// way, none past either end.
std::vector<int> browseAheadIndices(int shown, int direction, int count, int steps);

// The entries decoded while a key held down moves through a list of `count`
// in `direction`, the list being at entry `at`, `keyMs` between keys and a
// decode taking `decodeMs`: those of `pending` not yet passed, then new ones
// far enough ahead that their pictures are ready when the key reaches them
// (a decode's worth of keys and one more), spaced so that `workers` decodes
// at a time keep pace with the key, and never past the end of the list,
// where a key held long enough stops.
std::vector<int> heldKeyTargets(int at, int direction, int count, const std::vector<int> &pending, double decodeMs,
                                double keyMs, int workers);

} // namespace app
