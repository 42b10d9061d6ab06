#include "controls/ListBox.h"

#include "controls/Twips.h"

#include <QMouseEvent>

namespace controls {

ListBox::ListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setUniformItemSizes(true);
}

void ListBox::AddItem(const QString &text)
{
    addItem(text);
}

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= count())
        return;
    const bool wasSelected = index == ListIndex();
    delete takeItem(index);
    if (wasSelected)
        setListIndex(-1);
}

QString ListBox::List(int index) const
{
    const QListWidgetItem *entry = index >= 0 ? item(index) : nullptr;
    return entry ? entry->text() : QString();
}

QStringList ListBox::texts() const
{
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result << item(i)->text();
    return result;
}

int ListBox::ListIndex() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void ListBox::setListIndex(int index)
{
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void ListBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        emit DblClick();
}

} // namespace controls
