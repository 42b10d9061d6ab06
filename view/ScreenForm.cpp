#include "view/ScreenForm.h"

#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "platform/SystemColors.h"

namespace view {

ScreenForm::ScreenForm()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);

    // Picture1 keeps the geometry it is given rather than following a layout.
    auto *client = new QWidget(this);
    setCentralWidget(client);

    Picture1 = new controls::PictureBox(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setBorderStyle(controls::PictureBox::Border::None);
    Picture1->setBackColor(platform::systemColor(platform::COLOR_WINDOWTEXT));

    Image1 = new controls::ImageControl(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
}

} // namespace view
