#pragma once

#include <QIcon>

namespace app {

// The program's own icon (a framed landscape, app/icons/lumadex-viewer.svg,
// rendered at build time): the window icon of every form and the picture of
// the tray icon.
QIcon applicationIcon();

} // namespace app
