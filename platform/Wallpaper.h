#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// SystemParametersInfoA(SPI_SETDESKWALLPAPER): makes a picture file the
// desktop background. Windows takes the style from the "Control Panel\Desktop"
// values; elsewhere the caller reads them and passes the style on, and the
// desktop's own background setting is changed. Handlers reach it through
// wallpaper(); tests put a recording double in place with setWallpaper().
namespace platform {

enum class WallpaperStyle { Tiled, Centred, Stretched };

// The style that "TileWallpaper" and "WallpaperStyle" stand for, as Windows
// reads them: "TileWallpaper" "1" tiles; otherwise "WallpaperStyle" "2"
// stretches; anything else centres.
WallpaperStyle wallpaperStyleFromValues(const QString &tileWallpaper, const QString &wallpaperStyle);

class Wallpaper {
public:
    virtual ~Wallpaper() = default;
    // `hostPath` names a picture file. False when the desktop was not changed;
    // the reason has been logged.
    virtual bool setDesktopWallpaper(const QString &hostPath, WallpaperStyle style) = 0;
};

Wallpaper &wallpaper();
// Replaces the wallpaper setter (the program uses the desktop's; tests a double).
void setWallpaper(std::unique_ptr<Wallpaper> instance);

// The desktops whose background setting we know how to change.
enum class Desktop { Unknown, Gnome, Cinnamon, Mate, Kde, Xfce };

// The desktop that XDG_CURRENT_DESKTOP names: a colon-separated list such as
// "ubuntu:GNOME" or "X-Cinnamon", compared without regard to case; the first
// entry we know wins.
Desktop desktopFrom(const QString &xdgCurrentDesktop);

// What a finished program left behind.
struct CommandResult {
    bool ok = false; // started, and ended by itself with status 0
    QByteArray output; // standard output
    QString error; // why it failed: its standard error or the start failure
};
using CommandRunner = std::function<CommandResult(const QString &program, const QStringList &arguments)>;

// Runs the program and waits for it.
CommandResult runCommand(const QString &program, const QStringList &arguments);

// The setter for `desktop`, which runs the desktop's own tools through `run`:
// gsettings (GNOME, Unity, Cinnamon, MATE), dbus-send to Plasma's scripting
// interface (KDE), xfconf-query for every monitor's backdrop (XFCE). For an
// unknown desktop nothing is changed and one line says so on standard error.
std::unique_ptr<Wallpaper> makeDesktopWallpaper(Desktop desktop, CommandRunner run = runCommand);
// The setter for the desktop that XDG_CURRENT_DESKTOP names now.
std::unique_ptr<Wallpaper> makeDesktopWallpaper();

} // namespace platform
