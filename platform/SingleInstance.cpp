#include "platform/SingleInstance.h"

#include "platform/HostPath.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
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

struct HandOver {
    QPointer<QLocalServer> server;
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

void readHandOver(QLocalSocket *socket)
{
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype end = buffer->indexOf(EndOfPath);
        if (end < 0) {
            if (buffer->size() > LongestMessage)
                socket->abort();
            return;
        }
        const QString path = hostPathFromBytes(QByteArrayView(*buffer).first(end));
        socket->write(&Taken, 1);
        socket->flush();
        socket->disconnectFromServer();
        // Shown from the event loop, not inside the socket's signal: showing
        // it may open a message box with an event loop of its own.
        QMetaObject::invokeMethod(qApp, [path] { deliver(path); }, Qt::QueuedConnection);
    });
}

void listenForHandOvers()
{
    if (!QCoreApplication::instance())
        return;
    auto *server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = socketPath();
    // A socket left by a copy that crashed; the lock is ours, so no live
    // copy listens there.
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        std::fprintf(stderr, "lumadex-viewer: later starts cannot hand paths over: %s\n",
                     qPrintable(server->errorString()));
        delete server;
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket *socket = server->nextPendingConnection())
            readHandOver(socket);
    });
    handOver().server = server;
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
    if (outcome == LockOutcome::Mine)
        listenForHandOvers();
    decided() = running;
    return running;
}

void releaseInstanceLock()
{
    if (handOver().server)
        delete handOver().server.data();
    if (instanceLock() >= 0) {
        ::close(instanceLock());
        instanceLock() = -1;
    }
}

bool handOverToRunningInstance(const QString &hostPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(AnswerWaitMs))
        return false;
    socket.write(hostPathBytes(hostPath) + EndOfPath);
    if (!socket.waitForBytesWritten(AnswerWaitMs))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(AnswerWaitMs))
            return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == Taken;
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
