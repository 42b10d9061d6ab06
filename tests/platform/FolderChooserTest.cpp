#include "platform/Drives.h"
#include "platform/FolderChooser.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Drives the desktop chooser's real dialog: once it is up, `answer` handles it.
class FolderChooserTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;

    QString choose(const std::function<void(QFileDialog *)> &answer, QString *titleShown = nullptr)
    {
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            if (titleShown)
                *titleShown = dialog->windowTitle();
            answer(dialog);
        });
        return platform::makeDesktopFolderChooser()->BrowseForFolder(nullptr, QStringLiteral("Please select a folder."));
    }

    static void acceptAt(QFileDialog *dialog, const QString &hostFolder)
    {
        dialog->setDirectory(hostFolder);
        QMetaObject::invokeMethod(dialog, "accept"); // protected in QFileDialog
    }

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        QDir().mkpath(env->driveC() + QStringLiteral("/Photos/Old"));
        QDir().mkpath(env->root() + QStringLiteral("/elsewhere"));
        QDir::setCurrent(env->driveC());
        platform::CurrentDirectory::resetFromHost();
    }

    void aChosenFolderComesBackAsAWindowsPath()
    {
        QString title;
        const QString host = env->driveC() + QStringLiteral("/Photos/Old");
        QCOMPARE(choose([&](QFileDialog *d) { acceptAt(d, host); }, &title), QStringLiteral("C:\\Photos\\Old"));
        QCOMPARE(title, QStringLiteral("Please select a folder."));
        QCOMPARE(choose([&](QFileDialog *d) { acceptAt(d, env->driveC()); }), QStringLiteral("C:\\"));
    }

    void cancelAndAFolderOutsideEveryDriveGiveTheEmptyText()
    {
        QCOMPARE(choose([](QFileDialog *d) { d->reject(); }), QString());
        const QString outside = env->root() + QStringLiteral("/elsewhere");
        QCOMPARE(choose([&](QFileDialog *d) { acceptAt(d, outside); }), QString());
    }
};

LUMADEX_TEST_CLASS(FolderChooserTest);
#include "FolderChooserTest.moc"
