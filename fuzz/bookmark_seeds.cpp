// Writes the bookmark fuzzer's seed files into the folder given: files the
// writer makes, and the shapes of files other programs leave behind.
#include "files/BookmarkFile.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <cstdio>
#include <utility>

namespace {

QByteArray written(const QStringList &entries, platform::CodePage codePage = platform::CodePage::Utf8)
{
    return files::writeBookmarkFile(entries, {}, codePage).value_or(QByteArray());
}

QList<std::pair<QString, QByteArray>> seeds()
{
    QStringList many;
    for (int i = 1; i <= 150; ++i)
        many << QStringLiteral("C:\\Folder %1").arg(i);
    const QStringList accented{QStringLiteral("C:\\Photos\\\u00E9t\u00E9"), QStringLiteral("D:\\\u20AC uro")};
    return {
        {"simple.ini", written({QStringLiteral("C:\\Photos"), QStringLiteral("D:\\")})},
        {"comma-and-blanks.ini", written({QStringLiteral("C:\\Pics, old"), QStringLiteral(" C:\\a b ")})},
        {"duplicates-and-empty.ini", written({QStringLiteral("C:\\a"), QString(), QStringLiteral("C:\\a")})},
        {"150-lines.ini", written(many)},
        {"utf8.ini", written(accented + QStringList{QStringLiteral("C:\\\u65E5\u672C")})},
        {"windows-1252.ini", written(accented, platform::CodePage::Windows1252)},
        {"byte-order-mark.ini", "\xEF\xBB\xBF" + written(accented)},
        {"unix-endings.ini", "C:\\a\nC:\\b\n\nC:\\c"},
        {"mac-endings.ini", "C:\\a\rC:\\b\r\rC:\\c\r"},
        {"mixed.ini", QByteArrayLiteral("C:\\\xC3\xA9\r\nC:\\\xE9\nC:\\\xFF\xFE\xED\xA0\x80\rC:\\nul\0x\r\n")},
        {"long-tail.ini", written(many) + "C:\\no end \xE9"},
        // A line longer than any path among the shown ones, and a path of
        // more bytes than any path has letters (UTF-8 letters of two bytes),
        // within the fuzzer's 64 KiB.
        {"longer-than-a-path.ini", "C:\\a\r\n" + QByteArray(files::LongestPath + 1, '\xE9') + "\r\nC:\\b"},
        {"near-the-longest-path.ini",
         "C:\\a\n" + QString(files::LongestPath - 10, QChar(0x00E9)).toUtf8() + "\n" + written({QStringLiteral("C:\\b")})},
    };
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    for (const auto &[name, bytes] : seeds()) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
