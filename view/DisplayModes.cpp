// The three display modes of the picture pane and its scrolling.
#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/ScrollBar.h"
#include "picture/Loader.h"
#include "view/DisplayLayout.h"

namespace app {

namespace {

view::SizeF paneSize(const controls::PictureBox &pane)
{
    return {float(pane.ScaleWidth()), float(pane.ScaleHeight())};
}

// A picture decoded for a smaller pane (before the larger view, or in
// another mode) is decoded again for the size it is shown at now, so that it
// is not drawn enlarged.
void decodeAgainFor(controls::ImageControl &image, const picture::DecodeSize &size)
{
    const picture::Picture &held = image.Picture();
    const picture::Picture shown = picture::decodedFor(held, size);
    if (shown.image().cacheKey() != held.image().cacheKey())
        image.setPicture(shown);
}

} // namespace

void Form1::ApplyMode()
{
    // Each test on its own, in this order.
    if (auto1->Checked())
        Form_Resize2();
    if (Act1->Checked())
        Image_resize();
    if (St1->Checked())
        St1_Click();
}

void Form1::St1_Click()
{
    Image1->setVisible(false);
    St1->setChecked(true);
    Act1->setChecked(false);
    auto1->setChecked(false);
    Label10->show();
    Label9->hide();
    HScroll1->hide();
    VScroll1->hide();
    decodeAgainFor(*Image1, picture::DecodeSize::exactly(Picture5->interiorDeviceSize()));
    const view::Box box = view::stretched(paneSize(*Picture5));
    Image1->Move(box.left, box.top);
    Image1->setWidth(box.width);
    Image1->setHeight(box.height);
    Image1->setStretch(true);
    Image1->setVisible(true);
}

void Form1::Act1_Click()
{
    Act1->setChecked(true);
    St1->setChecked(false);
    auto1->setChecked(false);
    Label9->show();
    Label10->hide();
    Image1->setStretch(false);
    File1_Click();
}

void Form1::auto1_Click()
{
    St1->setChecked(false);
    Act1->setChecked(false);
    Label9->show();
    Label10->hide();
    auto1->setChecked(true);
    File1_Click();
}

void Form1::St2_Click()
{
    St1_Click();
}

void Form1::auto3_Click()
{
    auto1_Click();
}

void Form1::Act2_Click()
{
    Act1_Click();
}

void Form1::Form_Resize2()
{
    // 1. Natural size first.
    Image1->setStretch(false);
    // 2.-4. Shrunk to fit the pane, never enlarged, and centred.
    const view::Box box = view::autoFit({Image1->Width(), Image1->Height()}, paneSize(*Picture5));
    decodeAgainFor(*Image1, picture::DecodeSize::within(Picture5->interiorDeviceSize()));
    Image1->setWidth(box.width);
    Image1->setHeight(box.height);
    Image1->Move(box.left, box.top);
    // 5. Drawn at the size just set.
    Image1->setStretch(true);
    // 6.-7.
    HScroll1->hide();
    VScroll1->hide();
    Image1->setVisible(true);
}

void Form1::Image_resize()
{
    decodeAgainFor(*Image1, picture::DecodeSize::natural());
    const view::ActualSize steps = view::actualSizeSteps({Image1->Width(), Image1->Height()}, paneSize(*Picture5));
    // 1.-2. A bar for each direction the picture overflows.
    HorizontalStep = steps.horizontalStep;
    HScroll1->setVisible(steps.horizontalBar);
    Image1->setVisible(true);
    VerticalStep = steps.verticalStep;
    VScroll1->setVisible(steps.verticalBar);
    Image1->setVisible(true);
    // 3. Both bars back to the start (a change moves the picture).
    VScroll1->setValue(0);
    HScroll1->setValue(0);
    // 4.
    Image1->Move(0, 0);
}

void Form1::HScroll1_Change()
{
    Image1->setLeft(view::scrollPosition(HScroll1->Value(), HorizontalStep));
}

void Form1::VScroll1_Change()
{
    Image1->setTop(view::scrollPosition(VScroll1->Value(), VerticalStep));
}

void Form1::Image1_MouseDown(int button, int, float x, float y)
{
    pictureMouseDown(button, Image1->mapToGlobal(QPoint(int(x), int(y))));
}

void Form1::Picture5_MouseDown(int button, int, float x, float y)
{
    pictureMouseDown(button, Picture5->mapToGlobal(QPoint(int(x), int(y)) + Picture5->interiorOrigin()));
}

void Form1::pictureMouseDown(int button, const QPoint &globalPos)
{
    // The pop-up's mode items follow the View menu's availability.
    St2->setEnabled(St1->Enabled());
    auto3->setEnabled(auto1->Enabled());
    Act2->setEnabled(Act1->Enabled());
    if (button != 2)
        return;
    // While a window-mode show runs the folder list is disabled, and the
    // right button offers the file operations instead.
    if (Dir1->isEnabled())
        picact->popup(globalPos);
    else
        efm3->popup(globalPos);
}

} // namespace app
