#include "platform/Registry.h"

#ifndef _WIN32

#include "platform/HostFiles.h"
#include "platform/RegistryHive.h"
#include "platform/RegistryTesting.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

namespace platform {

namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");

struct OpenKey {
    QString path;
    hive::Tree snapshot; // the hive as it was read when the key was opened or last written
};

std::map<std::uintptr_t, OpenKey> &openKeys()
{
    static std::map<std::uintptr_t, OpenKey> keys;
    return keys;
}

std::uintptr_t &lastHandle()
{
    static std::uintptr_t last = 0x1000;
    return last;
}

qint64 &writeFaultAfter()
{
    static qint64 bytes = -1;
    return bytes;
}

// Serialises read-modify-write between processes that share the hive file.
class HiveLock {
public:
    HiveLock() : m_lock(hiveFilePath() + QStringLiteral(".lock"))
    {
        QDir().mkpath(QFileInfo(hiveFilePath()).absolutePath());
        m_lock.setStaleLockTime(0); // stale only when its owner is gone
        m_locked = m_lock.tryLock(5000);
    }
    bool locked() const { return m_locked; }

private:
    QLockFile m_lock;
    bool m_locked = false;
};

struct LoadedHive {
    hive::Tree tree;
    bool writable = true; // false when a file exists that we could not read
    bool damaged = false; // some lines of the file did not parse and were left out
    QByteArray bytes;     // the file as it was read, kept aside before a damaged one is written
};

// A free name beside `file` for keeping its unreadable bytes.
QString asideName(const QString &file)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = file + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = file + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    return target;
}

enum class Unparsable { MoveAside, Report };

LoadedHive loadHive(Unparsable unparsable = Unparsable::MoveAside, bool *notAHive = nullptr)
{
    LoadedHive result;
    const QString path = hiveFilePath();
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.writable = false;
        return result;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    hive::ParseResult parsed = hive::parse(bytes);
    if (!parsed.tree) {
        if (notAHive)
            *notAHive = true;
        // Not a registry file at all: moved out of the way, so that the next
        // write starts a new hive instead of destroying the old one.
        if (unparsable == Unparsable::MoveAside)
            QFile::rename(path, asideName(path));
        return result;
    }
    result.tree = std::move(*parsed.tree);
    result.damaged = parsed.skippedLines > 0;
    if (result.damaged)
        result.bytes = bytes;
    return result;
}

// The hive for a reader. A writer replaces the file with one rename, so a
// read without the lock sees the old file or the new one, whole; only a file
// that is no hive at all is moved aside, which takes the lock. Taking it for
// every read cost a synchronous disk write each time (the lock file is
// flushed), several times over at every start.
LoadedHive loadHiveToRead()
{
    bool notAHive = false;
    LoadedHive loaded = loadHive(Unparsable::Report, &notAHive);
    if (!notAHive)
        return loaded;
    HiveLock lock;
    return loadHive();
}

bool saveHive(const LoadedHive &loaded)
{
    const QString path = hiveFilePath();
    // The values that parsed are written back; the file as it was is kept
    // beside it first, so the lines left out are never lost.
    if (loaded.damaged
        && host::writeFileAtomically(asideName(path), false,
                                     [&loaded](int fd) { return host::writeAll(fd, loaded.bytes); })
               != 0)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = hive::serialize(loaded.tree);
    return host::writeFileAtomically(path, true, [&bytes](int fd) {
               if (writeFaultAfter() < 0)
                   return host::writeAll(fd, bytes);
               host::writeAll(fd, QByteArrayView(bytes).first(qMin(writeFaultAfter(), bytes.size())));
               return ENOSPC;
           })
           == 0;
}

QString joinKeyPath(const QString &base, const char *subKey)
{
    QString sub = subKey ? QString::fromLocal8Bit(subKey) : QString();
    sub.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (sub.startsWith(QLatin1Char('\\')))
        sub.remove(0, 1);
    while (sub.endsWith(QLatin1Char('\\')))
        sub.chop(1);
    return sub.isEmpty() ? base : base + QLatin1Char('\\') + sub;
}

// The full path of the key that `key` names; false for an unknown handle.
bool keyPath(HKEY key, QString *path)
{
    if (key == HKEY_CURRENT_USER) {
        *path = kRoot;
        return true;
    }
    const auto it = openKeys().find(reinterpret_cast<std::uintptr_t>(key));
    if (it == openKeys().end())
        return false;
    *path = it->second.path;
    return true;
}

HKEY addHandle(const QString &path, hive::Tree snapshot)
{
    lastHandle() += 4;
    openKeys()[lastHandle()] = OpenKey{path, std::move(snapshot)};
    return reinterpret_cast<HKEY>(lastHandle());
}

QString valueName(const char *name)
{
    return name ? QString::fromLocal8Bit(name) : QString();
}

// The full path of `subKey` below `key`, or the error code for the caller.
LONG subKeyPath(HKEY key, const char *subKey, HKEY *result, QString *path)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    QString base;
    if (!keyPath(key, &base))
        return ERROR_INVALID_HANDLE;
    *path = joinKeyPath(base, subKey);
    // A path the hive file could not hold again is no key path.
    if (!hive::splitKeyPath(*path))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

} // namespace

