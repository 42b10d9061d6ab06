#pragma once

#include <QFont>

// The fonts the slide-show windows are designed for. Where a font the
// design names is missing, its metric-compatible twin stands in (Liberation
// Sans for Arial), so that texts keep the width the layout was made for.
namespace slideshow {

// The full-screen show's information lines: Arial 8.25 point bold.
QFont overlayFont();

// The narrow 8-point dialog font of the settings dialog and the control
// panel; Arial is as wide, where the desktop's own font is wider.
QFont dialogFont();

} // namespace slideshow
