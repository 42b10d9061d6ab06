#include "platform/Folders.h"


#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString dataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/lumadex-viewer");
    QDir().mkpath(folder);
    return folder;
}

QString programFolder()
{
    const QString overridden = qEnvironmentVariable("LUMADEX_PROGRAM_DIR");
    if (!overridden.isEmpty()) {
        QDir().mkpath(overridden);
        return QDir::cleanPath(QDir(overridden).absolutePath());
    }
    return programFolderOf(QCoreApplication::applicationDirPath());
}

QString programFolderOf(const QString &executableFolder)
{
    // An installed program's folder belongs to the package, even where the
    // user may write it (root, in /usr/bin): the package manager would
    // neither know nor keep a bookmark file there.
    const bool installed = programFilesFolderOf(executableFolder) != executableFolder;
    const QFileInfo info(executableFolder);
    if (!executableFolder.isEmpty() && !installed && info.isDir() && info.isWritable())
        return executableFolder;
    return dataFolder();
}

QString programFilesFolder()
{
    const QString overridden = qEnvironmentVariable("LUMADEX_PROGRAM_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(QDir(overridden).absolutePath());
    return programFilesFolderOf(QCoreApplication::applicationDirPath());
}

QString programFilesFolderOf(const QString &executableFolder)
{
    const QString installed = QDir::cleanPath(executableFolder + QStringLiteral("/../share/lumadex-viewer"));
    return QFileInfo(installed).isDir() ? installed : executableFolder;
}

QString windowsFolder()
{
#ifdef _WIN32
    return QDir::fromNativeSeparators(qEnvironmentVariable("WINDIR", QStringLiteral("C:/Windows")));
#else
    return dataFolder();
#endif
}

} // namespace platform
