#pragma once

#include "platform/ShellFileOps.h"

#include <QPointer>
#include <QString>

#include <functional>

class QProgressDialog;
class QWidget;

namespace files {

// How long a copy or move runs before its progress window appears.
inline constexpr qint64 ProgressDelayMs = 500;

// The progress window the shell shows for a long copy or move: it appears
// once the copy has run for half a second, names the file and where it goes,
// and offers Cancel. The copy runs on the user-interface thread, so each
// step lets the window handle its events (its Cancel button) and blocks the
// other windows meanwhile.
class ProgressWindow final : public platform::CopyProgress {
public:
    // Milliseconds from any fixed point; tests pass their own.
    using Clock = std::function<qint64()>;

    ProgressWindow(QWidget *owner, const QString &title, const QString &destination, Clock clock = {});
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    bool advance(const QString &fileName, qint64 copied, qint64 total) override;

    // The window, once it has appeared; null before.
    QProgressDialog *window() const;

private:
    QWidget *m_owner;
    QString m_title;
    QString m_destination;
    Clock m_clock;
    qint64 m_start = -1;
    QPointer<QProgressDialog> m_window;
};

} // namespace files
