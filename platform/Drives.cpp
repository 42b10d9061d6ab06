#include "platform/Drives.h"

#include "platform/HostPath.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

#include <unistd.h>

namespace platform {

namespace {

QString cleanHost(const QString &path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : hostCurrentPath() + QLatin1Char('/') + path);
}

// Removable media folders mounted for the current user, in name order.
QStringList removableMediaFolders()
{
    QStringList result;
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    if (user.isEmpty())
        return result;
    for (const QString &base : {QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user}) {
        QStringList names;
        forEachHostEntry(base, [&](QByteArrayView name, HostEntryType type) {
            if (type.isDir)
                names << hostPathFromBytes(name);
        });
        names.sort();
        for (const QString &name : names)
            result << base + QLatin1Char('/') + name;
    }
    return result;
}

} // namespace

DriveTable::DriveTable(QList<Drive> drives) : m_drives(std::move(drives))
{
    std::sort(m_drives.begin(), m_drives.end(),
              [](const Drive &a, const Drive &b) { return a.letter < b.letter; });
}

DriveTable DriveTable::parse(const QString &table)
{
    QList<Drive> drives;
    const QStringList entries = table.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const int eq = entry.indexOf(QLatin1Char('='));
        if (eq < 1)
            continue;
        const QString name = entry.left(eq).trimmed();
        const QString folder = entry.mid(eq + 1).trimmed();
        const QChar letter = winpath::driveLetter(name.size() == 1 ? name + QLatin1Char(':') : name);
        if (letter.isNull() || folder.isEmpty())
            continue;
        const bool taken = std::any_of(drives.begin(), drives.end(),
                                       [&](const Drive &d) { return d.letter == letter; });
        if (!taken)
            drives.append({letter, cleanHost(folder)});
    }
    return DriveTable(drives);
}

DriveTable DriveTable::fromEnvironment()
{
    const QString table = hostPathFromBytes(qgetenv("LUMADEX_DRIVES"));
    if (!table.trimmed().isEmpty())
        return parse(table);
    QList<Drive> drives;
    drives.append({QLatin1Char('C'), cleanHost(QDir::homePath())});
    char next = 'D';
    for (const QString &folder : removableMediaFolders()) {
        if (next >= 'Z')
            break;
        drives.append({QLatin1Char(next++), cleanHost(folder)});
    }
    drives.append({QLatin1Char('Z'), QStringLiteral("/")});
    return DriveTable(drives);
}

std::optional<Drive> DriveTable::drive(QChar letter) const
{
    letter = letter.toUpper();
    for (const Drive &d : m_drives)
        if (d.letter == letter)
            return d;
    return std::nullopt;
}

bool DriveTable::isReady(QChar letter) const
{
    const auto d = drive(letter);
    if (!d)
        return false;
    return hostIsDir(d->hostRoot) && ::access(hostPathBytes(d->hostRoot).constData(), R_OK | X_OK) == 0;
}

QString DriveTable::toHostPath(const QString &windowsPath) const
{
    const QChar letter = winpath::driveLetter(windowsPath);
    const auto d = drive(letter);
    if (!d)
        return {};
    QString rest = windowsPath.mid(2);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QStringList host; // components below the drive's root
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!host.isEmpty())
                host.removeLast();
            continue;
        }
        const QString here = host.isEmpty() ? d->hostRoot : d->hostRoot + QLatin1Char('/') + host.join(QLatin1Char('/'));
        QString name = hostNameFromWindows(part);
        if (!hostFileStatus(here + QLatin1Char('/') + name)) {
            // Compared as Windows names, which is what the caller spelled.
            bool found = false;
            forEachHostEntry(here, [&](QByteArrayView entry, HostEntryType) {
                const QString entryName = hostPathFromBytes(entry);
                if (!found && windowsNameFromHost(entryName).compare(part, Qt::CaseInsensitive) == 0) {
                    name = entryName;
                    found = true;
                }
            });
        }
        host << name;
    }
    if (host.isEmpty())
        return d->hostRoot;
    if (d->hostRoot == QLatin1String("/"))
        return QLatin1Char('/') + host.join(QLatin1Char('/'));
    return d->hostRoot + QLatin1Char('/') + host.join(QLatin1Char('/'));
}

