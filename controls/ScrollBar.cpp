#include "controls/ScrollBar.h"

#include "controls/Twips.h"

namespace controls {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent) : QScrollBar(orientation, parent)
{
    setSingleStep(1);
    setPageStep(1);
    setTracking(false);
    setFocusPolicy(Qt::ClickFocus);
    connect(this, &QAbstractSlider::valueChanged, this, [this] { emit Change(); });
}

void ScrollBar::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

} // namespace controls
