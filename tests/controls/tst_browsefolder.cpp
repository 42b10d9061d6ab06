#include "controls/BrowseForFolderDialog.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

#include <unistd.h>

using controls::BrowseForFolderDialog;

namespace {

QStringList texts(const QTreeWidgetItem *parent)
{
    QStringList shown;
    for (int i = 0; i < parent->childCount(); ++i)
        shown << parent->child(i)->text(0);
    return shown;
}

} // namespace

class BrowseForFolderTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> m_env;

    static QList<QByteArray> hostOnlyNames() { return {"/caf\xe9", "/caf\xe9/inner", "/a?b"}; }

private slots:
    void init()
    {
        m_env = std::make_unique<testsupport::HermeticEnvironment>();
        QVERIFY(m_env->isValid());
        const QString c = m_env->driveC();
        for (const char *folder : {"/Photos/Old", "/Photos/new", "/.cache", "/Music"})
            QVERIFY(QDir().mkpath(c + QLatin1String(folder)));
        QVERIFY(testsupport::writeFile(c + QStringLiteral("/Photos/a.jpg"), "not a folder"));
        // Names no Windows path can hold.
        for (const QByteArray &name : hostOnlyNames())
            QVERIFY(platform::makeHostFolder(platform::hostPathFromBytes(QFile::encodeName(c) + name)));
        QVERIFY(QDir().mkpath(m_env->root() + QStringLiteral("/d")));
        m_env->setDrives(QStringLiteral("C:=%1;D:=%2/d;Q:=%2/no-medium").arg(c, m_env->root()));
        QDir::setCurrent(c + QStringLiteral("/Photos"));
        platform::CurrentDirectory::resetFromHost();
    }
    void cleanup()
    {
        // QTemporaryDir cannot reach a name that is not UTF-8.
        QList<QByteArray> names = hostOnlyNames();
        std::reverse(names.begin(), names.end());
        for (const QByteArray &name : names)
            ::rmdir((QFile::encodeName(m_env->driveC()) + name).constData());
        m_env.reset();
    }

    // The drives of the table, each folder's sub-folders as the folder list
    // shows them, opened at the current folder.
    void theTreeShowsTheDrivesAndOpensAtTheCurrentFolder()
    {
        BrowseForFolderDialog dialog(nullptr, QStringLiteral("Please select a folder."));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Browse for Folder"));
        QCOMPARE(dialog.titleLabel->text(), QStringLiteral("Please select a folder."));
        QTreeWidget *tree = dialog.tree;
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("c: [c]"));
        QVERIFY(!(tree->topLevelItem(2)->flags() & Qt::ItemIsEnabled)); // Q: is not ready
        QVERIFY(!dialog.okButton->isEnabled());

        QVERIFY(dialog.selectPath(QStringLiteral("c:\\photos")));
        QCOMPARE(dialog.selectedPath(), QStringLiteral("C:\\Photos"));
        QVERIFY(dialog.okButton->isEnabled());
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QCOMPARE(texts(tree->topLevelItem(0)), (QStringList{"a\uF03Fb", "caf\uF0E9", "Music", "Photos"}));
        tree->currentItem()->setExpanded(true);
        QCOMPARE(texts(tree->currentItem()), (QStringList{"new", "Old"}));

        QVERIFY(dialog.selectPath(QStringLiteral("D:\\")));
        QCOMPARE(dialog.selectedPath(), QStringLiteral("D:\\"));
        QVERIFY(!dialog.selectPath(QStringLiteral("C:\\Photos\\Gone")));
        QVERIFY(!dialog.selectPath(QStringLiteral("Q:\\")));
        QCOMPARE(dialog.selectedPath(), QStringLiteral("D:\\"));
    }

    // What the chooser gives back leads to the very folder chosen, whatever
    // its host name.
    void theChooserGivesTheChosenFolder_data()
    {
        QTest::addColumn<QString>("select"); // empty: as the window opens
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("host"); // below drive C:
        QTest::newRow("the current folder") << "" << int(Qt::Key_Return) << "C:\\Photos" << QByteArray("/Photos");
        QTest::newRow("a drive") << "C:\\" << int(Qt::Key_Return) << "C:\\" << QByteArray();
        QTest::newRow("not UTF-8") << "C:\\caf\uF0E9\\inner" << int(Qt::Key_Return) << "C:\\caf\uF0E9\\inner"
                                   << hostOnlyNames().at(1);
        QTest::newRow("a character Windows forbids") << "C:\\a\uF03Fb" << int(Qt::Key_Return) << "C:\\a\uF03Fb"
                                                     << hostOnlyNames().at(2);
        QTest::newRow("cancelled") << "C:\\Music" << int(Qt::Key_Escape) << "" << QByteArray();
    }
    void theChooserGivesTheChosenFolder()
    {
        QFETCH(QString, select);
        QFETCH(int, key);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, host);
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<BrowseForFolderDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(select.isEmpty() || dialog->selectPath(select));
            QTest::keyClick(dialog->tree, Qt::Key(key));
        });
        const QString path =
            controls::makeBrowseForFolderChooser()->BrowseForFolder(nullptr, QStringLiteral("Please select a folder."));
        QCOMPARE(path, chosen);
        if (!chosen.isEmpty())
            QCOMPARE(platform::hostPathBytes(platform::DriveTable::fromEnvironment().toHostPath(path)),
                     QFile::encodeName(m_env->driveC()) + host);
    }
};

int runBrowseForFolderTest(int argc, char *argv[])
{
    BrowseForFolderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsefolder.moc"
