#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <optional>

class QFile;

// Host file names, kept exactly. A Linux folder can hold names no Windows
// path can: a "\" or another character Windows forbids in names, or bytes
// that are not valid UTF-8 (old USB sticks, archives). Every such name goes
// host name -> Windows name -> host name unchanged, so it can be listed,
// opened, shown and handed on.
//
// Two mappings, both lossless:
//
// - Host path text: the QString form of a host path's bytes. Valid UTF-8
//   decodes as usual; each byte that is not part of valid UTF-8 becomes the
//   lone surrogate U+DC00 + byte (U+DC80..U+DCFF), which valid text never
//   holds. Qt's own file classes cannot reach names with such bytes (they
//   decode them lossily, and QDir leaves them out), so host paths reach the
//   system through hostPathBytes() and the functions below.
//
// - Windows names, per path component, as Cygwin maps them: a character
//   Windows forbids in names (U+0001..U+001F and " * : < > ? \ |) becomes
//   U+F000 + the character; a byte that is not part of valid UTF-8 becomes
//   U+F000 + the byte (U+F080..U+F0FF); a character that is itself in
//   U+F000..U+F0FF is written as its UTF-8 bytes that way, so that nothing
//   is ambiguous. Everything else stays as it is.
namespace platform {

QString hostPathFromBytes(QByteArrayView bytes);
QByteArray hostPathBytes(QStringView hostPath);

// One component: host name (host path text) to Windows name and back.
QString windowsNameFromHost(QStringView hostName);
QString hostNameFromWindows(QStringView windowsName);

// What stat() says of a host path (links followed); nothing when it does
// not exist or cannot be reached.
struct HostFileStatus {
    bool isDir = false;
    bool isFile = false;
    qint64 size = 0;
    QDateTime lastModified;
    // Which file the path names (device and inode), and when its contents
    // or attributes last changed, in nanoseconds. A file replaced under the
    // same name differs in one of them even when its length and modification
    // time were kept (cp -p, touch -r, sync tools renaming a copy over it).
    quint64 device = 0;
    quint64 inode = 0;
    qint64 changedNs = 0;
};
std::optional<HostFileStatus> hostFileStatus(const QString &hostPath);
bool hostIsDir(const QString &hostPath);

// What lstat() says (links not followed): whether anything, a dangling link
// included, takes the path, and whether it is a link.
bool hostPathTaken(const QString &hostPath);
bool hostIsSymLink(const QString &hostPath);

// The path with every link and "." or ".." resolved, as realpath() gives it;
// empty when it does not exist.
QString hostCanonicalPath(const QString &hostPath);

// The file: URL of a host path, its bytes percent-encoded as they are, so
// that a name with bytes that are not UTF-8 reaches another program intact.
QUrl hostFileUrl(const QString &hostPath);
// The host path of a file: URL, its percent-encoded bytes taken as they are.
QString hostPathFromFileUrl(const QUrl &url);

// Makes one folder (its parent must exist). False with errno set when the
// system refuses.
bool makeHostFolder(const QString &hostPath);

// The process's working folder as host path text, and changing it.
QString hostCurrentPath();
bool setHostCurrentPath(const QString &hostPath);

// Opens `file` on a host path: QIODevice::ReadOnly, or WriteOnly (with
// NewOnly to refuse an existing file). False with errno set when the system
// refuses.
bool openHostFile(QFile &file, const QString &hostPath, QIODevice::OpenMode mode);

// The entries of a host folder ("." and ".." left out) with one
// opendir/readdir pass; an entry's type is looked up with stat() (links
// followed) only when the folder does not give it. `visit` gets the name's
// bytes and the type; a dangling link has neither type. False when the
// folder cannot be opened.
struct HostEntryType {
    bool isFile = false;
    bool isDir = false;
};
bool forEachHostEntry(const QString &hostFolder, const std::function<void(QByteArrayView name, HostEntryType type)> &visit);

} // namespace platform
