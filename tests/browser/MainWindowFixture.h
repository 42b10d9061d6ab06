#pragma once

#include "app/Form1.h"
#include "app/Runtime.h"
#include "controls/Form.h"
#include "platform/Drives.h"
#include "platform/SingleInstance.h"
#include "platform/Tray.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <memory>

// A hermetic home with drive C:, a main window loaded in C:\Pictures, and
// recorded message boxes.
struct MainWindowFixture {
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    testsupport::RecordingDialogs *boxes = nullptr;
    app::Form1 *main = nullptr;

    QString c() const { return env->driveC(); }

    void setUp(const QString &extraDrives = QString())
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        if (!extraDrives.isEmpty())
            env->setDrives(QStringLiteral("C:=") + c() + QLatin1Char(';') + extraDrives);
        QDir().mkpath(c() + QStringLiteral("/Pictures"));
        QDir::setCurrent(c() + QStringLiteral("/Pictures"));
        boxes = &testsupport::installRecordingDialogs();
        platform::testing::setPreviousInstanceRunning(false);
        app::setEndHandler([] {});
    }

    app::Form1 *load()
    {
        main = new app::Form1();
        main->Form_Load();
        main->show();
        return main;
    }

    void tearDown()
    {
        for (controls::Form *form : controls::Form::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main = nullptr;
    }

    // A BMP picture of the given size under drive C:.
    void picture(const QString &relative, QSize size, QColor colour = Qt::darkCyan)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QDir().mkpath(QFileInfo(c() + QLatin1Char('/') + relative).absolutePath());
        image.save(c() + QLatin1Char('/') + relative, "BMP");
    }
};
