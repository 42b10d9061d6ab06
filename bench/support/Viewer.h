#pragma once

// The real main window for the show benchmarks, opened in a folder.
#include "app/Form1.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTest>

namespace bench {

// The main window opened in `folder` (the process's drive table must reach
// it), with the show's "Speed" and "Loop" and all three information lines on.
inline app::Form1 *openViewer(const QString &folder, const QString &speed, const QString &loop)
{
    settings::Write(settings::First, QStringLiteral("1"));
    settings::Write(settings::Speed, speed);
    settings::Write(settings::Loop, loop);
    for (const QString &line : {settings::Locate, settings::FileSize, settings::ImageSize})
        settings::Write(line, QStringLiteral("1"));
    QDir::setCurrent(folder);
    platform::testing::setPreviousInstanceRunning(false);
    auto *main = new app::Form1();
    main->Form_Load();
    main->show();
    QTest::qWait(200); // let the window appear before the clock starts
    return main;
}

} // namespace bench
