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

QString decodeLine(QByteArrayView line, platform::CodePage codePage)
{
    if (std::optional<QString> text = platform::decode(codePage, line))
        return *text;
    return *platform::decode(platform::CodePage::Windows1252, line); // never fails
}

} // namespace

BookmarkFile parseBookmarkFile(QByteArrayView bytes, platform::CodePage codePage)
{
    BookmarkFile file;
    if (bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(3);
    qsizetype pos = 0;
    while (pos < bytes.size() && file.entries.size() < BookmarksShown) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        file.entries.append(decodeLine(bytes.sliced(pos, end - pos), codePage));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    file.rest = bytes.sliced(pos).toByteArray();
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
    if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
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
