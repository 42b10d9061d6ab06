#pragma once

#include <functional>

namespace app {

// Ends the process at once: no window's unload handler runs. Settings are
// written when they change, so nothing is lost by ending here.
void End();

// Replaces what End() does (tests record the call instead of exiting).
void setEndHandler(std::function<void()> handler);

} // namespace app
