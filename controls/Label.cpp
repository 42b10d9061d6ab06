#include "controls/Label.h"

#include "controls/Twips.h"

#include <QMouseEvent>

namespace controls {

Label::Label(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

Label::Label(const QString &caption, QWidget *parent) : Label(parent)
{
    setCaption(caption);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    if (m_autoSize)
        resize(sizeHint().width(), height());
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        resize(sizeHint().width(), height());
}

void Label::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
    if (m_autoSize)
        resize(sizeHint().width(), this->height());
}

void Label::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit Click();
}

} // namespace controls
