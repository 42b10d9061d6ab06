#pragma once

#include <QProxyStyle>

namespace app {

// The desktop's style, except for two pictures it would read from files
// while the main window is made and first painted: the first picture read
// makes Qt look through every image format plugin, which no start needs.
// - The standard icons a window asks for while it is made (the menu bar's
//   extension arrow) are read when first drawn.
// - Fusion's frame of a titled group box, a picture, is drawn with lines of
//   the same colours instead.
class ViewerStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

// Makes ViewerStyle the application's style; called before any window.
void installViewerStyle();

} // namespace app
