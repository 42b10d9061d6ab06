#include "slideshow/Fonts.h"

#include <QStringList>

namespace slideshow {

QFont overlayFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8);
    return font;
}

} // namespace slideshow
