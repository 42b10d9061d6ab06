#pragma once

#include <QString>

namespace platform {

// The program's own folder, where "bookmark.ini" and "LDX.hlp" live (host
// path): LUMADEX_PROGRAM_DIR when set; otherwise the executable's folder
// when it is writable, else the data folder.
QString programFolder();

// The program folder as the viewer names it, a Windows path through the
// drive table ("C:\Programs\Lumadex"); empty when no drive holds it.
QString programFolderWindowsPath();

// The viewer's data folder, $XDG_DATA_HOME/lumadex-viewer (host path),
// created on first use. It also stands in for the Windows folder.
QString dataFolder();

// The Windows folder (host path): on other systems the data folder.
QString windowsFolder();

} // namespace platform
