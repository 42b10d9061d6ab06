#include "controls/Form.h"

#include "controls/Twips.h"
#include "platform/WindowSystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <QWindow>

namespace controls {

namespace {

QList<Form *> &collection()
{
    static QList<Form *> forms;
    return forms;
}

bool &quitWhenEmpty()
{
    static bool quit = false;
    return quit;
}

// A window the window system destroyed without closing it (another program
// destroyed it) is handled as closed: what its close does, such as ending a
// show and enabling the main window again, is not lost with it. Handled
// after the event, since the close unloads the window.
void windowDestroyed(quintptr id)
{
    for (Form *form : Form::loadedForms())
        if (form->internalWinId() == id)
            QMetaObject::invokeMethod(form, &Form::close, Qt::QueuedConnection);
}

} // namespace

Form::Form(QWidget *parent) : QMainWindow(parent)
{
    static const bool watching = [] {
        platform::watchDestroyedWindows(windowDestroyed);
        return true;
    }();
    Q_UNUSED(watching);
    collection().append(this);
}

Form::~Form()
{
    collection().removeAll(this);
}

QList<Form *> Form::loadedForms()
{
    QList<Form *> loaded;
    for (Form *form : collection())
        if (!form->m_unloaded)
            loaded.append(form);
    return loaded;
}

void Form::setQuitWhenLastUnloaded(bool quit)
{
    quitWhenEmpty() = quit;
}

bool Form::Unload()
{
    if (m_unloaded)
        return true;
    if (m_unloading) // an unload handler that unloads its own window
        return true;
    m_unloading = true;
    int cancel = 0;
    Form_Unload(cancel);
    m_unloading = false;
    if (cancel != 0 || m_unloaded)
        return m_unloaded;
    m_unloaded = true;
    hide();
    emit unloaded();
    deleteLater();
    if (quitWhenEmpty() && loadedForms().isEmpty())
        QCoreApplication::quit();
    return true;
}

void Form::setDialogBorder()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

QWidget *Form::createClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    QFont small = client->font();
    small.setPointSizeF(8);
    client->setFont(small);
    setCentralWidget(client);
    return client;
}

void Form::closeEvent(QCloseEvent *event)
{
    // The close box unloads the window; the event itself is not what removes it.
    event->ignore();
    Unload();
}

void Form::setClientSizeTwips(double width, double height)
{
    m_outerSize = QSize();
    // The menu bar sits above the client area, as on Windows.
    const QWidget *bar = menuWidget();
    const int barHeight = bar && !bar->isHidden() ? bar->sizeHint().height() : 0;
    applySize(QSize(twipsToPixels(width), twipsToPixels(height) + barHeight));
}

void Form::applySize(const QSize &size)
{
    if (m_fixedBorder)
        setFixedSize(size);
    else
        resize(size);
}

void Form::setSizeTwips(double width, double height)
{
    m_outerSize = QSize(twipsToPixels(width), twipsToPixels(height));
    applyOuterSize();
}

void Form::applyOuterSize()
{
    if (m_outerSize.isEmpty())
        return;
    m_frameTaken = frame();
    applySize(m_outerSize.shrunkBy(m_frameTaken));
}

QMargins Form::frame() const
{
    const QWindow *window = windowHandle();
    return window ? window->frameMargins() : QMargins();
}

QRect Form::outerGeometry() const
{
    // The widget's own frame geometry is brought up to date only when the
    // window moves; a window manager that frames the window where it
    // stands does not move it.
    return geometry().marginsAdded(frame());
}

void Form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The window system reports a new frame without an event of its own;
    // any event of the native window after it (exposure, state, activation)
    // is the first moment it can be seen.
    if (windowHandle() != m_watched) {
        m_watched = windowHandle();
        if (m_watched)
            m_watched->installEventFilter(this);
    }
    applyOuterSize();
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watched && !m_outerSize.isEmpty() && frame() != m_frameTaken)
        applyOuterSize();
    return QMainWindow::eventFilter(watched, event);
}

void Form::moveTwips(double left, double top)
{
    move(twipsToPixels(left), twipsToPixels(top));
}

double Form::LeftTwips() const
{
    return pixelsToTwips(outerGeometry().left());
}

double Form::TopTwips() const
{
    return pixelsToTwips(outerGeometry().top());
}

double Form::WidthTwips() const
{
    return pixelsToTwips(outerGeometry().width());
}

double Form::HeightTwips() const
{
    return pixelsToTwips(outerGeometry().height());
}

} // namespace controls
