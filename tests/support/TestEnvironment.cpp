#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

HermeticEnvironment::HermeticEnvironment()
{
    if (!m_dir.isValid())
        return;
    const QString r = m_dir.path();
    for (const char *sub : {"home", "config", "data", "cache", "program", "c", "runtime"})
        QDir(r).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(r + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(r + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(r + QStringLiteral("/cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(r + QStringLiteral("/runtime")));
    qputenv("LUMADEX_PROGRAM_DIR", QFile::encodeName(programDir()));
    setDrives(QStringLiteral("C:=") + driveC());
    // The real desktop's wallpaper stays untouched: no known desktop, and any
    // gsettings call writes a key file in the temporary configuration folder.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("GSETTINGS_BACKEND", "keyfile");
}

HermeticEnvironment::~HermeticEnvironment() = default;

QString HermeticEnvironment::hiveFile() const
{
    return configHome() + QStringLiteral("/lumadex-viewer/HKEY_CURRENT_USER.reg");
}

void HermeticEnvironment::setDrives(const QString &table)
{
    qputenv("LUMADEX_DRIVES", table.toUtf8());
}

QString corpusDir()
{
    const QString dir = QStringLiteral(LUMADEX_CORPUS_DIR);
    return QFileInfo::exists(dir + QStringLiteral("/MANIFEST.tsv")) ? dir : QString();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(data) == data.size();
}

} // namespace testsupport
