#include "tests/app/FakeTray.h"
#include "tests/browser/MainWindowFixture.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "desktop/Form5.h"
#include "settings/Settings.h"
#include "tests/support/TestRunner.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using desktop::Form5;

// The "Minimize to TrayIcon" window and the start-up choice it stores.
class TraySettingsTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;
    FakeTray *tray = nullptr;

    Form5 &openForm5()
    {
        f.main->mintray->action()->trigger();
        Form5 *form = Form5::loaded();
        Q_ASSERT(form);
        return *form;
    }

    // Type and size of the stored value, to tell an empty text from no value.
    static std::pair<platform::DWORD, platform::DWORD> storedValue(const char *name)
    {
        using namespace platform;
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key) != ERROR_SUCCESS)
            return {REG_NONE, 0};
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            type = REG_NONE;
        RegCloseKey(key);
        return {type, size};
    }

private slots:
    void init()
    {
        f.setUp();
        auto fake = std::make_unique<FakeTray>();
        tray = fake.get();
        platform::setTray(std::move(fake));
        f.load();
    }
    void cleanup() { f.tearDown(); }

    // Opened from "Minmize to Tray" as an ordinary window, once however often.
    void opensWithTheStoredChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("one-starts-in-the-tray") << "1" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a-word") << "yes" << false;
        QTest::newRow("one-with-a-blank") << " 1" << false;
    }
    void opensWithTheStoredChoice()
    {
        QFETCH(QString, stored);
        QFETCH(bool, enabled);
        settings::Write(settings::TrayIcon, stored);
        Form5 &form = openForm5();
        QCOMPARE(form.Caption(), QStringLiteral("Minimize to TrayIcon"));
        QVERIFY(form.isVisible() && !form.isModal());
        QCOMPARE(form.Option2->isChecked(), enabled);
        QCOMPARE(form.Option1->isChecked(), !enabled);
        QCOMPARE(&openForm5(), &form);
    }

    void theLabelsSelectTheirOptions()
    {
        Form5 &form = openForm5();
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        QVERIFY(form.Option2->isChecked());
        QTest::mouseClick(form.Label3, Qt::LeftButton);
        QVERIFY(form.Option1->isChecked() && !form.Option2->isChecked());
    }

    void okStoresTheChoiceForTheNextStart()
    {
        Form5 &enable = openForm5();
        QTest::mouseClick(enable.Label2, Qt::LeftButton);
        enable.Command1->click();
        QVERIFY(enable.isUnloaded());
        QCOMPARE(settings::Read(settings::TrayIcon), QStringLiteral("1"));

        // "Disabled" stores the empty text, not a deleted value.
        Form5 &disable = openForm5();
        disable.Option1->click();
        disable.Command1->click();
        QCOMPARE(storedValue("TrayIcon"), std::make_pair(platform::REG_SZ, platform::DWORD(1))); // the NUL alone

        // The running viewer is neither sent to the tray nor brought back.
        QVERIFY(tray->calls.isEmpty());
        QVERIFY(f.main->isVisible());
    }

    void cancelLeavesTheSettingAlone()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("yes"));
        Form5 &form = openForm5();
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        form.Command2->click();
        QVERIFY(form.isUnloaded());
        QCOMPARE(settings::Read(settings::TrayIcon), QStringLiteral("yes"));
    }
};

LUMADEX_TEST_CLASS(TraySettingsTest);
#include "TraySettingsTest.moc"
