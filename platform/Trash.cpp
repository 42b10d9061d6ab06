#include "platform/Trash.h"

#include "platform/HostFiles.h"
#include "platform/HostPath.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::trash {

namespace {

constexpr int LastTrashNumber = 9999;

std::optional<struct stat> linkStatus(const QString &path)
{
    struct stat st {};
    if (::lstat(hostPathBytes(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

// The device of the nearest folder on the way up from `path` that exists.
dev_t deviceOf(QString path)
{
    struct stat st {};
    while (::stat(hostPathBytes(path).constData(), &st) != 0) {
        const QString up = QFileInfo(path).path();
        if (up == path)
            return 0;
        path = up;
    }
    return st.st_dev;
}

// Makes `folder` (and its "files" and "info") for the user alone. A volume's
// trash must be a real folder of this user's, not a link planted by another.
bool makeTrashFolder(const QString &folder, bool mustBeOwn)
{
    if (::mkdir(hostPathBytes(folder).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    const auto st = linkStatus(folder);
    if (mustBeOwn && (!st || !S_ISDIR(st->st_mode) || st->st_uid != ::getuid()))
        return false;
    if (!hostIsDir(folder))
        return false;
    for (const char *sub : {"/files", "/info"}) {
        const QString path = folder + QLatin1String(sub);
        if (::mkdir(hostPathBytes(path).constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (!hostIsDir(path))
            return false;
    }
    return true;
}

bool makeHomeTrash(const QString &folder)
{
    // The home trash may be a link (to another disk, say): it is the user's own choice.
    return QDir().mkpath(QFileInfo(folder).path()) && makeTrashFolder(folder, false);
}

// "beach.jpg", then "beach.2.jpg", "beach.3.jpg", ...: names for the trash's
// "files" folder; the original name is kept in the .trashinfo file.
QString trashName(const QString &name, int number)
{
    if (number == 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name + QLatin1Char('.') + QString::number(number);
    return name.left(dot) + QLatin1Char('.') + QString::number(number) + name.mid(dot);
}

bool writeInfo(int fd, const QByteArray &text)
{
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += put;
    }
    return ::fsync(fd) == 0;
}

// The trashing steps: claim a name by creating its .trashinfo (which never
// replaces one), write it, then move the file in beside it under that name.
FileOpResult putInto(const QString &trashFolder, const QString &file, const QByteArray &recordedPath)
{
    const QString name = QFileInfo(file).fileName();
    const QDir files(trashFolder + QStringLiteral("/files"));
    const QDir info(trashFolder + QStringLiteral("/info"));
    for (int number = 1; number <= LastTrashNumber; ++number) {
        const QString entry = trashName(name, number);
        const QString infoPath = info.filePath(entry + QStringLiteral(".trashinfo"));
        const QString target = files.filePath(entry);
        const int fd = ::open(hostPathBytes(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return FileOpResult::failed(file, host::errorText(errno));
        }
        const bool written = writeInfo(fd, trashInfo(recordedPath, QDateTime::currentDateTime()));
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            const int error = errno;
            ::unlink(hostPathBytes(infoPath).constData());
            return FileOpResult::failed(file, host::errorText(error));
        }
        // The record's name reaches the disk before the file moves in, so a
        // crash never leaves a trashed file that no record names.
        host::syncFolder(info.path());
        const int error = host::renameNoReplace(file, target);
        if (error == EEXIST) { // an entry without its .trashinfo: leave it, try the next name
            ::unlink(hostPathBytes(infoPath).constData());
            continue;
        }
        if (error != 0) {
            ::unlink(hostPathBytes(infoPath).constData());
            return FileOpResult::failed(file, host::errorText(error));
        }
        host::syncFolder(files.path());
        // Where did the file go? Only a file that left its place for the
        // trash counts as trashed.
        if (!linkStatus(target) || linkStatus(file))
            return FileOpResult::failed(file, QStringLiteral("The file did not arrive in the trash."));
        return FileOpResult::done(target);
    }
    return FileOpResult::failed(file, QStringLiteral("The trash has no free name for the file."));
}

} // namespace

QString homeTrash()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/Trash"));
}

QString volumeTop(const QString &hostFolder)
{
    QString folder = hostCanonicalPath(hostFolder);
    struct stat st {};
    if (folder.isEmpty() || ::stat(hostPathBytes(folder).constData(), &st) != 0)
        return {};
    const dev_t device = st.st_dev;
    for (;;) {
        const QString up = QFileInfo(folder).path();
        if (up == folder || ::stat(hostPathBytes(up).constData(), &st) != 0 || st.st_dev != device)
            return folder;
        folder = up;
    }
}

std::optional<QString> volumeTrash(const QString &top)
{
    const QString uid = QString::number(::getuid());
    const QString shared = QDir(top).filePath(QStringLiteral(".Trash"));
    const auto st = linkStatus(shared);
    if (st && S_ISDIR(st->st_mode) && (st->st_mode & S_ISVTX)) {
        const QString mine = shared + QLatin1Char('/') + uid;
        if (makeTrashFolder(mine, true))
            return mine;
    }
    const QString own = QDir(top).filePath(QStringLiteral(".Trash-") + uid);
    if (makeTrashFolder(own, true))
        return own;
    return std::nullopt;
}

QByteArray trashInfo(const QByteArray &originalPath, const QDateTime &deletedAt)
{
    return QByteArrayLiteral("[Trash Info]\nPath=") + originalPath.toPercentEncoding("/")
           + QByteArrayLiteral("\nDeletionDate=") + deletedAt.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1()
           + '\n';
}

FileOpResult moveToTrash(const QString &hostPath)
{
    const auto st = linkStatus(hostPath);
    if (!st)
        return FileOpResult::failed(hostPath, host::errorText(errno));
    // The file's own name in its real folder: the path that a restore puts it back to.
    const QString folder = hostCanonicalPath(QFileInfo(hostPath).absolutePath());
    if (folder.isEmpty())
        return FileOpResult::failed(hostPath, host::errorText(errno));
    const QString file = QDir(folder).filePath(QFileInfo(hostPath).fileName());

    const QString home = homeTrash();
    if (st->st_dev == deviceOf(home)) {
        if (!makeHomeTrash(home))
            return FileOpResult::failed(hostPath, QStringLiteral("The home trash cannot be used."));
        return putInto(home, file, hostPathBytes(file));
    }
    // Another volume: its own trash or none. The file is not carried over
    // to the home trash, and it is never deleted outright.
    const QString top = volumeTop(folder);
    const std::optional<QString> trash = top.isEmpty() ? std::nullopt : volumeTrash(top);
    if (!trash)
        return FileOpResult::failed(hostPath, QStringLiteral("This volume has no trash."));
    const QString relative = QDir(top).relativeFilePath(file);
    return putInto(*trash, file, hostPathBytes(relative));
}

} // namespace platform::trash
