// The colour behind the picture in the picture pane, kept as "BackColor".
#include "app/Form1.h"
#include "controls/PictureBox.h"
#include "platform/Dialogs.h"
#include "platform/SystemColors.h"
#include "settings/Settings.h"

namespace app {

namespace {

// Reads the pane's colour back and stores its decimal text.
void storePaneColor(const controls::PictureBox &pane)
{
    settings::Write(settings::BackColor, QString::number(pane.BackColor()));
}

} // namespace

void Form1::Grey_Click()
{
    Picture5->setBackColor(platform::systemColor(platform::COLOR_BTNFACE));
    storePaneColor(*Picture5);
}

void Form1::Black_Click()
{
    Picture5->setBackColor(0x404040);
    storePaneColor(*Picture5);
}

void Form1::Brown_Click()
{
    Picture5->setBackColor(0x808080);
    storePaneColor(*Picture5);
}

void Form1::other_Click()
{
    // The chooser opens on black, with no custom colours kept between uses.
    if (const auto chosen = platform::dialogs().ChooseColor(this, 0))
        Picture5->setBackColor(*chosen);
    storePaneColor(*Picture5);
}

} // namespace app
