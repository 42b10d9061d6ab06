#include "platform/ShellFileOps.h"

#include "platform/Drives.h"
#include "platform/HostFiles.h"
#include "platform/HostPath.h"
#include "platform/ShellFileOpsTesting.h"
#include "platform/Trash.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int LastCopyNumber = 9999;
constexpr size_t ChunkBytes = 1 << 20;

std::unique_ptr<ShellFileOps> &current()
{
    static std::unique_ptr<ShellFileOps> instance;
    return instance;
}

qint64 &copyWriteFault()
{
    static qint64 failAfter = -1;
    return failAfter;
}

FileOpResult failure(const QString &path, int error)
{
    return FileOpResult::failed(path, host::errorText(error));
}

// The names in use in a folder. They are compared without regard to case,
// as Windows compares them, so a free name never lands beside one that a
// Windows path would take for the same file.
class FolderNames {
public:
    explicit FolderNames(const QString &folder) : m_folder(folder)
    {
        forEachHostEntry(folder, [this](QByteArrayView entry, HostEntryType) {
            m_taken.insert(hostPathFromBytes(entry).toCaseFolded());
        });
    }
    void take(const QString &name) { m_taken.insert(name.toCaseFolded()); }
    QString next(const QString &name) const
    {
        return freeName(name, [this](const QString &candidate) {
            return m_taken.contains(candidate.toCaseFolded()) || hostPathTaken(QDir(m_folder).filePath(candidate));
        });
    }

private:
    QString m_folder;
    QSet<QString> m_taken;
};

// Puts a file into `folder` under the first free name for `name`: `place`
// moves it to the path it is given without replacing anything there. A name
// taken between reading the folder and the move is skipped, never replaced.
int placeUnderFreeName(const QString &folder, const QString &name, const std::function<int(const QString &)> &place,
                       QString *placed)
{
    FolderNames names(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = names.next(name);
        if (candidate.isEmpty())
            return EEXIST;
        const QString target = QDir(folder).filePath(candidate);
        const int error = place(target);
        if (error == 0) {
            *placed = target;
            return 0;
        }
        if (error != EEXIST)
            return error;
        names.take(candidate);
    }
    return EEXIST;
}

// Writes a chunk of a copy that starts `offset` bytes into the file; the
// test fault cuts it off as a full disk would.
int writeChunk(int fd, QByteArrayView data, qint64 offset)
{
    if (copyWriteFault() >= 0 && offset + data.size() > copyWriteFault()) {
        host::writeAll(fd, data.first(qBound(qint64(0), copyWriteFault() - offset, qint64(data.size()))));
        return ENOSPC;
    }
    return host::writeAll(fd, data);
}

// Copies `source` into `folder` under a free name. The data go into a hidden
// temporary file there, which takes the free name only once it is complete,
// on the disk and as long as the source; so whatever happens, no partial
// file is left under a real name. With `removeSource` the source goes last,
// and when it cannot be removed the copy is taken back.
FileOpResult copyFile(const QString &source, const QString &folder, CopyProgress *progress, bool removeSource)
{
    const QByteArray src = hostPathBytes(source);
    const host::Descriptor in(::open(src.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return failure(source, errno);
    struct stat before {};
    if (::fstat(in.get(), &before) != 0)
        return failure(source, errno);

    host::TemporaryFile out(folder, QStringLiteral("copy"), 0600);
    if (out.error())
        return failure(folder, out.error());

    const QString name = QFileInfo(source).fileName();
    const qint64 total = before.st_size;
    qint64 copied = 0;
    if (progress && !progress->advance(name, 0, total))
        return FileOpResult::cancelled();
    std::vector<char> buffer(ChunkBytes);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failure(source, errno);
        }
        if (got == 0)
            break;
        if (const int error = writeChunk(out.descriptor(), QByteArrayView(buffer.data(), got), copied))
            return failure(folder, error);
        copied += got;
        if (progress && !progress->advance(name, copied, total))
            return FileOpResult::cancelled();
    }

    // The copy keeps the source's permissions and times, as the shell's does.
    ::fchmod(out.descriptor(), before.st_mode & 0777);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::futimens(out.descriptor(), times);
    struct stat after {};
    struct stat written {};
    if (::fstat(in.get(), &after) != 0 || ::fstat(out.descriptor(), &written) != 0)
        return failure(source, errno);
    if (copied != total || written.st_size != total || after.st_size != total)
        return FileOpResult::failed(source, QStringLiteral("The file changed while it was being copied."));

    QString placed;
    const int placing = out.commit([&](const QString &temporary) {
        return placeUnderFreeName(
            folder, name, [&temporary](const QString &target) { return host::renameNoReplace(temporary, target); },
            &placed);
    });
    if (placing != 0)
        return failure(folder, placing);
    if (removeSource) {
        if (::unlink(src.constData()) != 0) {
            const int error = errno;
            ::unlink(hostPathBytes(placed).constData());
            return failure(source, error);
        }
        host::syncFolder(QFileInfo(source).absolutePath());
    }
    return FileOpResult::done(placed);
}

