#pragma once

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace platform {

struct Drive {
    QChar letter;     // upper case
    QString hostRoot; // host folder the drive's root stands for
};

// The drive letters the viewer offers and the host folders behind them.
// On Windows these are the real drives. Elsewhere the table is kept as an
// emulator keeps DOS devices: C: is the home folder, Z: is "/", removable
// media under /media/<user>/ and /run/media/<user>/ follow from D: on; the
// environment variable LUMADEX_DRIVES ("C:=/x;D:=/y") replaces the whole table.
class DriveTable {
public:
    DriveTable() = default;
    explicit DriveTable(QList<Drive> drives);

    // The table for this process, read from the environment on each call.
    static DriveTable fromEnvironment();
    // Parses a LUMADEX_DRIVES text; malformed entries are left out.
    static DriveTable parse(const QString &table);

    const QList<Drive> &drives() const { return m_drives; }
    std::optional<Drive> drive(QChar letter) const;
    // A drive whose folder is missing or unreadable is not ready.
    bool isReady(QChar letter) const;

    // "C:\Photos\a.jpg" -> "<root of C:>/Photos/a.jpg". Each component that
    // does not exist as spelled is looked up without regard to case, as on
    // Windows. Empty when the path has no known drive.
    QString toHostPath(const QString &windowsPath) const;
    // The reverse, through the drive whose folder holds `hostPath` most
    // closely. Empty when no drive holds it.
    QString toWindowsPath(const QString &hostPath) const;

private:
    QList<Drive> m_drives; // sorted by letter
};

// The process's current drive and each drive's current folder, as DOS keeps
// them: changing the folder of a drive does not change the current drive.
class CurrentDirectory {
public:
    // The current drive's current folder, e.g. "C:\Photos".
    static QString path();
    static QChar drive();
    // The current folder of `letter` (its root until ChDir changed it).
    static QString ofDrive(QChar letter);
    // Sets the current folder of the path's drive; fails (false) when the
    // folder does not exist. When that drive is current, the host process's
    // working folder follows.
    static bool chDir(const QString &windowsPath);
    // Makes `letter` the current drive; fails when it is not ready.
    static bool chDrive(QChar letter);
    // Resolves a relative name ("abc.bmp") against the current folder; an
    // absolute path is returned as it is.
    static QString resolve(const QString &name);
    // Starts again from the host's working folder (used at start-up and by tests).
    static void resetFromHost();

private:
    static QMap<QChar, QString> &folders();
    static QChar &currentDrive();
};

} // namespace platform
