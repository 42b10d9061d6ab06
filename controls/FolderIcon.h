#pragma once

#include <QIcon>

namespace controls {

// The folders of the folder list: a yellow folder, open (the folders of the
// path) or closed (those below it), drawn for whatever size and screen
// scale it is shown at. Drawn, not looked up: the style's folder icons go
// through the desktop's icon theme, which costs several milliseconds of the
// start-up (reading the theme's index, loading the SVG icon engine) before
// the first paint.
QIcon folderIcon(bool open);

} // namespace controls
