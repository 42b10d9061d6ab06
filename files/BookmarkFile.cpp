#include "files/BookmarkFile.h"

#include "platform/HostFiles.h"

#include <QFile>

#include <cerrno>

namespace files {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

qint64 &saveFaultAfter()
{
    static qint64 bytes = -1;
    return bytes;
}

// The reader's decoding of a line: `codePage`, else Windows-1252.
QString decodeLine(QByteArrayView line, platform::CodePage codePage)
{
    if (std::optional<QString> text = platform::decode(codePage, line))
        return *text;
    return *platform::decode(platform::CodePage::Windows1252, line); // never fails
}

// Whether a line is too long to be a path. A byte gives one UTF-16 unit at
// most and a UTF-16 unit takes three bytes at most, so only lines between
// the two bounds need decoding to tell.
bool isLongerThanAPath(QByteArrayView line, platform::CodePage codePage)
{
    if (line.size() <= LongestPath)
        return false;
    if (line.size() > 3 * LongestPath)
        return true;
    return decodeLine(line, codePage).size() > LongestPath;
}

// A carried line as a save writes it: in `codePage`, as the reader reads it.
QByteArray carriedLine(QByteArrayView line, platform::CodePage codePage)
{
    if (platform::decode(codePage, line))
        return line.toByteArray();
    return platform::encode(codePage, decodeLine(line, codePage)).value_or(line.toByteArray());
}

} // namespace

BookmarkFile parseBookmarkFile(QByteArrayView bytes, platform::CodePage codePage)
{
    BookmarkFile file;
    if (bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(3);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        if (end < bytes.size() && bytes[end] == '\r')
            ++end;
        if (end < bytes.size() && bytes[end] == '\n')
            ++end;
        const QByteArrayView ending = bytes.sliced(pos + line.size(), end - pos - line.size());
        if (isLongerThanAPath(line, codePage)) {
            file.rest += line;
            file.rest += ending;
        } else if (file.entries.size() < BookmarksShown) {
            file.entries.append(decodeLine(line, codePage));
        } else {
            file.rest += carriedLine(line, codePage);
            file.rest += ending;
        }
        pos = end;
    }
    return file;
}

std::optional<QByteArray> writeBookmarkFile(const QStringList &entries, QByteArrayView rest,
                                            platform::CodePage codePage)
{
    QByteArray bytes;
    for (const QString &entry : entries) {
        if (!isStorableBookmark(entry, codePage))
            return std::nullopt;
        bytes += *platform::encode(codePage, entry);
        bytes += "\r\n";
    }
    bytes += rest;
    // A file that starts as a byte order mark would lose those bytes on the
    // next read; one mark more keeps them.
    if (bytes.startsWith(kByteOrderMark))
        bytes.prepend(kByteOrderMark);
    return bytes;
}

bool isStorableBookmark(const QString &path, platform::CodePage codePage)
{
    if (path.size() > LongestPath || path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
        return false;
    return platform::encode(codePage, path).has_value();
}

QByteArray readBookmarkBytes(const QString &hostPath)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int saveBookmarkBytes(const QString &hostPath, const QByteArray &bytes)
{
    return platform::host::writeFileAtomically(hostPath, true, [&bytes](int fd) {
        if (saveFaultAfter() < 0)
            return platform::host::writeAll(fd, bytes);
        platform::host::writeAll(fd, QByteArrayView(bytes).first(qMin(saveFaultAfter(), bytes.size())));
        return ENOSPC;
    });
}

namespace testing {

void setBookmarkSaveFault(qint64 failAfterBytes)
{
    saveFaultAfter() = failAfterBytes;
}

} // namespace testing

} // namespace files
