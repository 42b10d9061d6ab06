#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>
#include <optional>

namespace platform {

namespace {

std::unique_ptr<QLockFile> &instanceLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

std::optional<bool> &decided()
{
    static std::optional<bool> running;
    return running;
}

} // namespace

bool previousInstanceRunning()
{
    if (decided())
        return *decided();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/lumadex-viewer");
    QDir().mkpath(folder);
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/instance.lock"));
    // No age limit: the lock is stale only when the process that holds it is gone.
    lock->setStaleLockTime(0);
    const bool mine = lock->tryLock(0);
    // A lock we can neither take nor attribute to a live owner (an unwritable
    // folder) must not lock the user out of the program.
    const bool running = !mine && lock->error() == QLockFile::LockFailedError;
    if (mine)
        instanceLock() = std::move(lock);
    decided() = running;
    return running;
}

void releaseInstanceLock()
{
    if (instanceLock()) {
        instanceLock()->unlock();
        instanceLock().reset();
    }
}

namespace testing {

void setPreviousInstanceRunning(bool running)
{
    decided() = running;
}

} // namespace testing

} // namespace platform
