#pragma once

#include <QListWidget>
#include <QString>

namespace controls {

// A list of texts kept in the order they were added (never sorted), with at
// most one entry selected.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    void AddItem(const QString &text);
    // Removes an entry; when it was the selected one, none is selected after.
    void RemoveItem(int index);
    int ListCount() const { return count(); }
    // An entry's text, or an empty text when there is no such entry.
    QString List(int index) const;
    QStringList texts() const;

    // The selected entry, -1 when none.
    int ListIndex() const;
    // Selects an entry; -1 (or any number outside the list) selects none.
    void setListIndex(int index);

    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    // A double click with the left button on an entry.
    void DblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace controls
