#include "files/BookmarkFile.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using files::BookmarkFile;
using platform::CodePage;

namespace {

QByteArray numberedLines(int from, int to)
{
    QByteArray bytes;
    for (int i = from; i <= to; ++i)
        bytes += "C:\\Folder " + QByteArray::number(i) + "\r\n";
    return bytes;
}

} // namespace

class BookmarkFileTest : public QObject {
    Q_OBJECT

private slots:
    void linesBecomeEntriesInFileOrder_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("CR LF") << QByteArray("C:\\b\r\nC:\\a\r\n") << QStringList{"C:\\b", "C:\\a"};
        QTest::newRow("no end on the last line") << QByteArray("C:\\b\r\nC:\\a") << QStringList{"C:\\b", "C:\\a"};
        QTest::newRow("LF and CR alone") << QByteArray("C:\\a\nC:\\b\rC:\\c\r\n") << QStringList{"C:\\a", "C:\\b", "C:\\c"};
        QTest::newRow("empty line kept") << QByteArray("C:\\a\r\n\r\nC:\\a\r\n") << QStringList{"C:\\a", "", "C:\\a"};
        QTest::newRow("comma is no separator") << QByteArray("C:\\Pics, old\r\n") << QStringList{"C:\\Pics, old"};
        QTest::newRow("blanks kept") << QByteArray(" C:\\a b \r\n") << QStringList{" C:\\a b "};
        QTest::newRow("byte order mark dropped") << QByteArray("\xEF\xBB\xBF" "C:\\\xC3\xA9t\xC3\xA9\r\n")
                                                 << QStringList{QStringLiteral("C:\\\u00E9t\u00E9")};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }

    void linesBecomeEntriesInFileOrder()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        const BookmarkFile file = files::parseBookmarkFile(bytes, CodePage::Utf8);
        QCOMPARE(file.entries, entries);
        QVERIFY(file.rest.isEmpty());
    }

    // What the fuzzer checks on random bytes, for the shapes that once broke it.
    void writingWhatWasReadGivesTheSameEntriesBack_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("first path starting with U+FEFF") << QStringList{QStringLiteral("\uFEFFC:\\x"), "C:\\y"}
                                                         << QByteArray();
        QTest::newRow("first path starting with the mark's letters")
            << QStringList{QStringLiteral("\u00EF\u00BB\u00BFC:\\x")} << QByteArray();
        QTest::newRow("carried lines leading the file") << QStringList{} << QByteArray("\xEF\xBB\xBF" "C:\\x\r\n");
    }

    void writingWhatWasReadGivesTheSameEntriesBack()
    {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, rest);
        for (const CodePage codePage : {CodePage::Utf8, CodePage::Windows1252}) {
            const auto written = files::writeBookmarkFile(entries, rest, codePage);
            if (!written)
                continue; // U+FEFF has no Windows-1252 byte
            const BookmarkFile read = files::parseBookmarkFile(*written, codePage);
            QCOMPARE(files::writeBookmarkFile(read.entries, read.rest, codePage), written);
            if (rest.isEmpty())
                QCOMPARE(read.entries, entries);
        }
    }

    void aWindows1252LineReadsAsWindows1252BesideUtf8Lines()
    {
        const QByteArray bytes("C:\\Photos\\\xE9t\xE9\r\nC:\\\xC3\xA9t\xC3\xA9\r\nC:\\\x80uro\r\n");
        const BookmarkFile file = files::parseBookmarkFile(bytes, CodePage::Utf8);
        QCOMPARE(file.entries, (QStringList{QStringLiteral("C:\\Photos\\\u00E9t\u00E9"), QStringLiteral("C:\\\u00E9t\u00E9"),
                                            QStringLiteral("C:\\\u20ACuro")}));
        // Written back in the system's code page, the paths stay the same.
        const auto written = files::writeBookmarkFile(file.entries, file.rest, CodePage::Utf8);
        QVERIFY(written);
        QCOMPARE(*written, QByteArray("C:\\Photos\\\xC3\xA9t\xC3\xA9\r\nC:\\\xC3\xA9t\xC3\xA9\r\nC:\\\xE2\x82\xACuro\r\n"));
    }

    void linesPastTheShownOnesAreCarriedInTheCodePage()
    {
        // Lines 102.. include odd endings, Windows-1252 letters and the five
        // bytes Windows-1252 leaves undefined.
        const QByteArray tail = "C:\\Folder 102\nC:\\\xFF\xFE odd\r\r\nC:\\\x81\x8D\x8F\x90\x9D\r\nC:\\last without end";
        const QByteArray bytes = numberedLines(1, 101) + tail;
        const BookmarkFile file = files::parseBookmarkFile(bytes, CodePage::Utf8);
        QCOMPARE(file.entries.size(), files::BookmarksShown);
        QCOMPARE(file.entries.first(), QStringLiteral("C:\\Folder 1"));
        QCOMPARE(file.entries.last(), QStringLiteral("C:\\Folder 101"));
        const auto written = files::writeBookmarkFile(file.entries, file.rest, CodePage::Utf8);
        QVERIFY(written);
        QVERIFY(written->startsWith(numberedLines(1, 101)));
        // One code page for the whole file, each carried line with the text
        // and the end it had.
        QVERIFY(platform::decode(CodePage::Utf8, *written));
        QCOMPARE(files::parseBookmarkFile(written->sliced(numberedLines(1, 101).size()), CodePage::Utf8).entries,
                 files::parseBookmarkFile(tail, CodePage::Utf8).entries);
        QCOMPARE(written->count('\r'), 101 + 3);
        QCOMPARE(written->count('\n'), 101 + 3);
        QCOMPARE(files::writeBookmarkFile(file.entries, file.rest, CodePage::Utf8), written);

        // An entry added as the 102nd goes before the carried lines.
        const auto grown = files::writeBookmarkFile(file.entries + QStringList{"C:\\New"}, file.rest, CodePage::Utf8);
        QCOMPARE(*grown, numberedLines(1, 101) + "C:\\New\r\n" + file.rest);
    }

    // A line longer than any path is no entry: it is kept byte for byte
    // (here in Windows-1252, which a decoding would have turned into UTF-8)
    // after the entries, and the lines around it are shown.
    void linesLongerThanAPathAreKeptUnread_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("shown");
        QTest::newRow("5 MB") << QByteArray(5 * 1024 * 1024, '\xE9') << false;
        QTest::newRow("one letter too long") << QByteArray(files::LongestPath + 1, 'a') << false;
        QTest::newRow("as long as a path") << QByteArray(files::LongestPath, 'a') << true;
        QTest::newRow("more bytes than a path, fewer letters")
            << QString(files::LongestPath - 1, QChar(0x00E9)).toUtf8() << true;
    }

    void linesLongerThanAPathAreKeptUnread()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, shown);
        const QByteArray bytes = "C:\\a\r\n" + line + "\r\nC:\\b\r\n";
        const BookmarkFile file = files::parseBookmarkFile(bytes, CodePage::Utf8);
        if (shown) {
            QCOMPARE(file.entries.size(), 3);
            QCOMPARE(file.entries.at(1).toUtf8(), line);
            QVERIFY(file.rest.isEmpty());
            QVERIFY(files::isStorableBookmark(file.entries.at(1), CodePage::Utf8));
            return;
        }
        QCOMPARE(file.entries, (QStringList{"C:\\a", "C:\\b"}));
        QCOMPARE(file.rest, line + "\r\n");
        const auto written = files::writeBookmarkFile(file.entries, file.rest, CodePage::Utf8);
        QCOMPARE(*written, "C:\\a\r\nC:\\b\r\n" + line + "\r\n");
        QCOMPARE(files::parseBookmarkFile(*written, CodePage::Utf8).rest, file.rest);
        QVERIFY(!files::isStorableBookmark(QString::fromLatin1(line.left(files::LongestPath + 1)), CodePage::Utf8));
    }

    void pathsTheFileCannotHoldAreNeverWritten_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("path");
        QTest::newRow("line feed in a name") << int(CodePage::Utf8) << QStringLiteral("C:\\a\nb");
        QTest::newRow("carriage return in a name") << int(CodePage::Utf8) << QStringLiteral("C:\\a\rb");
        QTest::newRow("CJK in Windows-1252") << int(CodePage::Windows1252) << QStringLiteral("C:\\\u65E5\u672C");
    }

    void pathsTheFileCannotHoldAreNeverWritten()
    {
        QFETCH(int, codePage);
        QFETCH(QString, path);
        QVERIFY(!files::isStorableBookmark(path, CodePage(codePage)));
        QCOMPARE(files::writeBookmarkFile({QStringLiteral("C:\\ok"), path}, {}, CodePage(codePage)), std::nullopt);
    }
};

LUMADEX_TEST_CLASS(BookmarkFileTest);
#include "BookmarkFileTest.moc"
