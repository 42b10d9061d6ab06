#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <utility>

#include <unistd.h>

#include <sys/types.h>

// Small host file-system steps shared by the shell's file operations, the
// trash and the files the viewer writes. Paths are host paths.
namespace platform::host {

// Renames `from` to `to` without ever replacing what is at `to`. 0 on
// success, else the error number (EEXIST when `to` is taken, EXDEV when the
// two are on different file systems).
int renameNoReplace(const QString &from, const QString &to);

// Moves the symbolic link `link` to `to`, never replacing what is at `to`,
// so that it names what it named before: a relative target is rewritten for
// the link's new folder (rebasedLinkTarget), an absolute one stays. The link
// is renamed where it can be; otherwise (a new target, another file system)
// a new link takes `to` and the old one goes. 0 on success, else the error
// number, the link then where it was.
int moveLinkNoReplace(const QString &link, const QString &to);

// The target that makes a link in `toFolder` name what `target` names from
// a link in `fromFolder`; both folders are canonical (no links, "." or
// ".."). A relative target is prefixed with the way from `toFolder` to
// `fromFolder`, and its leading ".." steps are taken along that way, which
// consists of real folders only, so the result names the same place even
// where the target itself passes through links. An absolute one is returned
// as it is.
QString rebasedLinkTarget(const QString &target, const QString &fromFolder, const QString &toFolder);

// A file being written beside its real place under a hidden name of the
// viewer's own, ".lumadex-<tag>-XXXXXX", which it leaves for its real name
// only once it is complete and on the disk. Every file the viewer writes
// goes through one, so that a crash or a kill never leaves a torn file under
// a real name.
//
// The writer holds an advisory lock (flock) on its temporary from its
// creation to its end, so that one left by a killed writer can be told from
// one being written, by this process or another: a stale one's lock can be
// taken. Making a temporary first removes the stale ones in its folder;
// nothing but a regular file of that name pattern is ever removed.
class TemporaryFile {
public:
    // `mode` as for open(); the process's umask applies.
    TemporaryFile(const QString &folder, const QString &tag, mode_t mode = 0666);
    ~TemporaryFile(); // removes the file unless commit() placed it
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // 0 when the file was made, else why not.
    int error() const { return m_error; }
    int descriptor() const { return m_fd; }
    QString path() const { return m_path; }

    // Flushes the data to the disk, then `place` gives the file its real
    // name (a rename; 0 or the error number), and the folder is flushed too.
    // Either way the lock ends; on failure the temporary is removed.
    int commit(const std::function<int(const QString &temporary)> &place);

private:
    void discard();

    QString m_folder;
    QString m_path;
    int m_fd = -1;
    int m_error = 0;
};

// Whether a file name is one of TemporaryFile's.
bool isTemporaryName(QByteArrayView name);

// A file descriptor, closed when the scope ends unless released.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Gives the descriptor up to the caller, who closes it.
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Writes all of `data` to the descriptor. 0 or the error number.
int writeAll(int fd, QByteArrayView data);

// Writes a file through a TemporaryFile: `write` fills the descriptor (0 or
// the error number), then the file takes the name `target`. With
// `replace` an existing file there is replaced as a whole and keeps its
// permissions, a link there is followed so that the file it names is the
// one replaced, and a file the user may not write is refused; without it
// an existing `target` is never touched (EEXIST). 0 or the error number,
// any old file then as it was.
int writeFileAtomically(const QString &target, bool replace, const std::function<int(int fd)> &write);

// Flushes a folder's entries to the disk, so a rename into it survives a crash.
void syncFolder(const QString &folder);

// The system's words for an error number.
QString errorText(int error);

} // namespace platform::host
