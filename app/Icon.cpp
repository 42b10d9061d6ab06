#include "app/Icon.h"

namespace app {

QIcon applicationIcon()
{
    // Made once: its pictures are decoded when it is made, and the program
    // and its main window both ask for it while starting. Never destroyed,
    // so that no pixmap outlives the application object at exit.
    static const QIcon *const icon = [] {
        auto *made = new QIcon;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            made->addFile(QStringLiteral(":/icons/lumadex-viewer-%1.png").arg(size), QSize(size, size));
        return made;
    }();
    return *icon;
}

} // namespace app