bool sameFolder(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(hostPathBytes(a).constData(), &sa) == 0 && ::stat(hostPathBytes(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

FileOpResult moveFile(const QString &source, const QString &folder, CopyProgress *progress)
{
    if (sameFolder(QFileInfo(source).absolutePath(), folder))
        return FileOpResult::done(source);
    // A link moves as a link, to any file system, and names the same file
    // afterwards: its relative target is rewritten for the new folder.
    const bool link = hostIsSymLink(source);
    const auto move = [&source, link](const QString &target) {
        return link ? host::moveLinkNoReplace(source, target) : host::renameNoReplace(source, target);
    };
    QString placed;
    const int error = placeUnderFreeName(folder, QFileInfo(source).fileName(), move, &placed);
    if (error == 0) {
        host::syncFolder(folder);
        if (link)
            host::syncFolder(QFileInfo(source).absolutePath());
        return FileOpResult::done(placed);
    }
    if (error != EXDEV || link)
        return failure(source, error);
    return copyFile(source, folder, progress, true);
}

// The operations of the shell on the host's files, reached through the
// drive table.
class DesktopFileOps final : public ShellFileOps {
public:
    FileOpResult copyTo(const QString &source, const QString &destinationFolder, CopyProgress *progress) override
    {
        return run(source, [&](const QString &file) {
            const QString folder = hostFolder(destinationFolder);
            if (folder.isEmpty())
                return missingFolder(destinationFolder);
            return inWindowsTerms(copyFile(file, folder, progress, false));
        });
    }

    FileOpResult moveTo(const QString &source, const QString &destinationFolder, CopyProgress *progress) override
    {
        return run(source, [&](const QString &file) {
            const QString folder = hostFolder(destinationFolder);
            if (folder.isEmpty())
                return missingFolder(destinationFolder);
            return inWindowsTerms(moveFile(file, folder, progress));
        });
    }

    FileOpResult moveToTrash(const QString &source) override
    {
        return run(source, [this](const QString &file) {
            // The trash is no place of the drive table: its path stays a host path.
            FileOpResult result = trash::moveToTrash(file);
            return result.ok() ? result : inWindowsTerms(result);
        });
    }

    FileOpResult rename(const QString &source, const QString &newName) override
    {
        return run(source, [&](const QString &file) {
            if (newName.isEmpty())
                return FileOpResult::failed(source, QStringLiteral("No new name was given."));
            // A name Windows refuses would be no Windows name here either:
            // "a?b.jpg" lists as another name, "abc.jpg." drops out of the list.
            if (!winpath::isAllowedFileName(winpath::fileName(newName)))
                return FileOpResult::failed(source, QStringLiteral("Windows does not allow this name."));
            QString target = m_drives.toHostPath(CurrentDirectory::resolve(newName));
            if (target.isEmpty())
                return missingFolder(newName);
            // Only the letter case changed: the case-blind lookup finds the
            // file itself, and the name is taken as it was typed.
            if (target == file)
                target = QFileInfo(file).path() + QLatin1Char('/') + hostNameFromWindows(winpath::fileName(newName));
            const int error = hostIsSymLink(file) ? host::moveLinkNoReplace(file, target)
                                                  : host::renameNoReplace(file, target);
            if (error != 0)
                return inWindowsTerms(failure(target, error));
            return inWindowsTerms(FileOpResult::done(target));
        });
    }

private:
    // Runs `operation` on the host path of the file `source` names. An empty
    // or cut-off name could stand for a folder; only a file is handed on.
    template <typename Operation>
    FileOpResult run(const QString &source, Operation operation)
    {
        m_drives = DriveTable::fromEnvironment();
        const QString file = source.isEmpty() ? QString() : m_drives.toHostPath(CurrentDirectory::resolve(source));
        const auto status = hostFileStatus(file);
        if (file.isEmpty() || !((status && status->isFile) || hostIsSymLink(file)))
            return FileOpResult::failed(source, QStringLiteral("There is no such file."));
        return operation(file);
    }

    // The result's host path as the Windows path the viewer shows (kept as
    // it is when no drive holds it).
    FileOpResult inWindowsTerms(FileOpResult result) const
    {
        const QString windows = m_drives.toWindowsPath(result.path);
        if (!result.path.isEmpty() && !windows.isEmpty())
            result.path = windows;
        return result;
    }

    QString hostFolder(const QString &windowsFolder) const
    {
        const QString folder =
            windowsFolder.isEmpty() ? QString() : m_drives.toHostPath(CurrentDirectory::resolve(windowsFolder));
        return hostIsDir(folder) ? folder : QString();
    }

    static FileOpResult missingFolder(const QString &windowsPath)
    {
        return FileOpResult::failed(windowsPath, QStringLiteral("There is no such folder."));
    }

    DriveTable m_drives;
};

} // namespace

ShellFileOps &shellFileOps()
{
    if (!current())
        current() = makeDesktopFileOps();
    return *current();
}

void setShellFileOps(std::unique_ptr<ShellFileOps> instance)
{
    current() = std::move(instance);
}

std::unique_ptr<ShellFileOps> makeDesktopFileOps()
{
    return std::make_unique<DesktopFileOps>();
}

QString freeName(const QString &name, const std::function<bool(const QString &)> &taken)
{
    if (!taken(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    for (int number = 1; number <= LastCopyNumber; ++number) {
        const QString copy = number == 1 ? QStringLiteral(" - Copy") : QStringLiteral(" - Copy (%1)").arg(number);
        const QString candidate = stem + copy + suffix;
        if (!taken(candidate))
            return candidate;
    }
    return {};
}

namespace testing {

void setCopyWriteFault(qint64 failAfterBytes)
{
    copyWriteFault() = failAfterBytes;
}

} // namespace testing

} // namespace platform
