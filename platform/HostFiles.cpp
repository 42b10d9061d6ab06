#include "platform/HostFiles.h"

#include "platform/HostPath.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
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

namespace {

constexpr QByteArrayView kTemporaryPrefix = ".lumadex-";
constexpr qsizetype kRandomLength = 6;
constexpr qsizetype kLongestTag = 64; // keeps every temporary's name well within NAME_MAX

bool isRandomCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

QString randomPart()
{
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (qsizetype i = 0; i < kRandomLength; ++i)
        text.append(QLatin1Char(kCharacters[QRandomGenerator::global()->bounded(int(sizeof kCharacters - 1))]));
    return text;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporaries in `folder` that no writer holds: those whose lock
// this process can take. The name is checked to still be the file that was
// locked, so a temporary made anew under it in the meantime stays.
void removeStaleTemporaries(const QString &folder)
{
    QList<QByteArray> candidates;
    forEachHostEntry(folder, [&candidates](QByteArrayView name, HostEntryType type) {
        if (type.isFile && isTemporaryName(name))
            candidates.append(name.toByteArray());
    });
    for (const QByteArray &name : candidates) {
        const QByteArray path = hostPathBytes(folder) + '/' + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::lstat(path.constData(), &named) == 0 && sameFile(held, named))
            ::unlink(path.constData());
        ::close(fd);
    }
}

} // namespace

bool isTemporaryName(QByteArrayView name)
{
    // ".lumadex-", a tag of one character or more, "-", the random part.
    if (!name.startsWith(kTemporaryPrefix) || name.size() < kTemporaryPrefix.size() + 2 + kRandomLength)
        return false;
    const QByteArrayView random = name.last(kRandomLength);
    return name.at(name.size() - kRandomLength - 1) == '-'
           && std::all_of(random.begin(), random.end(), isRandomCharacter);
}

TemporaryFile::TemporaryFile(const QString &folder, const QString &tag, mode_t mode) : m_folder(folder)
{
    removeStaleTemporaries(folder);
    const QString stem = QDir(folder).filePath(QString::fromLatin1(kTemporaryPrefix) + tag.left(kLongestTag)
                                               + QLatin1Char('-'));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = stem + randomPart();
        const QByteArray bytes = hostPathBytes(path);
        const int fd = ::open(bytes.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            m_error = errno;
            return;
        }
        // Locked before anything is written. A sweep in another process may
        // have taken the new file for a stale one just before: then the name
        // no longer leads to it, and another name is tried.
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &held) == 0 && ::lstat(bytes.constData(), &named) == 0
            && sameFile(held, named)) {
            m_fd = fd;
            m_path = path;
            return;
        }
        ::close(fd);
    }
    m_error = EEXIST;
}

TemporaryFile::~TemporaryFile()
{
    discard();
}

void TemporaryFile::discard()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so no sweep can take it for a stale one
    // and remove a new file of the same name instead.
    ::unlink(hostPathBytes(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

int TemporaryFile::commit(const std::function<int(const QString &temporary)> &place)
{
    if (m_fd < 0)
        return m_error ? m_error : EBADF;
    if (::fsync(m_fd) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    if (const int error = place(m_path)) {
        discard();
        return error;
    }
    // The data are on the disk already, so closing reports nothing new.
    ::close(m_fd);
    m_fd = -1;
    syncFolder(m_folder);
    return 0;
}

int writeAll(int fd, QByteArrayView data)
{
    while (!data.isEmpty()) {
        const ssize_t put = ::write(fd, data.data(), size_t(data.size()));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data = data.sliced(put);
    }
    return 0;
}

int writeFileAtomically(const QString &target, bool replace, const std::function<int(int fd)> &write)
{
    QString file = target;
    struct stat existing {};
    const bool exists = ::stat(hostPathBytes(file).constData(), &existing) == 0;
    if (replace && exists) {
        if (hostIsSymLink(file))
            file = hostCanonicalPath(file);
        if (::access(hostPathBytes(file).constData(), W_OK) != 0)
            return errno;
    }
    TemporaryFile temporary(QFileInfo(file).absolutePath(), QFileInfo(file).fileName());
    if (temporary.error())
        return temporary.error();
    if (replace && exists && S_ISREG(existing.st_mode))
        ::fchmod(temporary.descriptor(), existing.st_mode & 07777);
    if (const int error = write(temporary.descriptor()))
        return error;
    return temporary.commit([&file, replace](const QString &path) {
        if (!replace)
            return renameNoReplace(path, file);
        return ::rename(hostPathBytes(path).constData(), hostPathBytes(file).constData()) == 0 ? 0 : errno;
    });
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
