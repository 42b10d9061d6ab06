#pragma once

#include <QString>

namespace platform {

// The program's own folder, where "bookmark.ini" lives (host path):
// LUMADEX_PROGRAM_DIR when set; otherwise programFolderOf() the
// executable's folder.
QString programFolder();

// The executable's folder when it is writable and not an installed
// program's (see programFilesFolderOf()), else the data folder.
QString programFolderOf(const QString &executableFolder);

// The folder of the files the program brings with it and only reads, the
// user's guide "LDX.hlp" among them (host path): LUMADEX_PROGRAM_DIR when
// set; otherwise programFilesFolderOf() the executable's folder.
QString programFilesFolder();

// An installed program's read-only files lie apart from its executable:
// for <prefix>/bin/lumadex-viewer in <prefix>/share/lumadex-viewer, found
// when that folder exists; otherwise (a build folder, a copy kept in one
// folder) beside the executable.
QString programFilesFolderOf(const QString &executableFolder);

// The viewer's data folder, $XDG_DATA_HOME/lumadex-viewer (host path),
// created on first use. It also stands in for the Windows folder.
QString dataFolder();

// The Windows folder (host path): on other systems the data folder.
QString windowsFolder();

} // namespace platform
