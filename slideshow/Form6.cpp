#include "slideshow/Form6.h"

#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "platform/SystemColors.h"
#include "slideshow/Fonts.h"
#include "slideshow/Form7.h"

namespace slideshow {

Form6 &Form6::instance()
{
    return controls::FormInstance<Form6>::get([] { return new Form6; });
}

Form6 *Form6::loaded()
{
    return controls::FormInstance<Form6>::loaded();
}

Form6::Form6()
{
    setObjectName(QStringLiteral("Form6"));
    setCaption(QStringLiteral("Form6"));

    // Created after the picture, so that they lie above it.
    const auto line = [this](const char *name, double left, double width, double height) {
        auto *label = new controls::Label(Picture1);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(overlayFont());
        QPalette green = label->palette();
        green.setColor(QPalette::WindowText, QColor(0, 255, 0));
        label->setPalette(green);
        label->setAutoFillBackground(false); // transparent
        // A click on a line is not a click on the picture box beneath it.
        label->setAttribute(Qt::WA_NoMousePropagation);
        label->setTwipsGeometry(left, 0, width, height);
        return label;
    };
    Label1 = line("Label1", 0, 6885, 210);
    Label2 = line("Label2", 7080, 1335, 255);
    Label3 = line("Label3", 8520, 1335, 210);
    Label3->setAutoSize(true);

    connect(Image1, &controls::ImageControl::Click, this, &Form6::Image1_Click);
    connect(Picture1, &controls::PictureBox::Click, this, &Form6::Picture1_Click);

    setClientSizeTwips(9600, 6975);
}

void Form6::Image1_Click()
{
    Form7 &panel = Form7::instance();
    panel.pause1_Click();
    panel.showAboveTheShow();
}

void Form6::Picture1_Click()
{
    Image1_Click();
}

void Form6::coverScreen(const QRect &screen)
{
    m_screen = screen.size();
    move(screen.topLeft());
    resize(m_screen);
    Picture1->setGeometry(QRect(QPoint(0, 0), m_screen));
}

ShowTarget Form6::showTarget() const
{
    return {picture::DecodeSize::within(Picture1->interiorDeviceSize()), platform::resolveColor(Picture1->BackColor()),
            Picture1->devicePixelRatioF()};
}

void Form6::unloadAtShowEnd()
{
    m_showEnding = true;
    Unload();
}

void Form6::Form_Unload(int &cancel)
{
    Q_UNUSED(cancel);
    if (!m_showEnding) {
        m_showEnding = true;
        cancelFullScreenShow();
    }
}

} // namespace slideshow
