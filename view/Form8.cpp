#include "view/Form8.h"

#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/SystemColors.h"
#include "view/DisplayLayout.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace view {

namespace {

QPointer<Form8> &current()
{
    static QPointer<Form8> form;
    return form;
}

} // namespace

Form8 &Form8::instance()
{
    if (Form8 *form = loaded())
        return *form;
    current() = new Form8;
    return *current();
}

Form8 *Form8::loaded()
{
    Form8 *form = current();
    // An unloaded window waits for the event loop to delete it; it no longer counts.
    return form && !form->isUnloaded() ? form : nullptr;
}

Form8::Form8()
{
    setObjectName(QStringLiteral("Form8"));
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
    image.setPicture(picture);
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
