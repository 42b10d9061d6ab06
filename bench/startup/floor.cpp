// The floor the viewer's start-up is measured against: the least a Qt
// Widgets program does to put a main window with a list on the screen. It
// says so on standard error right after its first paint, as the viewer's
// start-up trace does, and waits to be ended.
#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <QMetaObject>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this, [] { std::fprintf(stderr, "floor window painted\n"); }, Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    auto *list = new QListWidget(&window);
    for (int i = 1; i <= 12; ++i)
        list->addItem(QStringLiteral("picture %1.jpg").arg(i));
    window.setCentralWidget(list);
    window.resize(632, 409); // the viewer's main window
    FirstPaint painted;
    list->viewport()->installEventFilter(&painted);
    window.show();
    return application.exec();
}
