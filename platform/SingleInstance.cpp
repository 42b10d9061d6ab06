#include "platform/SingleInstance.h"

#include "platform/HostFiles.h"
#include "platform/HostPath.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

QString lockPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lumadex-viewer/instance.lock");
}

// The lock file, open and locked while this copy runs; -1 when it is not.
// An flock() lock belongs to the open file: the system lets go of it when
// the process ends, however it ends, so a crashed copy leaves nothing stale
// and the file is never removed. Nothing is written that must reach the
// disk (QLockFile wrote the owner and synced it twice, a wait on a slow
// disk before the first paint); the process number is only for people.
int &instanceLock()
{
    static int descriptor = -1;
    return descriptor;
}

enum class LockOutcome { Mine, HeldByAnother, Unavailable };

LockOutcome takeInstanceLock()
{
    const QByteArray path = QFile::encodeName(lockPath());
    const int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return LockOutcome::Unavailable;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(descriptor);
        return held ? LockOutcome::HeldByAnother : LockOutcome::Unavailable;
    }
    const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(descriptor, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(descriptor, owner.constData(), size_t(owner.size()));
    }
    instanceLock() = descriptor;
    return LockOutcome::Mine;
}

// Whether a copy holds the lock now (a test of the lock that gives it back
// at once).
bool lockHeldByAnotherCopy()
{
    const int descriptor = ::open(QFile::encodeName(lockPath()).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

std::optional<bool> &decided()
{
    static std::optional<bool> running;
    return running;
}

// The hand-over socket lives in the runtime folder (local, private to the
// user, and short enough for a socket address, which a deep home folder may
// not be) and is named after the lock, so that a copy answers exactly the
// starts its lock turns away, also when two configuration folders share one
// runtime folder.
QString socketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QFileInfo(lockPath()).absolutePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(lockPath()), QCryptographicHash::Sha1).toHex();
    return folder + QStringLiteral("/lumadex-viewer-") + QString::fromLatin1(key.left(16)) + QStringLiteral(".socket");
}

// A message is the path's bytes and a NUL, which no path holds; the answer
// is one byte once the whole path is in.
constexpr char EndOfPath = '\0';
constexpr char Taken = '1';
// Far above any path the system opens; a sender that goes past it is cut off
// instead of growing the buffer.
constexpr qsizetype LongestMessage = 64 * 1024;
// How long a start waits for the running copy, whose window may be busy for
// a moment (a large picture decoding); a copy that does not answer by then is
// taken as stuck.
constexpr int AnswerWaitMs = 10000;
// How long a start waits for a running copy to begin listening: it does once
// its window is on the screen.
constexpr int ListenWaitMs = 3000;

using host::Descriptor;

// A local (Unix) socket address for `path`, or nothing when the path is too
// long for one.
std::optional<sockaddr_un> socketAddress(const QByteArray &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return address;
}

using Clock = std::chrono::steady_clock;

// Waits until `fd` is ready for `events` or `deadline` passes.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd waiting{fd, events, 0};
        const int ready = ::poll(&waiting, 1, int(std::min<qint64>(left, 1000)));
        if (ready > 0)
            return (waiting.revents & (events | POLLHUP | POLLERR)) != 0;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

// One later start's message, read as it comes in from the event loop.
class HandOverConnection : public QObject {
public:
    explicit HandOverConnection(int fd) : QObject(QCoreApplication::instance()), m_fd(fd)
    {
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &HandOverConnection::readSome);
    }

private:
    void readSome();
    void finish()
    {
        m_notifier->setEnabled(false);
        deleteLater();
    }

    Descriptor m_fd;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
};

struct HandOver {
    Descriptor listening;
    QByteArray socketFile;
    QPointer<QSocketNotifier> notifier;
    std::function<void(const QString &)> receive;
    QStringList waiting;
};

HandOver &handOver()
{
    static HandOver state;
    return state;
}

void deliver(const QString &hostPath)
{
    HandOver &state = handOver();
    if (state.receive)
        state.receive(hostPath);
    else
        state.waiting << hostPath;
}

void HandOverConnection::readSome()
{
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(m_fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // the rest is still on its way
        if (got <= 0) {
            finish(); // gone before its path was whole
            return;
        }
        m_buffer.append(chunk, got);
        const qsizetype end = m_buffer.indexOf(EndOfPath);
        if (end >= 0) {
            const QString path = hostPathFromBytes(QByteArrayView(m_buffer).first(end));
            [[maybe_unused]] const ssize_t sent = ::send(m_fd.get(), &Taken, 1, MSG_NOSIGNAL);
            finish();
            // Shown from the event loop, not inside the notifier's signal:
            // showing it may open a message box with an event loop of its own.
            QMetaObject::invokeMethod(qApp, [path] { deliver(path); }, Qt::QueuedConnection);
            return;
        }
        if (m_buffer.size() > LongestMessage) {
            finish();
            return;
        }
    }
}

