#pragma once

#include "platform/Registry.h"

#include <QString>

// Named text values under one key of the current user's registry hive. An
// empty text and an absent value mean the same; flags are "1" and "0" and
// only "1" is on. Nothing is cached: every reader asks at the moment it
// needs a value, every writer writes at the moment it changes.
namespace settings {

inline const QString ProductKey = QStringLiteral("Software\\Lumadex Viewer");
inline const QString DesktopKey = QStringLiteral("Control Panel\\Desktop");

// Values under ProductKey.
inline const QString TrayIcon = QStringLiteral("TrayIcon");
inline const QString BackColor = QStringLiteral("BackColor");
inline const QString First = QStringLiteral("First");
inline const QString Speed = QStringLiteral("Speed");
inline const QString AutoJump = QStringLiteral("AutoJump");
inline const QString Locate = QStringLiteral("Locate");
inline const QString FileSize = QStringLiteral("FileSize");
inline const QString ImageSize = QStringLiteral("ImageSize");
inline const QString Loop = QStringLiteral("Loop");
inline const QString Action = QStringLiteral("Action");
inline const QString CopyPath = QStringLiteral("CopyPath");

// Values under DesktopKey.
inline const QString TileWallpaper = QStringLiteral("TileWallpaper");
inline const QString WallpaperStyle = QStringLiteral("WallpaperStyle");

// The value's text; the empty text for a missing key or value, a value of
// another type than REG_SZ, or any failure. Never fails towards the caller.
QString ReadSetting(platform::HKEY hive, const QString &keyPath, const QString &valueName);

// Creates the key if needed and stores the text as REG_SZ with its
// terminating NUL. A failed write is silently lost.
void WriteSetting(platform::HKEY hive, const QString &keyPath, const QString &valueName, const QString &text);

// Shorthands for the product key of the current user.
QString Read(const QString &valueName);
void Write(const QString &valueName, const QString &text);

} // namespace settings
