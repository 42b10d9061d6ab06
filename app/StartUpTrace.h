#pragma once

#include <QLoggingCategory>

#include <functional>

class QWidget;

namespace app {

// Milestones of the start-up, off unless asked for:
//   QT_LOGGING_RULES=lumadex.startup.debug=true
Q_DECLARE_LOGGING_CATEGORY(startUpTrace)

// Runs `then` once, as soon as `widget` has been painted for the first time
// and the frame is on the screen (queued behind that paint).
void afterFirstPaint(QWidget *widget, std::function<void()> then);

} // namespace app
