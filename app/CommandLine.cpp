// The command line: a picture or folder to open, from the start itself or
// handed over by a later start.
#include "app/CommandLine.h"

#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "platform/HostPath.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>

#include <functional>
#include <utility>

namespace app {

namespace {

// Runs `then` from the event loop each time the watched control becomes
// usable again, after the handler that enabled it has finished.
class WhenEnabled final : public QObject {
public:
    WhenEnabled(QWidget *control, std::function<void()> then) : QObject(control), m_then(std::move(then))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange && static_cast<QWidget *>(watched)->isEnabled())
            QMetaObject::invokeMethod(this, m_then, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_then;
};

void showInMainWindow(const QString &hostPath)
{
    if (Form1 *main = Form1::instance())
        main->ShowHandedPath(hostPath);
}

} // namespace

std::optional<QString> startPath(const QList<QByteArray> &arguments, const QString &workingFolder)
{
    if (arguments.isEmpty())
        return std::nullopt;
    QString path = platform::hostPathFromBytes(arguments.first());
    if (!path.startsWith(QLatin1Char('/')))
        path = workingFolder + QLatin1Char('/') + path;
    return QDir::cleanPath(path);
}

QList<QByteArray> argumentsOf(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

void showHandedPaths(const std::optional<QString> &startPath)
{
    // After everything the start-up has left for the event loop.
    if (startPath)
        QMetaObject::invokeMethod(qApp, [path = *startPath] { showInMainWindow(path); }, Qt::QueuedConnection);
    platform::setHandOverReceiver(showInMainWindow);
}

void Form1::ShowHandedPath(const QString &hostPath)
{
    // A show or a dialog holds the browser: the path waits until it is free
    // (the latest one, if several come), and the window stays behind what
    // the user is busy with.
    m_handedPath = hostPath;
    if (!File1->isEnabled()) {
        if (!m_browserFreed)
            m_browserFreed = new WhenEnabled(File1, [this] {
                if (!m_handedPath.isEmpty() && File1->isEnabled())
                    ShowHandedPath(m_handedPath);
            });
        return;
    }
    // Forward: back from the tray or the task bar, in front of other windows.
    if (!isVisible())
        openview_Click();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    OpenHostPath(std::exchange(m_handedPath, QString()));
}

} // namespace app
