#include "platform/RegistryHive.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace platform::hive;

namespace {

QByteArray wide(const QString &text)
{
    return fileBytes(text).mid(2);
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
        const ParseResult parsed = parse(fileBytes(text));
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
        const ParseResult parsed = parse(fileBytes(text));
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        const Key *key = parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        QVERIFY(key->value(QStringLiteral("A")));
        QVERIFY(!key->value(QStringLiteral("B")));
        QVERIFY(!parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer\\Sub")));
    }

    void refusesWhatIsNoRegistryFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blank-lines") << QByteArray("\n\r\n  \n");
        QTest::newRow("no-header") << QByteArray("[HKEY_CURRENT_USER\\Software]\n");
        QTest::newRow("other-text") << fileBytes(QStringLiteral("Windows Registry Editor Version 4.00\r\n"));
    }
    void refusesWhatIsNoRegistryFile()
    {
        QFETCH(QByteArray, file);
        const ParseResult parsed = parse(file);
        QVERIFY(!parsed.tree);
        QVERIFY(!parsed.error.isEmpty());
    }

    // A damaged line is left out and everything else is read, as the
    // registry editor imports what it can.
    void skipsTheLinesItCannotRead_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unclosed-string") << "\"A\"=\"1" << "bad string data";
        QTest::newRow("bad-hex") << "\"A\"=hex:zz" << "bad hex data";
        QTest::newRow("bad-dword") << "\"A\"=dword:123456789" << "bad dword data";
        QTest::newRow("unknown-data") << "\"A\"=maybe" << "unknown data format";
        QTest::newRow("stray-byte") << "\x01" << "value name expected";
        QTest::newRow("unclosed-key") << "[HKEY_CURRENT_USER\\Software\\Lumadex" << "unclosed key name";
        QTest::newRow("empty-name-inside") << "[HKEY_CURRENT_USER\\\\Lumadex]" << "not a key name the registry allows";
        QTest::newRow("leading-separator") << "[\\\\2]" << "not a key name the registry allows";
        QTest::newRow("name-of-256") << "[HKEY_CURRENT_USER\\" + QString(256, 'n') + "]" << "not a key name the registry allows";
    }
    void skipsTheLinesItCannotRead()
    {
        QFETCH(QString, damaged);
        QFETCH(QString, reason);
        const QString text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n"
                             "\"BackColor\"=\"4210752\"\r\n"
                             + damaged + "\r\n"
                             "\"Speed\"=\"2500\"\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n"
                             "\"Locate\"=\"C:\\\\Photos\"\r\n";
        const ParseResult parsed = parse(fileBytes(text));
        QVERIFY(parsed.tree);
        QCOMPARE(parsed.error, "line 5: " + reason);
        const Key *key = parsed.tree->key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        QVERIFY(key);
        QCOMPARE(key->value(QStringLiteral("BackColor"))->data, wide(QStringLiteral("4210752") + QChar(0)));
        QCOMPARE(key->value(QStringLiteral("Locate"))->data, wide(QStringLiteral("C:\\Photos") + QChar(0)));
        QVERIFY(!key->value(QStringLiteral("A")));
        // After a skipped key line its values are skipped too: "Speed" does
        // not fall into the key before it.
        const bool keyLine = damaged.startsWith('[');
        QCOMPARE(key->value(QStringLiteral("Speed")) == nullptr, keyLine);
        QCOMPARE(parsed.skippedLines, keyLine ? 2 : 1);
    }

    void keyPathsFollowTheRegistrysLimits()
    {
        QStringList names{QStringLiteral("HKEY_CURRENT_USER")};
        while (names.size() < kMaxKeyDepth)
            names << QStringLiteral("k%1").arg(names.size());
        QVERIFY(splitKeyPath(names.join('\\')));
        QVERIFY(!splitKeyPath((names + QStringList{QStringLiteral("deeper")}).join('\\')));
        QVERIFY(splitKeyPath("HKEY_CURRENT_USER\\" + QString(255, 'n')));
        QVERIFY(!splitKeyPath("HKEY_CURRENT_USER\\" + QString(256, 'n')));
        for (const char *bad : {"", "\\A", "A\\", "A\\\\B", "-A\\B"})
            QVERIFY2(!splitKeyPath(QString::fromLatin1(bad)), bad);
        Tree tree;
        QVERIFY(!tree.createKey(QStringLiteral("A\\\\B")));
        QVERIFY(tree.isEmpty());
    }

    void aDeepKeyIsWrittenOnce()
    {
        // Writing every parent of a deep key in full would make the file grow
        // with the square of its depth.
        QStringList names{QStringLiteral("HKEY_CURRENT_USER")};
        while (names.size() < kMaxKeyDepth)
            names << QString(40, QLatin1Char(char('a' + names.size() % 26)));
        const QString path = names.join('\\');
        const QByteArray file = fileBytes("Windows Registry Editor Version 5.00\r\n\r\n[" + path + "]\r\n\"v\"=\"1\"\r\n");
        const ParseResult parsed = parse(file);
        QVERIFY(parsed.tree);
        QCOMPARE(parsed.skippedLines, 0);
        QVERIFY(parsed.tree->key(names.mid(0, 300).join('\\')));
        const QByteArray written = serialize(*parsed.tree);
        QVERIFY2(written.size() < file.size() + 100, qPrintable(QString::number(written.size())));
        QCOMPARE(*parse(written).tree, *parsed.tree);
    }

    // Whatever parses comes back unchanged through the writer.
    void readingThenWritingKeepsTheTree_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::newRow("trailing-separator") << "[HKEY_CURRENT_USER\\A\\]\r\n\"x\"=\"1\"";
        QTest::newRow("empty-parent-key") << "[HKEY_CURRENT_USER\\A]\r\n[HKEY_CURRENT_USER\\A\\B]\r\n\"x\"=\"1\"";
        QTest::newRow("empty-leaf-key") << "[HKEY_CURRENT_USER\\A\\B]";
        QTest::newRow("root-only") << "[HKEY_CURRENT_USER]\r\n@=\"r\"";
        QTest::newRow("case-of-first-spelling") << "[HKEY_CURRENT_USER\\Aa]\r\n\"N\"=\"1\"\r\n[hkey_current_user\\AA]\r\n\"n\"=\"2\"";
        QTest::newRow("deleted-child-leaves-parent") << "[HKEY_CURRENT_USER\\A\\B]\r\n[-HKEY_CURRENT_USER\\A\\B]";
        QTest::newRow("control-characters") << "[HKEY_CURRENT_USER\\\x01]\r\n\"\x02\"=\"a\tb\"";
        QTest::newRow("bracket-in-name") << "[HKEY_CURRENT_USER\\a]b]\r\n\"]\"=\"[\"";
        QTest::newRow("odd-types") << "[HKEY_CURRENT_USER\\T]\r\n\"a\"=hex(0):\r\n\"b\"=hex(1):41,00\r\n\"c\"=hex(4):01\r\n\"d\"=hex(ffffffff):ff";
    }
    void readingThenWritingKeepsTheTree()
    {
        QFETCH(QString, lines);
        const ParseResult first = parse(fileBytes("Windows Registry Editor Version 5.00\r\n\r\n" + lines + "\r\n"));
        QVERIFY(first.tree);
        QCOMPARE(first.skippedLines, 0);
        const QByteArray written = serialize(*first.tree);
        const ParseResult second = parse(written);
        QVERIFY(second.tree);
        QCOMPARE(second.skippedLines, 0);
        QVERIFY(*second.tree == *first.tree);
        QCOMPARE(serialize(*second.tree), written);
    }

    void writtenFilesReadBackToTheSameTree()
    {
        Tree tree;
        Key &product = *tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
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
            ->setValue({QStringLiteral("WallpaperStyle"), REG_SZ, wide(QStringLiteral("2") + QChar(0))});

        const QByteArray file = serialize(tree);
        const ParseResult parsed = parse(file);
        QVERIFY2(parsed.tree, qPrintable(parsed.error));
        QVERIFY(*parsed.tree == tree);
        const Key *read = parsed.tree->key(QStringLiteral("hkey_current_user\\software\\lumadex viewer"));
        QVERIFY(read);
        QCOMPARE(read->values().size(), 9);
        QCOMPARE(read->value(QStringLiteral("odd"))->data, QByteArray("abc", 3));
        QCOMPARE(read->value(QStringLiteral("Other"))->type, 11u);
        // And writing the read tree again gives the same bytes.
        QCOMPARE(serialize(*parsed.tree), file);
    }

    void parentsComeBeforeChildren()
    {
        Tree tree;
        tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer"));
        tree.createKey(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"));
        QStringList paths;
        tree.forEachKey([&](const QString &path, const Key &) { paths << path; });
        QCOMPARE(paths, (QStringList{QStringLiteral("HKEY_CURRENT_USER"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Control Panel"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Software"),
                                     QStringLiteral("HKEY_CURRENT_USER\\Software\\Lumadex Viewer")}));
    }
};

LUMADEX_TEST_CLASS(HiveFormatTest);
#include "HiveFormatTest.moc"
