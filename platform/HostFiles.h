#pragma once

#include <QString>

// Small host file-system steps shared by the shell's file operations and the
// trash. Paths are host paths.
namespace platform::host {

// Renames `from` to `to` without ever replacing what is at `to`. 0 on
// success, else the error number (EEXIST when `to` is taken, EXDEV when the
// two are on different file systems).
int renameNoReplace(const QString &from, const QString &to);

// Moves the symbolic link `link` to `to`, never replacing what is at `to`,
// so that it names what it named before: a relative target is rewritten for
// the link's new folder (rebasedLinkTarget), an absolute one stays. The link
// is renamed where it can be; otherwise (a new target, another file system)
// a new link takes `to` and the old one goes. 0 on success, else the error
// number, the link then where it was.
int moveLinkNoReplace(const QString &link, const QString &to);

// The target that makes a link in `toFolder` name what `target` names from
// a link in `fromFolder`; both folders are canonical (no links, "." or
// ".."). A relative target is prefixed with the way from `toFolder` to
// `fromFolder`, and its leading ".." steps are taken along that way, which
// consists of real folders only, so the result names the same place even
// where the target itself passes through links. An absolute one is returned
// as it is.
QString rebasedLinkTarget(const QString &target, const QString &fromFolder, const QString &toFolder);

// Flushes a folder's entries to the disk, so a rename into it survives a crash.
void syncFolder(const QString &folder);

// The system's words for an error number.
QString errorText(int error);

} // namespace platform::host
