#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Gives the test process a home of its own: HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_CACHE_HOME, LUMADEX_PROGRAM_DIR and LUMADEX_DRIVES all
// point into one temporary folder, so nothing reads or writes the real
// user's files, settings, trash or desktop background. Drive C: is `root()/c`.
class HermeticEnvironment {
public:
    HermeticEnvironment();
    ~HermeticEnvironment();
    HermeticEnvironment(const HermeticEnvironment &) = delete;
    HermeticEnvironment &operator=(const HermeticEnvironment &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString driveC() const { return m_dir.path() + QStringLiteral("/c"); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }
    QString programDir() const { return m_dir.path() + QStringLiteral("/program"); }
    // The hive file the registry emulation keeps.
    QString hiveFile() const;

    // Replaces the drive table; `table` as in LUMADEX_DRIVES ("C:=/x;D:=/y").
    void setDrives(const QString &table);

private:
    QTemporaryDir m_dir;
};

// The shared picture corpus, or an empty text when it is not present.
QString corpusDir();

// Writes `data` to `path`, creating parent folders. Returns false on failure.
bool writeFile(const QString &path, const QByteArray &data);

} // namespace testsupport
