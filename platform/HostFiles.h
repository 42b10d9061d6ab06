#pragma once

#include <QString>

// Small host file-system steps shared by the shell's file operations and the
// trash. Paths are host paths.
namespace platform::host {

// Renames `from` to `to` without ever replacing what is at `to`. 0 on
// success, else the error number (EEXIST when `to` is taken, EXDEV when the
// two are on different file systems).
int renameNoReplace(const QString &from, const QString &to);

// Flushes a folder's entries to the disk, so a rename into it survives a crash.
void syncFolder(const QString &folder);

// The system's words for an error number.
QString errorText(int error);

} // namespace platform::host
