#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// The shell's file operations as the viewer uses them (SHFileOperationA's
// copy, move and delete to the Recycle Bin, and the runtime's rename), with
// the promises a user of the Windows shell relies on: a copy or move never
// replaces a file, a delete can always be undone, a failure leaves every file
// where it was. Paths are Windows paths; the drive table turns them into host
// paths. None of these calls shows a window: each returns what became of the
// request, and the caller tells the user. Handlers reach them through
// shellFileOps(); tests may put another implementation in place.
namespace platform {

struct FileOpResult {
    enum class Status { Ok, Cancelled, Failed };
    Status status = Status::Failed;
    // Ok: where the file is now (a Windows path after a copy, move or
    // rename; the host path inside the trash after a delete). Failed: the
    // file or folder that could not be used.
    QString path;
    // Failed: why, in the system's words.
    QString reason;

    bool ok() const { return status == Status::Ok; }
    static FileOpResult done(const QString &path) { return {Status::Ok, path, {}}; }
    static FileOpResult cancelled() { return {Status::Cancelled, {}, {}}; }
    static FileOpResult failed(const QString &path, const QString &reason) { return {Status::Failed, path, reason}; }
};

// Hears how a copy goes, chunk by chunk; answering false cancels it.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    virtual bool advance(const QString &fileName, qint64 copied, qint64 total) = 0;
};

class ShellFileOps {
public:
    virtual ~ShellFileOps() = default;
    // Copies the file into the folder. A name already in use there gets the
    // shell's free name ("beach - Copy.jpg", "beach - Copy (2).jpg", ...), so
    // a copy into the file's own folder makes "beach - Copy.jpg". A cancelled
    // or failed copy leaves no file behind.
    virtual FileOpResult copyTo(const QString &source, const QString &destinationFolder, CopyProgress *progress) = 0;
    // Moves the file into the folder, with the same free-name rule. Across
    // file systems the file is copied in full and checked before the source
    // is removed. Into the file's own folder it stays as it is. A symbolic
    // link moves as a link and names the same file afterwards (a relative
    // target is rewritten for the new folder), on any file system.
    virtual FileOpResult moveTo(const QString &source, const QString &destinationFolder, CopyProgress *progress) = 0;
    // Sends the file to the desktop's trash, from where the file manager can
    // restore it. When the trash refuses it, the file stays where it is: it
    // is never deleted outright.
    virtual FileOpResult moveToTrash(const QString &source) = 0;
    // Renames the file to `newName`: a bare name resolves against the
    // current folder, anything else is a Windows path. Fails when the name is
    // in use or one Windows refuses (winpath::isAllowedFileName); it never
    // replaces a file. Does not move a file between file systems; a link
    // put into another folder is moved as moveTo moves it.
    virtual FileOpResult rename(const QString &source, const QString &newName) = 0;
};

ShellFileOps &shellFileOps();
// Replaces the implementation (the program uses the desktop one).
void setShellFileOps(std::unique_ptr<ShellFileOps> instance);

// The operations on the host's file systems, with the freedesktop.org trash.
std::unique_ptr<ShellFileOps> makeDesktopFileOps();

// The name the Windows shell gives a file copied or moved into a folder:
// `name` itself when it is free, else "stem - Copy.ext", then
// "stem - Copy (2).ext", "stem - Copy (3).ext", ... The first one for which
// `taken` is false; empty when all are taken.
QString freeName(const QString &name, const std::function<bool(const QString &)> &taken);

} // namespace platform
