#pragma once

#include "picture/Loader.h"

namespace app {

class Form1;

// How large the main window's current display mode shows a picture in the
// pane (Auto-Fit: within it, Stretched: exactly it, Actual Size: every
// pixel), so that the decoder makes no pixels nobody sees. The pane is
// measured in the screen's own pixels, so that a scaled screen gets as many
// pixels as it shows.
picture::DecodeSize decodeSizeForMode(const Form1 &form);

} // namespace app