QString DriveTable::toWindowsPath(const QString &hostPath) const
{
    const QString clean = cleanHost(hostPath);
    const Drive *best = nullptr;
    for (const Drive &d : m_drives) {
        const bool inside = d.hostRoot == QLatin1String("/") || clean == d.hostRoot
                            || clean.startsWith(d.hostRoot + QLatin1Char('/'));
        if (inside && (!best || d.hostRoot.size() > best->hostRoot.size()))
            best = &d;
    }
    if (!best)
        return {};
    const QString rest = clean.mid(best->hostRoot == QLatin1String("/") ? 1 : best->hostRoot.size() + 1);
    QStringList names;
    for (const QString &name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        names << windowsNameFromHost(name);
    return winpath::driveRoot(best->letter) + names.join(QLatin1Char('\\'));
}

QMap<QChar, QString> &CurrentDirectory::folders()
{
    static QMap<QChar, QString> map;
    return map;
}

QChar &CurrentDirectory::currentDrive()
{
    static QChar drive;
    return drive;
}

void CurrentDirectory::resetFromHost()
{
    folders().clear();
    const DriveTable table = DriveTable::fromEnvironment();
    const QString here = table.toWindowsPath(hostCurrentPath());
    if (here.isEmpty()) {
        currentDrive() = table.drives().isEmpty() ? QLatin1Char('C') : table.drives().first().letter;
        return;
    }
    currentDrive() = winpath::driveLetter(here);
    folders()[currentDrive()] = winpath::normalized(here);
}

QChar CurrentDirectory::drive()
{
    if (currentDrive().isNull())
        resetFromHost();
    return currentDrive();
}

QString CurrentDirectory::ofDrive(QChar letter)
{
    letter = letter.toUpper();
    drive(); // initialise from the host on first use
    const QString folder = folders().value(letter);
    if (folder.isEmpty())
        return winpath::driveRoot(letter);
    // A folder removed from outside is no current folder any more: the drive
    // starts again from its root.
    const QString host = DriveTable::fromEnvironment().toHostPath(folder);
    if (!hostIsDir(host)) {
        folders().remove(letter);
        return winpath::driveRoot(letter);
    }
    return folder;
}

QString CurrentDirectory::path()
{
    return ofDrive(drive());
}

bool CurrentDirectory::chDir(const QString &windowsPath)
{
    const QString full = winpath::isAbsolute(windowsPath) ? windowsPath : resolve(windowsPath);
    const DriveTable table = DriveTable::fromEnvironment();
    const QString host = table.toHostPath(full);
    if (!hostIsDir(host))
        return false;
    const QChar letter = winpath::driveLetter(full);
    QString spelled = table.toWindowsPath(host);
    if (winpath::driveLetter(spelled) != letter) // a nested drive's folder keeps its own letter
        spelled = winpath::normalized(full);
    folders()[letter] = winpath::normalized(spelled);
    if (letter == drive())
        setHostCurrentPath(host);
    return true;
}

bool CurrentDirectory::chDrive(QChar letter)
{
    letter = letter.toUpper();
    const DriveTable table = DriveTable::fromEnvironment();
    if (!table.isReady(letter))
        return false;
    drive();
    currentDrive() = letter;
    QString host = table.toHostPath(ofDrive(letter));
    if (!hostIsDir(host)) {
        folders().remove(letter);
        host = table.drive(letter)->hostRoot;
    }
    setHostCurrentPath(host);
    return true;
}

QString CurrentDirectory::resolve(const QString &name)
{
    if (winpath::isAbsolute(name))
        return name;
    if (name.startsWith(QLatin1Char('\\')))
        return QString(drive()) + QLatin1Char(':') + name;
    return winpath::join(path(), name);
}

} // namespace platform
