#include "platform/HostFiles.h"

#include "platform/HostPath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
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
