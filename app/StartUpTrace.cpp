#include "app/StartUpTrace.h"

#include <QEvent>
#include <QMetaObject>
#include <QWidget>

namespace app {

Q_LOGGING_CATEGORY(startUpTrace, "lumadex.startup", QtWarningMsg)

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(QWidget *widget, std::function<void()> then) : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            watched->removeEventFilter(this);
            // Queued: the rest of the window paints and the frame is
            // flushed before it runs.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_then();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_then;
    bool m_seen = false;
};

} // namespace

void afterFirstPaint(QWidget *widget, std::function<void()> then)
{
    new FirstPaint(widget, std::move(then));
}

} // namespace app
