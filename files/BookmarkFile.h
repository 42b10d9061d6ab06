#pragma once

#include "platform/CodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// "bookmark.ini": one folder path a line, CR LF, no header, no quoting, in
// the system's 8-bit code page. The window shows the first 101 lines; the
// lines after them are carried along so that a save never drops them.
namespace files {

inline constexpr int BookmarksShown = 101; // list positions 0 to 100
// The longest path Windows has, in UTF-16 units. A longer line is no path.
inline constexpr qsizetype LongestPath = 32767;

struct BookmarkFile {
    QStringList entries; // the first lines that are paths, at most BookmarksShown, in file order
    // The other lines with their own ends, in file order, as a save writes
    // them back after the entries: the lines past the shown ones in
    // `codePage`, and every line longer than a path byte for byte.
    QByteArray rest;
};

// A line ends at CR LF, LF or CR; the last one may have no end. Each line is
// read in `codePage`, and one that is not valid there is read as
// Windows-1252, the code page such files were written in on Windows; a line
// past the shown ones is carried in `codePage` too, so that a saved file
// has one code page throughout. A line longer than LongestPath is no path:
// it is not shown and is carried byte for byte, and one of megabytes is
// never decoded. A byte order mark at the start of the file is dropped.
// One pass over the bytes.
BookmarkFile parseBookmarkFile(QByteArrayView bytes, platform::CodePage codePage);

// Every entry as one CR LF line in `codePage`, then `rest` as it is. Nothing
// when an entry cannot be written so (see isStorableBookmark): the file is
// never written with a path changed.
std::optional<QByteArray> writeBookmarkFile(const QStringList &entries, QByteArrayView rest,
                                            platform::CodePage codePage);

// The path can be written as one line in the code page and read back as
// one of the shown entries: the code page holds every character, there is
// no line break in it and it is no longer than LongestPath.
bool isStorableBookmark(const QString &path, platform::CodePage codePage);

// The file's bytes at `hostPath`; empty when it is missing or cannot be read.
QByteArray readBookmarkBytes(const QString &hostPath);
// Writes a temporary file beside `hostPath`, flushes it to disk and renames
// it over the old file. 0, or the error number of the failure, the old file
// then untouched.
int saveBookmarkBytes(const QString &hostPath, const QByteArray &bytes);

namespace testing {
// From now on every save stops after `failAfterBytes` bytes with "no space
// left", as on a full disk; a negative value ends the fault.
void setBookmarkSaveFault(qint64 failAfterBytes);
} // namespace testing

} // namespace files
