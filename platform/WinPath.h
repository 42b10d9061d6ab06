#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Text operations on Windows paths ("C:\Photos\beach.jpg"). They never touch
// the file system; platform::DriveTable turns such paths into host paths.
namespace winpath {

// The drive letter of "C:\..." or "c:" in upper case, or a null QChar.
QChar driveLetter(const QString &path);
// "C:\" for the letter.
QString driveRoot(QChar letter);
// True for "C:\" (and "C:").
bool isDriveRoot(const QString &path);
// Folder, one backslash unless the folder already ends in one, then the name:
// ("C:\", "a.bmp") -> "C:\a.bmp", ("C:\Photos", "a.bmp") -> "C:\Photos\a.bmp".
QString join(const QString &folder, const QString &name);
// The folder that holds `path` ("C:\Photos\a.bmp" -> "C:\Photos", "C:\Photos" -> "C:\");
// a drive root has none (empty result).
QString parent(const QString &path);
// The last component ("C:\Photos\a.bmp" -> "a.bmp"; a root gives "").
QString fileName(const QString &path);
// Removes a trailing backslash except from a drive root, folds "/" into "\",
// and upper-cases the drive letter.
QString normalized(const QString &path);
// True when `path` starts with a drive letter and a colon.
bool isAbsolute(const QString &path);
// Compares without regard to letter case, as Windows does.
bool same(const QString &a, const QString &b);

// A character Windows refuses in a file or folder name: a control character
// (U+0000..U+001F) or one of \ / : * ? " < > |.
bool forbiddenInName(char32_t c);
// A file name Windows takes: not empty, no forbidden character, no dot or
// blank at its end, and no device name (CON, PRN, AUX, NUL, COM1..COM9,
// LPT1..LPT9, in any case, also with an extension: "nul.jpg" is NUL).
bool isAllowedFileName(QStringView name);

} // namespace winpath
