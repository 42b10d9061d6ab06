// libFuzzer's set-up for the targets that need Qt's GUI classes (QImage,
// QPainter, fonts): an application on the offscreen platform.
#include <QGuiApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}
