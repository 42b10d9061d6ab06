#pragma once

#include <functional>

namespace app {

// Ends the process at once: no window's unload handler runs. Settings are
// written when they change, so nothing is lost by ending here.
void End();

// Replaces what End() does (tests record the call instead of exiting).
void setEndHandler(std::function<void()> handler);

// Sets how the process keeps freed memory, before anything is allocated: a
// slide show decodes one large picture after another, so blocks below
// 64 MB (a 16-megapixel bitmap) are kept for the next picture instead of
// being mapped and cleared afresh each time, and larger ones go straight
// back to the system. Without it the C library's own moving limits keep
// different amounts from one picture to the next. All threads share one
// pool, so that what the decode workers free is there for each other.
void configureMemory();

} // namespace app
