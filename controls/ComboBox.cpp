#include "controls/ComboBox.h"

#include "controls/FileListBox.h"
#include "controls/Twips.h"

#include <QKeyEvent>

namespace controls {

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &ComboBox::Click);
}

void ComboBox::AddItem(const QString &text, int index)
{
    if (index < 0 || index > count())
        addItem(text);
    else
        insertItem(index, text);
}

void ComboBox::RemoveItem(int index)
{
    removeItem(index);
}

void ComboBox::Clear()
{
    clear();
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return;
    setCurrentIndex(index);
    if (index >= 0)
        emit Click();
}

bool ComboBox::setText(const QString &text)
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            setListIndex(i);
            return true;
        }
    }
    return false;
}

void ComboBox::keyPressEvent(QKeyEvent *event)
{
    if (isWindowCommandKey(event)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ComboBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

} // namespace controls
