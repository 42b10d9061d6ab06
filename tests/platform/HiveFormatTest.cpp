#include "platform/RegistryHive.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace platform::hive;

namespace {

QByteArray utf16File(const QString &text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QByteArray wide(const QString &text)
{
    return utf16File(text).mid(2);
}

} // namespace

class HiveFormatTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheUtf16Format()
    {
        const QString text = QStringLiteral(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "; exported by hand\r\n"
            "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n"
            "\"Speed\"=\"1000\"\r\n"
            "\"Quote\"=\"a \\\"b\\\" \\\\ c\"\r\n"
            "\"Count\"=dword:0000002a\r\n"
            "\"Path\"=hex(2):43,00,3a,00,\\\r\n"
            "  5c,00,00,00\r\n"
            "@=\"default\"\r\n");
        const ParseResult parsed = parse(utf16File(text));
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        const Key *key = parsed.tree->key(QStringLiteral("hkey_current_user\\software\\lumadex viewer"));
        QVERIFY(key);
        QCOMPARE(key->value(QStringLiteral("speed"))->data, wide(QStringLiteral("1000") + QChar(0)));
        QCOMPARE(key->value(QStringLiteral("Quote"))->data, wide(QStringLiteral("a \"b\" \\ c") + QChar(0)));
        QCOMPARE(key->value(QStringLiteral("Count"))->type, REG_DWORD);
        QCOMPARE(key->value(QStringLiteral("Count"))->data, QByteArray("\x2a\0\0\0", 4));
        QCOMPARE(key->value(QStringLiteral("Path"))->type, REG_EXPAND_SZ);
        QCOMPARE(key->value(QStringLiteral("Path"))->data, wide(QStringLiteral("C:\\") + QChar(0)));
        QCOMPARE(key->value(QString())->data, wide(QStringLiteral("default") + QChar(0)));
    }

    void readsThe8BitFormat()
    {
        // In the older format string data in hex are 8-bit bytes.
        const QByteArray file = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\n"
                                "\"CopyPath\"=\"C:\\\\Fotos \xc3\x9c\"\n"
                                "\"Env\"=hex(2):25,41,25,00\n";
        const ParseResult parsed = parse(file);
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        const Key *key = parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        QVERIFY(key);
        QCOMPARE(key->value(QStringLiteral("CopyPath"))->data, wide(QStringLiteral("C:\\Fotos Ü") + QChar(0)));
        QCOMPARE(key->value(QStringLiteral("Env"))->data, wide(QStringLiteral("%A%") + QChar(0)));
    }

    void deletionsAreApplied()
    {
        const QString text = QStringLiteral(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer\\Sub]\r\n\"C\"=\"3\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n\"B\"=-\r\n"
            "[-HKEY_CURRENT_USER\\Software\\Lumadex Viewer\\Sub]\r\n");
        const ParseResult parsed = parse(utf16File(text));
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        const Key *key = parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        QVERIFY(key->value(QStringLiteral("A")));
        QVERIFY(!key->value(QStringLiteral("B")));
        QVERIFY(!parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer\\Sub")));
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no-header") << QByteArray("[HKEY_CURRENT_USER\\Software]\n");
        QTest::newRow("value-outside-key") << QByteArray("REGEDIT4\n\"A\"=\"1\"\n");
        QTest::newRow("unclosed-string") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"1\n");
        QTest::newRow("bad-hex") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=hex:zz\n");
        QTest::newRow("bad-dword") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=dword:123456789\n");
        QTest::newRow("unknown-data") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=maybe\n");
        QTest::newRow("truncated-utf16") << utf16File(QStringLiteral("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\X")).chopped(3);
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QByteArray, file);
        const ParseResult parsed = parse(file);
        QVERIFY(!parsed.tree);
        QVERIFY(!parsed.error.isEmpty());
    }

    void writtenFilesReadBackToTheSameTree()
    {
        Tree tree;
        Key &product = tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        product.setValue({QStringLiteral("Speed"), REG_SZ, wide(QStringLiteral("1000") + QChar(0))});
        product.setValue({QStringLiteral("NoNul"), REG_SZ, wide(QStringLiteral("abc"))});
        product.setValue({QStringLiteral("InnerNul"), REG_SZ, wide(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd") + QChar(0))});
        product.setValue({QStringLiteral("Odd"), REG_SZ, QByteArray("abc", 3)});
        product.setValue({QStringLiteral("Line"), REG_SZ, wide(QStringLiteral("one\ntwo") + QChar(0))});
        product.setValue({QStringLiteral("Quoted \"name\""), REG_SZ, wide(QStringLiteral("\\\"") + QChar(0))});
        product.setValue({QStringLiteral("Big"), REG_BINARY, QByteArray(300, '\x5a')});
        product.setValue({QStringLiteral("Count"), REG_DWORD, QByteArray("\x01\x02\x03\x04", 4)});
        product.setValue({QStringLiteral("Other"), 11, QByteArray("\x01\x02", 2)});
        tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"))
            .setValue({QStringLiteral("WallpaperStyle"), REG_SZ, wide(QStringLiteral("2") + QChar(0))});

        const QByteArray file = serialize(tree);
        const ParseResult parsed = parse(file);
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        QCOMPARE(parsed.tree->keys().size(), tree.keys().size());
        for (const Key &key : tree.keys()) {
            const Key *read = parsed.tree->key(key.path);
            QVERIFY2(read, qPrintable(key.path));
            QCOMPARE(read->values.size(), key.values.size());
            for (const Value &value : key.values) {
                const Value *got = read->value(value.name);
                QVERIFY2(got, qPrintable(value.name));
                QCOMPARE(got->type, value.type);
                QCOMPARE(got->data, value.data);
            }
        }
        // And writing the read tree again gives the same bytes.
        QCOMPARE(serialize(*parsed.tree), file);
    }

    void parentsComeBeforeChildren()
    {
        Tree tree;
        tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"));
        QStringList paths;
        for (const Key &key : tree.keys())
            paths << key.path;
        QCOMPARE(paths, (QStringList{QStringLiteral("HKEY_CURRENT_USER\\Control Panel"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Software"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer")}));
    }
};

LUMADEX_TEST_CLASS(HiveFormatTest);
#include "HiveFormatTest.moc"
