#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace app {

// The picture or folder a start names, as a file manager's "Open with"
// passes it: the first argument after the program's own name (Qt has taken
// its own options out by then), as host path text with its bytes kept, a
// relative path resolved against `workingFolder` and "." and ".." taken
// out. Nothing when there is no argument; further ones are left alone, as
// the viewer shows one picture at a time.
std::optional<QString> startPath(const QList<QByteArray> &arguments, const QString &workingFolder);

// The arguments after the program's name, as the system gave their bytes.
QList<QByteArray> argumentsOf(int argc, char **argv);

// Once the main window is loaded: shows the start's own path, if any, and
// from then on every path a later start hands over.
void showHandedPaths(const std::optional<QString> &startPath);

} // namespace app
