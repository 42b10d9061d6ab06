#include "files/BookmarkFile.h"

#include <QFile>
#include <QSaveFile>

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

bool saveBookmarkBytes(const QString &hostPath, const QByteArray &bytes)
{
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool faulty = saveFaultAfter() >= 0;
    const QByteArray written = faulty ? bytes.left(saveFaultAfter()) : bytes;
    if (file.write(written) != written.size() || faulty) {
        file.cancelWriting();
        return false;
    }
    // commit() flushes the temporary file to disk before renaming it.
    return file.commit();
}

namespace testing {

void setBookmarkSaveFault(qint64 failAfterBytes)
{
    saveFaultAfter() = failAfterBytes;
}

} // namespace testing

} // namespace files
