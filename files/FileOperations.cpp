#include "files/FileOperations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace files {

namespace {

ProgressWindow::Clock monotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

ProgressWindow::ProgressWindow(QWidget *owner, const QString &title, const QString &destination, Clock clock)
    : m_owner(owner), m_title(title), m_destination(destination), m_clock(clock ? std::move(clock) : monotonicClock())
{
}

ProgressWindow::~ProgressWindow()
{
    delete m_window.data();
}

QProgressDialog *ProgressWindow::window() const
{
    return m_window.data();
}

bool ProgressWindow::advance(const QString &fileName, qint64 copied, qint64 total)
{
    const qint64 now = m_clock();
    if (m_start < 0)
        m_start = now;
    if (!m_window && now - m_start >= ProgressDelayMs) {
        m_window = new QProgressDialog(m_owner);
        m_window->setObjectName(QStringLiteral("ProgressWindow"));
        m_window->setWindowTitle(m_title);
        m_window->setLabelText(fileName + QStringLiteral("\nto ") + m_destination);
        m_window->setCancelButtonText(QStringLiteral("Cancel"));
        m_window->setWindowModality(Qt::ApplicationModal);
        // Per mille, so that files of any size fit the bar's int range.
        m_window->setRange(0, 1000);
        m_window->setAutoReset(false);
        m_window->setAutoClose(false);
        m_window->setMinimumDuration(0);
        m_window->show();
    }
    if (!m_window)
        return true;
    m_window->setValue(total > 0 ? int(copied * 1000 / total) : 1000);
    QCoreApplication::processEvents();
    return !m_window->wasCanceled();
}

} // namespace files
