#include "controls/FolderReader.h"

#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>

#include <dirent.h>

namespace controls {

namespace {

// Greedy glob with one back-tracking point, over case-folded text.
bool globMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

FilePattern::FilePattern(const QString &patterns)
{
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString p = part.trimmed().toCaseFolded();
        if (p.isEmpty())
            continue;
        if (p == QLatin1String("*.*") || p == QLatin1String("*"))
            m_all = true;
        m_patterns << p;
    }
    if (m_patterns.isEmpty())
        m_all = true;
}

bool FilePattern::matches(const QString &name) const
{
    if (m_all)
        return true;
    const QString folded = name.toCaseFolded();
    return std::any_of(m_patterns.cbegin(), m_patterns.cend(),
                       [&](const QString &p) { return globMatch(p, folded); });
}

std::optional<FolderEntries> readFolder(const QString &hostFolder, FolderParts parts)
{
    FolderEntries result;
    const bool read = platform::forEachHostEntry(hostFolder, [&](QByteArrayView name, platform::HostEntryType type) {
        if (name.startsWith('.'))
            return;
        if (parts == FolderParts::Files && type.isFile)
            result.files << platform::windowsNameFromHost(platform::hostPathFromBytes(name));
        else if (parts == FolderParts::Folders && type.isDir)
            result.folders << platform::windowsNameFromHost(platform::hostPathFromBytes(name));
    });
    if (!read)
        return std::nullopt;
    return result;
}

std::optional<QStringList> readSortedFiles(const QString &hostFolder)
{
    struct Kept {
        QString folder;
        platform::HostFileStatus status;
        QElapsedTimer age;
        QStringList files;
    };
    static std::optional<Kept> kept;
    // The file system stamps changes with a coarse clock (a tick of a few
    // milliseconds): a change in the tick of the read could leave the change
    // time as it was, so a folder changed that recently is read again.
    constexpr qint64 ClockStepNs = 20'000'000;
    constexpr qint64 KeptMs = 1000;

    const std::optional<platform::HostFileStatus> before = platform::hostFileStatus(hostFolder);
    if (kept && before && kept->folder == hostFolder && kept->age.elapsed() < KeptMs && kept->status.device == before->device
        && kept->status.inode == before->inode && kept->status.changedNs == before->changedNs)
        return kept->files;
    kept.reset();

    const qint64 readStartNs = QDateTime::currentMSecsSinceEpoch() * 1'000'000;
    std::optional<FolderEntries> entries = readFolder(hostFolder, FolderParts::Files);
    if (!entries)
        return std::nullopt;
    sortNamesIgnoringCase(entries->files);
    const std::optional<platform::HostFileStatus> after = platform::hostFileStatus(hostFolder);
    if (before && after && before->inode == after->inode && before->changedNs == after->changedNs
        && after->changedNs < readStartNs - ClockStepNs) {
        kept = Kept{hostFolder, *after, {}, entries->files};
        kept->age.start();
    }
    return std::move(entries->files);
}

bool canListFolder(const QString &hostFolder)
{
    if (hostFolder.isEmpty())
        return false;
    DIR *dir = ::opendir(platform::hostPathBytes(hostFolder).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

std::optional<OpenedFolder> openFolder(const QString &windowsPath)
{
    QString full = windowsPath.trimmed();
    if (full.size() == 2 && !winpath::driveLetter(full).isNull())
        full = platform::CurrentDirectory::ofDrive(winpath::driveLetter(full));
    full = winpath::normalized(platform::CurrentDirectory::resolve(full));
    const platform::DriveTable table = platform::DriveTable::fromEnvironment();
    const auto drive = table.drive(winpath::driveLetter(full));
    if (!drive)
        return std::nullopt;
    const QString host = table.toHostPath(full);
    std::optional<FolderEntries> entries = readFolder(host, FolderParts::Folders);
    if (!entries)
        return std::nullopt;
    // Spelled through this drive alone: a nested drive's folder keeps the
    // letter it was opened under.
    QString spelled = platform::DriveTable({*drive}).toWindowsPath(host);
    if (spelled.isEmpty())
        spelled = full;
    sortNamesIgnoringCase(entries->folders);
    return OpenedFolder{winpath::normalized(spelled), entries->folders};
}

void sortNamesIgnoringCase(QStringList &names)
{
    // Folding once per name keeps the sort of a large folder cheap.
    struct Keyed {
        QString key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString &name : names)
        keyed.push_back({name.toCaseFolded(), std::move(name)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].name);
}

} // namespace controls
