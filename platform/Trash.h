#pragma once

#include "platform/ShellFileOps.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The freedesktop.org trash, written out step by step rather than through
// QFile::moveToTrash, whose Qt 6.4 version can report success for a file it
// put somewhere else. All paths here are host paths.
namespace platform::trash {

// The home trash, $XDG_DATA_HOME/Trash (~/.local/share/Trash by default).
QString homeTrash();

// The top folder (mount point) of the file system holding the existing
// folder `hostFolder`.
QString volumeTop(const QString &hostFolder);

// The trash of the user on a volume other than the home one, under its top
// folder: "$top/.Trash/$uid" when "$top/.Trash" is a real folder (not a
// symbolic link) with the sticky bit, else "$top/.Trash-$uid". Created as
// needed, with its "files" and "info" folders; none when neither can be used.
std::optional<QString> volumeTrash(const QString &top);

// The text of a .trashinfo file: the original path (absolute for the home
// trash, relative to the top folder for a volume's trash; bytes as the file
// system holds them) percent-encoded, and the deletion time in local time.
QByteArray trashInfo(const QByteArray &originalPath, const QDateTime &deletedAt);

// Moves a file (or symbolic link) into the trash of its own volume, or the
// home trash when it lies on the home volume, with its .trashinfo written
// first. Refuses, leaving the file alone, when no trash can take it.
FileOpResult moveToTrash(const QString &hostPath);

} // namespace platform::trash
