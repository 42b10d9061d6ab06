#include "app/Form10.h"

#include "app/Banners.h"
#include "app/Form1.h"
#include "app/Icon.h"
#include "app/StartUpTrace.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace app {

Form10::Form10(QWidget *parent) : controls::Form(parent)
{
    setObjectName(QStringLiteral("Form10"));
    // No border, no title bar, not in the taskbar.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Picture1 = new controls::PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setBorderStyle(controls::PictureBox::Border::Sunken);
    Picture1->setPicture(picture::Picture::fromImage(startUpPicture(devicePixelRatioF())));
    setCentralWidget(Picture1);
    setClientSizeTwips(5340, 1395);
}

void Form10::Form_Load()
{
    // 1. Centred across, a little above the middle (twips, floating point).
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenPixels = screen ? screen->geometry().size() : QSize(1024, 768);
    const double screenWidth = controls::pixelsToTwips(screenPixels.width());
    const double screenHeight = controls::pixelsToTwips(screenPixels.height());
    const double width = controls::pixelsToTwips(this->width());
    const double height = controls::pixelsToTwips(this->height());
    moveTwips(screenWidth / 2 - width / 2, screenHeight * 0.9 / 2 - height / 2);
    // 2. Shown and painted before the main window's load begins.
    show();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // 3. The main window, loaded hidden.
    auto *main = new Form1();
    main->Form_Load();
    // 4. Shown unless it starts in the tray. What the first paint does not
    // need follows it.
    const auto afterShown = [main] {
        showApplicationIcon(main);
        platform::answerHandOvers();
    };
    if (settings::Read(settings::TrayIcon) != QLatin1String("1")) {
        main->show();
        afterFirstPaint(main->File1->viewport(), [main, afterShown] {
            qCDebug(startUpTrace, "main window painted, %d files listed", main->File1->ListCount());
            afterShown();
        });
    } else {
        afterShown();
    }
    // 5. The start-up window's work is done.
    Unload();
}

} // namespace app
