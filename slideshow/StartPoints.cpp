// Where a show runs from: the window-mode show's jump to an index and the
// tray's start of the full-screen show in a bookmarked folder.
#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "files/Form9.h"
#include "slideshow/IndexJump.h"

#include <QGroupBox>

namespace app {

void Form1::seindex_Click()
{
    const std::optional<qint32> index = slideshow::askJumpIndex(slideshow::WindowRangeText, File1->ListCount());
    if (!index)
        return;
    // 4. The show stays paused; Resume goes on after this picture.
    SBack = *index;
    ShowCnt = *index;
    BackCheck = 1;
    WinModePic();
}

void Form1::startslide_Click()
{
    // 1.
    files::Form9 &bookmarks = files::Form9::instance();
    // 2.
    bookmarks.Frame2->hide();
    // 3. The caption puts the window into its slide-show start mode.
    bookmarks.setCaption(files::SlideShowStartCaption);
    // 4.
    bookmarks.showInFront();
}

} // namespace app
