#include "platform/ShellExecute.h"

#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"

#include <QDesktopServices>
#include <QMap>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {

std::unique_ptr<Shell> &current()
{
    static std::unique_ptr<Shell> instance;
    return instance;
}

QMap<QString, std::function<void(const QString &)>> &openers()
{
    static QMap<QString, std::function<void(const QString &)>> table;
    return table;
}

// The host folder a started program works in: the caller's folder when it
// exists, otherwise nothing, and the program inherits the viewer's own.
QString workingFolder(const QString &directory)
{
    if (directory.isEmpty())
        return {};
    const QString host = DriveTable::fromEnvironment().toHostPath(CurrentDirectory::resolve(directory));
    return hostIsDir(host) ? host : QString();
}

// QDesktopServices::openUrl starts the desktop's opener in the viewer's
// working folder, whatever the caller asked for; xdg-open, the opener it
// would start, is started here in `hostFolder` instead. Without xdg-open Qt's
// own search for a program is the better choice.
bool openInFolder(const QUrl &url, const QString &hostFolder)
{
    if (QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())}, hostFolder))
        return true;
    return QDesktopServices::openUrl(url);
}

class DesktopShell final : public Shell {
public:
    bool ShellExecute(QWidget *, const QString &, const QString &file, const QString &, const QString &directory,
                      int) override
    {
        if (file.isEmpty())
            return false;
        // A drive letter is one character before the colon; anything longer
        // is a scheme. A file: URL names a host file, which goes the way of
        // a Windows path from here on.
        const QUrl url(file);
        const bool hostFile = url.isValid() && url.isLocalFile();
        if (url.isValid() && url.scheme().size() > 1 && !hostFile)
            return openInFolder(url, workingFolder(directory));
        const QString host = hostFile ? hostPathFromFileUrl(url)
                                      : DriveTable::fromEnvironment().toHostPath(CurrentDirectory::resolve(file));
        if (!hostFileStatus(host))
            return false;
        for (auto it = openers().cbegin(); it != openers().cend(); ++it) {
            if (host.endsWith(it.key(), Qt::CaseInsensitive)) {
                it.value()(host);
                return true;
            }
        }
        return openInFolder(hostFileUrl(host), workingFolder(directory));
    }
};

} // namespace

Shell &shell()
{
    if (!current())
        current() = makeDesktopShell();
    return *current();
}

void setShell(std::unique_ptr<Shell> instance)
{
    current() = std::move(instance);
}

std::unique_ptr<Shell> makeDesktopShell()
{
    return std::make_unique<DesktopShell>();
}

void setOpener(const QString &suffix, std::function<void(const QString &hostPath)> opener)
{
    if (opener)
        openers().insert(suffix, std::move(opener));
    else
        openers().remove(suffix);
}

} // namespace platform