void acceptHandOvers()
{
    for (;;) {
        const int fd = ::accept4(handOver().listening.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        new HandOverConnection(fd);
    }
}

// Makes the socket at `path`, where only this user can reach it: it is
// bound in a new private folder beside it, made private, and moved into
// place, so that no other user can connect in between.
int listenAt(const QByteArray &path)
{
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    QByteArray privateFolder = folder + "/.lumadex-XXXXXX";
    if (!::mkdtemp(privateFolder.data()))
        return -1;
    const QByteArray bound = privateFolder + "/s";
    const auto address = socketAddress(bound);
    Descriptor fd(address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0) : -1);
    // The rename replaces a socket left by a copy that crashed; the lock is
    // ours, so no live copy listens there.
    const bool made = fd.get() >= 0
                      && ::bind(fd.get(), reinterpret_cast<const sockaddr *>(&*address), sizeof *address) == 0
                      && ::chmod(bound.constData(), 0600) == 0 && ::listen(fd.get(), SOMAXCONN) == 0
                      && ::rename(bound.constData(), path.constData()) == 0;
    ::unlink(bound.constData());
    ::rmdir(privateFolder.constData());
    return made ? fd.release() : -1;
}

void listenForHandOvers()
{
    if (!QCoreApplication::instance() || handOver().listening.get() >= 0)
        return;
    const QByteArray path = QFile::encodeName(socketPath());
    if (!socketAddress(path)) {
        std::fprintf(stderr, "lumadex-viewer: later starts cannot hand paths over: the socket name is too long\n");
        return;
    }
    const int fd = listenAt(path);
    if (fd < 0) {
        std::fprintf(stderr, "lumadex-viewer: later starts cannot hand paths over: %s\n", std::strerror(errno));
        return;
    }
    HandOver &state = handOver();
    state.listening.reset(fd);
    state.socketFile = path;
    state.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(state.notifier.data(), &QSocketNotifier::activated, state.notifier.data(), &acceptHandOvers);
}

} // namespace

bool previousInstanceRunning()
{
    if (decided())
        return *decided();
    QDir().mkpath(QFileInfo(lockPath()).absolutePath());
    const LockOutcome outcome = takeInstanceLock();
    // A lock we can neither take nor see held by another copy (an unwritable
    // folder) must not lock the user out of the program.
    const bool running = outcome == LockOutcome::HeldByAnother;
    decided() = running;
    return running;
}

void answerHandOvers()
{
    if (instanceLock() >= 0)
        listenForHandOvers();
}

void releaseInstanceLock()
{
    HandOver &state = handOver();
    if (state.listening.get() >= 0) {
        delete state.notifier.data();
        state.listening.reset();
        ::unlink(state.socketFile.constData());
    }
    if (instanceLock() >= 0) {
        ::close(instanceLock());
        instanceLock() = -1;
    }
}

namespace {

// Connects `fd` to the running copy's socket. A copy whose queue of starts
// is full is busy, not gone, and one that has no socket yet may be
// starting: both are tried again.
bool connectToRunningCopy(int fd, const sockaddr_un &address)
{
    const auto connectBy = Clock::now() + std::chrono::milliseconds(AnswerWaitMs);
    const auto listeningBy = Clock::now() + std::chrono::milliseconds(ListenWaitMs);
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
            return true;
        if (errno == EINTR)
            continue;
        const bool busy = errno == EAGAIN && Clock::now() < connectBy;
        const bool starting = (errno == ENOENT || errno == ECONNREFUSED) && Clock::now() < listeningBy
                              && lockHeldByAnotherCopy();
        if (busy || starting) {
            ::poll(nullptr, 0, 10);
            continue;
        }
        if (errno != EINPROGRESS || !waitFor(fd, POLLOUT, connectBy))
            return false;
        int error = 0;
        socklen_t length = sizeof error;
        return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
}

bool sendAll(int fd, const QByteArray &message)
{
    const auto writeBy = Clock::now() + std::chrono::milliseconds(AnswerWaitMs);
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = ::send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLOUT, writeBy))))
            continue;
        return false;
    }
    return true;
}

// The running copy's one-byte answer, or 0 when none comes.
char answerOf(int fd)
{
    const auto answerBy = Clock::now() + std::chrono::milliseconds(AnswerWaitMs);
    for (;;) {
        char answer = 0;
        const ssize_t n = ::read(fd, &answer, 1);
        if (n == 1)
            return answer;
        if (n < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLIN, answerBy))))
            continue;
        return 0;
    }
}

} // namespace

bool handOverToRunningInstance(const QString &hostPath)
{
    const auto address = socketAddress(QFile::encodeName(socketPath()));
    const Descriptor fd(address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0) : -1);
    return fd.get() >= 0 && connectToRunningCopy(fd.get(), *address)
           && sendAll(fd.get(), hostPathBytes(hostPath) + EndOfPath) && answerOf(fd.get()) == Taken;
}

void setHandOverReceiver(std::function<void(const QString &hostPath)> receive)
{
    HandOver &state = handOver();
    state.receive = std::move(receive);
    if (!state.receive)
        return;
    const QStringList waiting = std::exchange(state.waiting, {});
    for (const QString &path : waiting)
        state.receive(path);
}

namespace testing {

void setPreviousInstanceRunning(bool running)
{
    decided() = running;
}

} // namespace testing

} // namespace platform