QString hiveFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lumadex-viewer/HKEY_CURRENT_USER.reg");
}

LONG RegOpenKeyA(HKEY key, const char *subKey, HKEY *result)
{
    QString path;
    if (const LONG error = subKeyPath(key, subKey, result, &path); error != ERROR_SUCCESS)
        return error;
    LoadedHive loaded = loadHiveToRead();
    if (path != kRoot && !loaded.tree.key(path))
        return ERROR_FILE_NOT_FOUND;
    *result = addHandle(path, std::move(loaded.tree));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY key, const char *subKey, HKEY *result)
{
    QString path;
    if (const LONG error = subKeyPath(key, subKey, result, &path); error != ERROR_SUCCESS)
        return error;
    // A key that exists is only opened.
    if (LoadedHive existing = loadHiveToRead(); path == kRoot || existing.tree.key(path)) {
        *result = addHandle(path, std::move(existing.tree));
        return ERROR_SUCCESS;
    }
    HiveLock lock;
    if (!lock.locked())
        return ERROR_CANTWRITE;
    LoadedHive loaded = loadHive();
    if (path != kRoot && !loaded.tree.key(path)) {
        if (!loaded.writable)
            return ERROR_ACCESS_DENIED;
        loaded.tree.createKey(path);
        if (!saveHive(loaded))
            return ERROR_CANTWRITE;
    }
    *result = addHandle(path, std::move(loaded.tree));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char *name, DWORD *, DWORD *type, BYTE *data, DWORD *dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    QString path;
    if (!keyPath(key, &path))
        return ERROR_INVALID_HANDLE;
    hive::Tree fresh;
    const hive::Tree *tree = nullptr;
    const auto it = openKeys().find(reinterpret_cast<std::uintptr_t>(key));
    if (it != openKeys().end()) {
        tree = &it->second.snapshot;
    } else {
        fresh = loadHiveToRead().tree;
        tree = &fresh;
    }
    const hive::Key *k = tree->key(path);
    const hive::Value *value = k ? k->value(valueName(name)) : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;

    QByteArray bytes = value->data;
    if (hive::isStringType(value->type)) {
        QString text;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            text.append(QChar(char16_t(quint8(bytes.at(i)) | (quint8(bytes.at(i + 1)) << 8))));
        bytes = text.toLocal8Bit();
    }
    if (type)
        *type = value->type;
    if (!dataSize)
        return ERROR_SUCCESS;
    const auto needed = static_cast<DWORD>(bytes.size());
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed > 0)
        std::memcpy(data, bytes.constData(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char *name, DWORD, DWORD type, const BYTE *data, DWORD dataSize)
{
    if (!data && dataSize > 0)
        return ERROR_INVALID_PARAMETER;
    QString path;
    if (!keyPath(key, &path))
        return ERROR_INVALID_HANDLE;
    if (path == kRoot)
        return ERROR_ACCESS_DENIED; // the root keeps no values of its own in the file

    hive::Value value;
    value.name = valueName(name);
    if (!hive::fitsOnALine(value.name))
        return ERROR_INVALID_PARAMETER; // the file could not hold it
    value.type = type;
    value.data = QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(dataSize));
    if (hive::isStringType(type)) {
        // The registry keeps string data as UTF-16; the 8-bit code page is
        // converted over its whole length, NULs included.
        const QString text = QString::fromLocal8Bit(value.data);
        QByteArray wide;
        for (QChar c : text) {
            wide.append(char(c.unicode() & 0xFF));
            wide.append(char(c.unicode() >> 8));
        }
        value.data = wide;
    }
    const auto sameValue = [&](const LoadedHive &hive) {
        const hive::Key *k = hive.tree.key(path);
        const hive::Value *stored = k ? k->value(value.name) : nullptr;
        return stored && stored->type == value.type && stored->data == value.data;
    };
    const auto keepSnapshot = [&](hive::Tree tree) {
        const auto it = openKeys().find(reinterpret_cast<std::uintptr_t>(key));
        if (it != openKeys().end())
            it->second.snapshot = std::move(tree);
    };
    // The value the file already holds: writing it again would give the
    // same file (a damaged file is written again, to drop its bad lines).
    if (LoadedHive current = loadHiveToRead(); current.writable && !current.damaged && sameValue(current)) {
        keepSnapshot(std::move(current.tree));
        return ERROR_SUCCESS;
    }

    HiveLock lock;
    if (!lock.locked())
        return ERROR_CANTWRITE;
    LoadedHive loaded = loadHive();
    if (!loaded.writable)
        return ERROR_ACCESS_DENIED;
    loaded.tree.createKey(path)->setValue(value);
    if (!saveHive(loaded))
        return ERROR_CANTWRITE;
    keepSnapshot(std::move(loaded.tree));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    return openKeys().erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace testing {

void setHiveWriteFault(qint64 failAfterBytes)
{
    writeFaultAfter() = failAfterBytes;
}

int openKeyCount()
{
    return static_cast<int>(openKeys().size());
}

} // namespace testing

} // namespace platform

#endif // _WIN32
