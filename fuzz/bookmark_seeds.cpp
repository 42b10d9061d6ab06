// Writes the bookmark fuzzer's seed files into the folder given: files the
// writer makes, and the shapes of files other programs leave behind.
#include "files/BookmarkFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool save(const QString &dir, const char *name, const QByteArray &data)
{
    QFile f(dir + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray written(const QStringList &entries, platform::CodePage codePage = platform::CodePage::Utf8)
{
    return files::writeBookmarkFile(entries, {}, codePage).value_or(QByteArray());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    QStringList many;
    for (int i = 1; i <= 150; ++i)
        many << QStringLiteral("C:\\Folder %1").arg(i);
    const QStringList accented{QStringLiteral("C:\\Photos\\\u00E9t\u00E9"), QStringLiteral("D:\\\u20AC uro")};

    bool ok = save(dir, "simple.ini", written({QStringLiteral("C:\\Photos"), QStringLiteral("D:\\")}));
    ok = ok && save(dir, "comma-and-blanks.ini", written({QStringLiteral("C:\\Pics, old"), QStringLiteral(" C:\\a b ")}));
    ok = ok && save(dir, "duplicates-and-empty.ini", written({QStringLiteral("C:\\a"), QString(), QStringLiteral("C:\\a")}));
    ok = ok && save(dir, "150-lines.ini", written(many));
    ok = ok && save(dir, "utf8.ini", written(accented + QStringList{QStringLiteral("C:\\\u65E5\u672C")}));
    ok = ok && save(dir, "windows-1252.ini", written(accented, platform::CodePage::Windows1252));
    ok = ok && save(dir, "byte-order-mark.ini", "\xEF\xBB\xBF" + written(accented));
    ok = ok && save(dir, "unix-endings.ini", "C:\\a\nC:\\b\n\nC:\\c");
    ok = ok && save(dir, "mac-endings.ini", "C:\\a\rC:\\b\r\rC:\\c\r");
    ok = ok && save(dir, "mixed.ini", QByteArrayLiteral("C:\\\xC3\xA9\r\nC:\\\xE9\nC:\\\xFF\xFE\xED\xA0\x80\rC:\\nul\0x\r\n"));
    ok = ok && save(dir, "long-tail.ini", written(many) + "C:\\no end \xE9");
    if (!ok) {
        std::fprintf(stderr, "could not write the seeds into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
