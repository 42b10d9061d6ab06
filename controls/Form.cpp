#include "controls/Form.h"

#include "controls/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>

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

} // namespace

Form::Form(QWidget *parent) : QMainWindow(parent)
{
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

void Form::closeEvent(QCloseEvent *event)
{
    // The close box unloads the window; the event itself is not what removes it.
    event->ignore();
    Unload();
}

void Form::setClientSizeTwips(double width, double height)
{
    // The menu bar sits above the client area, as on Windows.
    const QWidget *bar = menuWidget();
    const int barHeight = bar && !bar->isHidden() ? bar->sizeHint().height() : 0;
    resize(twipsToPixels(width), twipsToPixels(height) + barHeight);
}

void Form::setOuterSizeTwips(double width, double height)
{
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(twipsToPixels(width) - frame.width(), twipsToPixels(height) - frame.height());
}

void Form::moveTwips(double left, double top)
{
    move(twipsToPixels(left), twipsToPixels(top));
}

double Form::LeftTwips() const
{
    return pixelsToTwips(frameGeometry().left());
}

double Form::TopTwips() const
{
    return pixelsToTwips(frameGeometry().top());
}

double Form::WidthTwips() const
{
    return pixelsToTwips(frameGeometry().width());
}

double Form::HeightTwips() const
{
    return pixelsToTwips(frameGeometry().height());
}

} // namespace controls
