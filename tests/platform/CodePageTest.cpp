#include "platform/CodePage.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using platform::CodePage;

class CodePageTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindows1252ByteComesBackAsItWent()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const auto text = platform::decode(CodePage::Windows1252, all);
        QVERIFY(text);
        QCOMPARE(text->size(), 256);
        QCOMPARE(text->at(0xE9), QChar(0x00E9));  // é
        QCOMPARE(text->at(0x80), QChar(0x20AC));  // €
        QCOMPARE(text->at(0x9F), QChar(0x0178));  // Ÿ
        QCOMPARE(text->at(0x81), QChar(0x0081));  // undefined, as Windows reads it
        QCOMPARE(platform::encode(CodePage::Windows1252, *text), std::optional<QByteArray>(all));
    }

    void charactersACodePageLacksAreRefused()
    {
        QCOMPARE(platform::encode(CodePage::Windows1252, QStringLiteral("C:\\\u65E5\u672C")), std::nullopt);
        QCOMPARE(platform::encode(CodePage::Utf8, QStringLiteral("C:\\a") + QChar(0xD800)), std::nullopt);
    }

    void invalidUtf8IsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Windows-1252 e-acute") << QByteArray("C:\\\xE9t\xE9");
        QTest::newRow("lone continuation byte") << QByteArray("\x80");
        QTest::newRow("overlong NUL") << QByteArray("\xC0\x80");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80");
        QTest::newRow("truncated at the end") << QByteArray("ab\xE2\x82");
    }

    void invalidUtf8IsRefused()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(platform::decode(CodePage::Utf8, bytes), std::nullopt);
    }

    void utf8KeepsEveryCharacterAndTheByteOrderMark()
    {
        const QString text = QStringLiteral("\uFEFFC:\\\u00E9t\u00E9\\\u65E5\u672C\\\U0001F600");
        const auto bytes = platform::encode(CodePage::Utf8, text);
        QVERIFY(bytes);
        QVERIFY(bytes->startsWith("\xEF\xBB\xBF"));
        QCOMPARE(platform::decode(CodePage::Utf8, *bytes), std::optional<QString>(text));
    }
};

LUMADEX_TEST_CLASS(CodePageTest);
#include "CodePageTest.moc"
