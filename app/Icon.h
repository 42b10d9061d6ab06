#pragma once

#include <QIcon>

class QWidget;

namespace app {

// The program's own icon (a framed landscape, app/icons/lumadex-viewer.svg,
// rendered at build time): the window icon of every form and the picture of
// the tray icon. Its pictures are read when first shown.
QIcon applicationIcon();

// Gives every window, and `main`, the program's icon. Called once the main
// window is on the screen: a window's icon is sent to the window system in
// every size, which the first paint need not wait for.
void showApplicationIcon(QWidget *main);

} // namespace app
