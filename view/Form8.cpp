#include "view/Form8.h"

#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "picture/Loader.h"
#include "view/DisplayLayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace view {

Form8 &Form8::instance()
{
    return controls::FormInstance<Form8>::get([] { return new Form8; });
}

Form8 *Form8::loaded()
{
    return controls::FormInstance<Form8>::loaded();
}

Form8::Form8()
{
    setObjectName(QStringLiteral("Form8"));
    connect(Image1, &controls::ImageControl::Click, this, &Form8::Image1_Click);
    connect(Picture1, &controls::PictureBox::Click, this, &Form8::Picture1_Click);
}

void Form8::Image1_Click()
{
    Unload();
}

void Form8::Picture1_Click()
{
    Unload();
}

void showFullView(Form8 &form, const picture::Picture &picture, QSize screenPixels)
{
    form.resize(screenPixels);
    form.Picture1->setGeometry(QRect(QPoint(0, 0), screenPixels));

    // The window opens centred on the screen; being the screen's size, it covers it.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        form.move(area.left() + (area.width() - screenPixels.width()) / 2,
                  area.top() + (area.height() - screenPixels.height()) / 2);
    }
    form.show();
    form.raise();
    form.activateWindow();

    controls::ImageControl &image = *form.Image1;
    image.setVisible(false);
    // Decoded again for the screen when it was decoded for the smaller pane.
    image.setPicture(picture::decodedFor(picture, picture::DecodeSize::within(form.Picture1->interiorDeviceSize())));
    image.setStretch(false);

    const SizeF pane{float(form.Picture1->ScaleWidth()), float(form.Picture1->ScaleHeight())};
    const SizeF screenTwips{float(controls::pixelsToTwips(screenPixels.width())),
                            float(controls::pixelsToTwips(screenPixels.height()))};
    const FullViewFit fit = fullViewFit({image.Width(), image.Height()}, pane, screenTwips);
    if (fit.stretch) {
        image.setWidth(fit.box.width);
        image.setHeight(fit.box.height);
        image.setStretch(true);
    }
    image.Move(fit.box.left, fit.box.top);
    image.setVisible(true);
}

} // namespace view
