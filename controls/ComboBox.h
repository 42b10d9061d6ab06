#pragma once

#include <QComboBox>
#include <QString>

namespace controls {

// A drop-down list whose entries the user can only pick, not type.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget *parent = nullptr);

    // Adds an entry at `index` (at the end when -1).
    void AddItem(const QString &text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const { return count(); }
    QString List(int index) const { return itemText(index); }

    int ListIndex() const { return currentIndex(); }
    // Selects an entry and raises Click, also when it was already selected;
    // -1 clears the choice without an event.
    void setListIndex(int index);

    // The chosen entry's text.
    QString Text() const { return currentText(); }
    // Selects the first entry equal to `text` without regard to letter case,
    // as setListIndex does. False, changing nothing, when no entry matches.
    bool setText(const QString &text);

    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    // An entry was chosen, by the user (also the one already chosen) or by code.
    void Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace controls
