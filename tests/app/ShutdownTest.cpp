#include "FakeTray.h"
#include "app/Form1.h"
#include "app/Runtime.h"
#include "platform/SingleInstance.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QTest>

#include <memory>

namespace {

// Another window of the program, recording its unload handler.
class RecordingForm : public controls::Form {
public:
    explicit RecordingForm(QStringList *log, QString name) : m_log(log), m_name(std::move(name)) {}

protected:
    void Form_Unload(int &) override { m_log->append(m_name); }

private:
    QStringList *m_log;
    QString m_name;
};

} // namespace

class ShutdownTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    int ended = 0;
    QStringList log; // outlives the windows that write to it

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        testsupport::installRecordingDialogs();
        platform::setTray(std::make_unique<FakeTray>());
        platform::testing::setPreviousInstanceRunning(false);
        ended = 0;
        log.clear();
        app::setEndHandler([this] { ++ended; });
    }
    void cleanup()
    {
        for (controls::Form *form : controls::Form::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void closingTheMainWindowUnloadsEveryWindow()
    {
        auto *main = new app::Form1();
        main->Form_Load();
        main->show();
        QPointer<controls::Form> bookmarks = new RecordingForm(&log, QStringLiteral("bookmarks"));
        QPointer<controls::Form> fileOps = new RecordingForm(&log, QStringLiteral("file operation"));
        bookmarks->show();

        main->close(); // the close box
        QVERIFY(main->isUnloaded());
        QCOMPARE(log, (QStringList{QStringLiteral("bookmarks"), QStringLiteral("file operation")}));
        QVERIFY(controls::Form::loadedForms().isEmpty());
        QVERIFY(!main->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(bookmarks.isNull());
        QVERIFY(fileOps.isNull());
        QVERIFY(!app::Form1::instance());
        QCOMPARE(ended, 0);
    }

    void exitEndsAtOnceWithoutUnloadHandlers()
    {
        auto *main = new app::Form1();
        main->Form_Load();
        new RecordingForm(&log, QStringLiteral("bookmarks"));
        main->exitmenu_Click();
        QCOMPARE(ended, 1);
        QVERIFY(log.isEmpty());
    }
};

LUMADEX_TEST_CLASS(ShutdownTest);
#include "ShutdownTest.moc"
