#pragma once

#include <QScrollBar>

namespace controls {

// A scroll bar as the windowing runtime has it: integer Min, Max and Value,
// and a Change event whenever Value changes, whether the user moved it or
// code set it (setting the value it already has raises nothing). An arrow
// click and a click in the track both move it by one unit. Dragging the
// thumb changes Value when the thumb is let go, as the runtime does. The Tab
// key skips it; a click still gives it the keyboard.
class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int Value() const { return value(); }
    void setMin(int min) { setMinimum(min); }
    void setMax(int max) { setMaximum(max); }
    // QAbstractSlider::setValue: clamps to Min..Max and raises Change when
    // the value differs.
    using QScrollBar::setValue;

    bool Visible() const { return !isHidden(); }

    // Geometry in twips, relative to the parent.
    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    void Change();
};

} // namespace controls
