#include "platform/HostPath.h"

#include "platform/WinPath.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char16_t kEscapedByte = 0xDC00; // + byte, in host path text
constexpr char16_t kPrivateUse = 0xF000;  // + character or byte, in Windows names

// The length of the valid UTF-8 sequence at `at` and its code point, or 0.
int validUtf8At(const unsigned char *s, qsizetype left, char32_t *code)
{
    const unsigned char lead = s[0];
    int length = 0;
    char32_t c = 0, least = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    *code = c;
    return length;
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

// What a host name may hold and a Windows name may not. NUL and "/" are in
// no host name, and U+F02F must never turn into a "/" of a host path.
bool forbiddenInWindowsNames(char32_t c)
{
    return c != 0 && c != '/' && winpath::forbiddenInName(c);
}

// Calls `visit` with each code point of UTF-16 text; a lone surrogate comes
// as itself.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            visit(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else {
            visit(char32_t(u));
        }
    }
}

} // namespace

QString hostPathFromBytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t c = 0;
        const int length = validUtf8At(s + i, bytes.size() - i, &c);
        if (length == 0) {
            text.append(QChar(char16_t(kEscapedByte + s[i])));
            ++i;
            continue;
        }
        text.append(QChar::fromUcs4(c));
        i += length;
    }
    return text;
}

QByteArray hostPathBytes(QStringView hostPath)
{
    QByteArray out;
    out.reserve(hostPath.size());
    forEachCodePoint(hostPath, [&](char32_t c) {
        if (c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF)
            out.append(char(c - kEscapedByte));
        else if (c >= 0xD800 && c <= 0xDFFF)
            appendUtf8(out, 0xFFFD); // no host name holds one; text typed by hand might
        else
            appendUtf8(out, c);
    });
    return out;
}

QString windowsNameFromHost(QStringView hostName)
{
    QString out;
    out.reserve(hostName.size());
    forEachCodePoint(hostName, [&](char32_t c) {
        if (c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF) {
            out.append(QChar(char16_t(kPrivateUse + (c - kEscapedByte))));
        } else if (forbiddenInWindowsNames(c)) {
            out.append(QChar(char16_t(kPrivateUse + c)));
        } else if (c >= kPrivateUse && c <= kPrivateUse + 0xFF) {
            QByteArray bytes;
            appendUtf8(bytes, c);
            for (char byte : bytes)
                out.append(QChar(char16_t(kPrivateUse + quint8(byte))));
        } else {
            out.append(QChar::fromUcs4(c));
        }
    });
    return out;
}

QString hostNameFromWindows(QStringView windowsName)
{
    // Each private character back to what it stands for (a byte as its
    // escape), then through the bytes, so that bytes that together are valid
    // UTF-8 read as text again.
    QString text;
    text.reserve(windowsName.size());
    for (const QChar ch : windowsName) {
        const char16_t u = ch.unicode();
        if (u >= kPrivateUse + 0x80 && u <= kPrivateUse + 0xFF)
            text.append(QChar(char16_t(kEscapedByte + (u - kPrivateUse))));
        else if (u >= kPrivateUse && u < kPrivateUse + 0x80 && forbiddenInWindowsNames(u - kPrivateUse))
            text.append(QChar(char16_t(u - kPrivateUse)));
        else
            text.append(ch);
    }
    return hostPathFromBytes(hostPathBytes(text));
}

std::optional<HostFileStatus> hostFileStatus(const QString &hostPath)
{
    struct stat st;
    if (hostPath.isEmpty() || ::stat(hostPathBytes(hostPath).constData(), &st) != 0)
        return std::nullopt;
    HostFileStatus status;
    status.isDir = S_ISDIR(st.st_mode);
    status.isFile = S_ISREG(st.st_mode);
    status.size = qint64(st.st_size);
    status.lastModified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    status.device = quint64(st.st_dev);
    status.inode = quint64(st.st_ino);
    status.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return status;
}

bool hostIsDir(const QString &hostPath)
{
    const auto status = hostFileStatus(hostPath);
    return status && status->isDir;
}

namespace {

std::optional<mode_t> linkMode(const QString &hostPath)
{
    struct stat st;
    if (hostPath.isEmpty() || ::lstat(hostPathBytes(hostPath).constData(), &st) != 0)
        return std::nullopt;
    return st.st_mode;
}

} // namespace

bool hostPathTaken(const QString &hostPath)
{
    return linkMode(hostPath).has_value();
}

bool hostIsSymLink(const QString &hostPath)
{
    const std::optional<mode_t> mode = linkMode(hostPath);
    return mode && S_ISLNK(*mode);
}

QString hostCanonicalPath(const QString &hostPath)
{
    if (hostPath.isEmpty())
        return {};
    char *resolved = ::realpath(hostPathBytes(hostPath).constData(), nullptr);
    if (!resolved)
        return {};
    const QString path = hostPathFromBytes(QByteArrayView(resolved));
    std::free(resolved);
    return path;
}

QUrl hostFileUrl(const QString &hostPath)
{
    QByteArray path = hostPathBytes(hostPath);
    if (!path.startsWith('/'))
        path.prepend(hostPathBytes(hostCurrentPath()) + '/');
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path.toPercentEncoding("/"), QUrl::StrictMode);
}

QString hostPathFromFileUrl(const QUrl &url)
{
    return hostPathFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

bool makeHostFolder(const QString &hostPath)
{
    if (hostPath.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    return ::mkdir(hostPathBytes(hostPath).constData(), 0777) == 0;
}

QString hostCurrentPath()
{
    QByteArray buffer(4096, '\0');
    while (!::getcwd(buffer.data(), size_t(buffer.size()))) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return hostPathFromBytes(QByteArrayView(buffer.constData()));
}

bool setHostCurrentPath(const QString &hostPath)
{
    return !hostPath.isEmpty() && ::chdir(hostPathBytes(hostPath).constData()) == 0;
}

bool openHostFile(QFile &file, const QString &hostPath, QIODevice::OpenMode mode)
{
    int flags = O_CLOEXEC;
    if (mode & QIODevice::WriteOnly) {
        flags |= (mode & QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
        flags |= O_CREAT | ((mode & QIODevice::NewOnly) ? O_EXCL : O_TRUNC);
    } else {
        flags |= O_RDONLY;
    }
    const int fd = ::open(hostPathBytes(hostPath).constData(), flags, 0666);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode & ~QIODevice::OpenMode(QIODevice::NewOnly | QIODevice::Truncate), QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool forEachHostEntry(const QString &hostFolder, const std::function<void(QByteArrayView name, HostEntryType type)> &visit)
{
    if (hostFolder.isEmpty())
        return false;
    DIR *dir = ::opendir(hostPathBytes(hostFolder).constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        HostEntryType type{entry->d_type == DT_REG, entry->d_type == DT_DIR};
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st;
            if (::fstatat(fd, entry->d_name, &st, 0) == 0)
                type = {S_ISREG(st.st_mode), S_ISDIR(st.st_mode)};
            else
                type = {};
        }
        visit(name, type);
    }
    ::closedir(dir);
    return true;
}

} // namespace platform
