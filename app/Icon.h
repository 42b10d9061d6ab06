#pragma once

#include <QIcon>

namespace app {

// The program's own icon (a framed landscape, in app/icons): the window icon
// of every form and the picture of the tray icon.
QIcon applicationIcon();

} // namespace app
