#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace controls {

// What a list control shows of a folder: the names of its regular files and
// of its sub-folders. Names starting with "." are hidden and left out, as
// are sockets, devices and links that lead nowhere. A link counts as what it
// points to, as a shortcut to a folder opens that folder.
struct FolderEntries {
    QStringList files;
    QStringList folders;
};

enum class FolderParts { Files, Folders };

// Reads a host folder with one opendir/readdir pass; it only stats entries
// whose type the directory itself does not give (links, some file systems).
// The names are Windows names (platform/HostPath.h), which give the host
// names back exactly. Returns nothing when the folder cannot be opened.
std::optional<FolderEntries> readFolder(const QString &hostFolder, FolderParts parts);

// The files of a host folder (readFolder's), sorted as the file list shows
// them. Loads that follow one another (the start-up lists the working folder,
// then applies the filter, then opens the default folder: the same folder
// three times) read it once: the last folder read is kept for a second and
// used again while the folder's change time, which every added, removed or
// renamed entry moves, is what it was, and was already older than the read
// by more than the file system's clock step. Nothing when it cannot be
// opened. For the user-interface thread.
std::optional<QStringList> readSortedFiles(const QString &hostFolder);

// A folder named by a Windows path, with its sub-folders sorted as the
// folder list shows them.
struct OpenedFolder {
    QString path; // Windows path as spelled on disk
    QStringList subFolders;
};

// Finds a folder through the drive table and reads it: each component is
// looked up without regard to case, "D:" alone is that drive's current
// folder, a relative name resolves against the current folder. Nothing when
// it cannot be listed (missing, unreadable, drive not ready).
std::optional<OpenedFolder> openFolder(const QString &windowsPath);

// True when the host folder exists and can be listed.
bool canListFolder(const QString &hostFolder);

// Sorts names as the file list shows them: without regard to letter case,
// and names that differ only in case in a fixed order.
void sortNamesIgnoringCase(QStringList &names);

// One or more wildcard patterns separated by ";" ("*.bmp;*.gif"), matched
// against whole file names without regard to letter case. "*" stands for any
// run of characters, "?" for one character; "*.*" matches every name, dotted
// or not, and so does an empty text.
class FilePattern {
public:
    explicit FilePattern(const QString &patterns = QString());
    bool matches(const QString &name) const;

private:
    QStringList m_patterns; // case-folded
    bool m_all = false;
};

} // namespace controls
