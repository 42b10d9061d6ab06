#include "platform/HostFiles.h"

#include "platform/HostPath.h"

#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::host {

int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray src = hostPathBytes(from);
    const QByteArray dst = hostPathBytes(to);
#ifdef __linux__
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    // A file system without RENAME_NOREPLACE: a hard link cannot replace either.
    if (::link(src.constData(), dst.constData()) == 0) {
        if (::unlink(src.constData()) == 0)
            return 0;
        const int error = errno;
        ::unlink(dst.constData());
        return error;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS)
        return errno;
    // No hard links either (FAT): claim the name first, then rename over the claim.
    const int claim = ::open(dst.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0)
        return errno;
    ::close(claim);
    if (::rename(src.constData(), dst.constData()) == 0)
        return 0;
    const int error = errno;
    ::unlink(dst.constData());
    return error;
}

QString rebasedLinkTarget(const QString &target, const QString &fromFolder, const QString &toFolder)
{
    if (target.startsWith(QLatin1Char('/')))
        return target;
    const QStringList from = fromFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList to = toFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    qsizetype common = 0;
    while (common < from.size() && common < to.size() && from.at(common) == to.at(common))
        ++common;
    // From the new folder up to the folders' common ancestor, then down to the old folder.
    QStringList way(to.size() - common, QStringLiteral(".."));
    QStringList down = from.mid(common);
    QStringList rest = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (!rest.isEmpty() && (rest.first() == QLatin1String(".") || rest.first() == QLatin1String(".."))) {
        if (rest.first() == QLatin1String("..")) {
            if (down.isEmpty())
                way.append(QStringLiteral(".."));
            else
                down.removeLast();
        }
        rest.removeFirst();
    }
    const QString rebased = (way + down + rest).join(QLatin1Char('/'));
    if (rebased.isEmpty())
        return QStringLiteral(".");
    return target.endsWith(QLatin1Char('/')) ? rebased + QLatin1Char('/') : rebased;
}

int moveLinkNoReplace(const QString &link, const QString &to)
{
    const QByteArray linkBytes = hostPathBytes(link);
    struct stat st {};
    if (::lstat(linkBytes.constData(), &st) != 0)
        return errno;
    QByteArray targetBytes(qsizetype(st.st_size) + 1, '\0');
    const ssize_t length = ::readlink(linkBytes.constData(), targetBytes.data(), size_t(targetBytes.size()));
    if (length < 0)
        return errno;
    if (length >= targetBytes.size())
        return EAGAIN; // the link changed since lstat()
    targetBytes.truncate(length);
    const QString target = hostPathFromBytes(targetBytes);

    const QString fromFolder = hostCanonicalPath(QFileInfo(link).absolutePath());
    const QString toFolder = hostCanonicalPath(QFileInfo(to).absolutePath());
    if (fromFolder.isEmpty() || toFolder.isEmpty())
        return ENOENT;
    const QString rebased = fromFolder == toFolder ? target : rebasedLinkTarget(target, fromFolder, toFolder);
    if (rebased == target) {
        const int error = renameNoReplace(link, to);
        if (error != EXDEV)
            return error;
    }
    const QByteArray toBytes = hostPathBytes(to);
    if (::symlink(hostPathBytes(rebased).constData(), toBytes.constData()) != 0)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, toBytes.constData(), times, AT_SYMLINK_NOFOLLOW);
    if (::unlink(linkBytes.constData()) != 0) {
        const int error = errno;
        ::unlink(toBytes.constData());
        return error;
    }
    return 0;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(hostPathBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace platform::host
