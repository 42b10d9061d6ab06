#include "platform/ShellExecute.h"

#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"

#include <QDesktopServices>
#include <QMap>
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

class DesktopShell final : public Shell {
public:
    bool ShellExecute(QWidget *, const QString &, const QString &file, const QString &, const QString &,
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
            return QDesktopServices::openUrl(url);
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
        return QDesktopServices::openUrl(hostFileUrl(host));
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
