#include "platform/WindowSystem.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define LUMADEX_HAVE_XCB 1
#endif

namespace platform {

namespace {

// Owned by the application, so that it goes with it.
class DestroyedWindows : public QObject, public QAbstractNativeEventFilter {
public:
    DestroyedWindows(std::function<void(quintptr)> destroyed, QObject *application)
        : QObject(application), m_destroyed(std::move(destroyed))
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        Q_UNUSED(result);
#ifdef LUMADEX_HAVE_XCB
        if (eventType == "xcb_generic_event_t") {
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY)
                m_destroyed(static_cast<const xcb_destroy_notify_event_t *>(message)->window);
        }
#else
        Q_UNUSED(eventType);
        Q_UNUSED(message);
#endif
        return false; // the toolkit sees the event as well
    }

private:
    std::function<void(quintptr)> m_destroyed;
};

} // namespace

void watchDestroyedWindows(std::function<void(quintptr)> destroyed)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    application->installNativeEventFilter(new DestroyedWindows(std::move(destroyed), application));
}

} // namespace platform
