#pragma once

#include <QtGlobal>

#include <functional>

// What the window system does to the program's windows without asking it.
namespace platform {

// Calls `destroyed` with the native id of each window the window system
// reports destroyed, on the user-interface thread, as the report arrives.
// On X11 any client may destroy any window (XDestroyWindow), and the toolkit
// carries on as if the window were still there. The program's own
// destructions are reported too: the caller tells them apart as ids that no
// live window holds any more. Elsewhere nothing is reported. Installed once
// per application.
void watchDestroyedWindows(std::function<void(quintptr)> destroyed);

} // namespace platform
