#pragma once

#include "app/Form1Menus.h"
#include "controls/Form.h"
#include "controls/Timer.h"
#include "platform/Tray.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QGroupBox;

namespace controls {
class ComboBox;
class DirListBox;
class DriveListBox;
class FileListBox;
class ImageControl;
class Label;
class PictureBox;
class ScrollBar;
} // namespace controls

namespace picture {
struct DecodeSize;
struct LoadResult;
} // namespace picture

namespace slideshow {
class DecodeAhead;
} // namespace slideshow

namespace app {

// The main window. It owns the state every other window reads and writes:
// the browser lists, the picture pane, the hidden state labels, the show
// position and the slide-show delay. Its handlers are defined in the folder
// of the subsystem each belongs to; the menu items are the members it
// inherits from Form1Menus.
class Form1 : public controls::Form, public Form1Menus {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The loaded main window, or null.
    static Form1 *instance();

    // ---- state shared with the other windows
    qint32 cuspeed = 0; // slide-show delay in milliseconds
    platform::NotifyIconData TrayIconData;
    // Pane pixels the picture moves per scroll-bar unit; 0 when it fits.
    float HorizontalStep = 0;
    float VerticalStep = 0;

    // ---- controls
    controls::ImageControl *Image4 = nullptr; // the name banner
    controls::DriveListBox *Drive1 = nullptr;
    controls::DirListBox *Dir1 = nullptr;
    controls::ComboBox *Combo1 = nullptr; // file-type filter
    controls::FileListBox *File1 = nullptr;
    QGroupBox *Frame1 = nullptr; // "File's Information"
    controls::Label *Label4 = nullptr; // "Size:"
    controls::Label *Label5 = nullptr; // "Date:"
    controls::Label *Label6 = nullptr; // "Pic's Size:"
    controls::Label *Label7 = nullptr; // file size text; empty when no picture is loaded
    controls::Label *Label8 = nullptr; // file date text
    controls::Label *Label9 = nullptr; // picture size text
    controls::Label *Label10 = nullptr; // "[Stretched Size]"
    controls::Label *Label1 = nullptr; // hidden: "All Readable Format"
    controls::PictureBox *Picture5 = nullptr; // the picture pane
    controls::ImageControl *Image1 = nullptr; // the picture, inside the pane
    controls::ScrollBar *VScroll1 = nullptr;
    controls::ScrollBar *HScroll1 = nullptr;
    // Hidden notice pictures, copied into the picture control as status notices.
    controls::PictureBox *Picture1 = nullptr; // "Please Wait..."
    controls::PictureBox *Picture2 = nullptr; // "Please Select A File"
    controls::PictureBox *Picture3 = nullptr; // "Process Completed"
    controls::PictureBox *Picture4 = nullptr; // "Error Occur"
    controls::Label *Label2 = nullptr; // path shown by the window-mode show; empty when none runs
    controls::Label *Label3 = nullptr; // path of the loaded picture; empty when none is loaded

    // ---- life cycle (app/)
    void Form_Load();
    void UnloadAllForms();
    void exitmenu_Click();

    // ---- a picture or folder named on the command line (app/, browser/)
    // Brings the window forward and opens the host path there; while a show
    // or a dialog holds the browser, the path waits until it is free.
    void ShowHandedPath(const QString &hostPath);
    // Opens the path's folder and selects its picture (a folder: its first
    // picture), as the user's clicks would; a path that does not exist, lies
    // on no drive or is not in the list gets the picture-loading message.
    void OpenHostPath(const QString &hostPath);

    // ---- folder browser and filter (browser/)
    void Drive1_Change();
    void Dir1_Change();
    void Combo1_Click();
    void refresh1_Click();
    void File1_MouseDown(int button, int shift, float x, float y);
    void Dir1_MouseDown(int button, int shift, float x, float y);

    // ---- picture loading (browser/)
    void File1_Click();
    // The full path of the selected file of the list (empty with no selection).
    QString PicturePath() const;
    // Whether stepping through the list decodes the neighbours in the
    // direction of travel ahead (on unless turned off, to compare), and the
    // workers that do it.
    bool DecodeAheadWhenBrowsing = true;
    slideshow::DecodeAhead &browseAhead();
    // Replaces how those workers read a file (picture::load), before the
    // first step: tests hold them up to see what a slow decode does.
    void setBrowseReader(std::function<picture::LoadResult(const QString &hostPath, const picture::DecodeSize &size)> read);

    // ---- display modes and scrolling (view/)
    void St1_Click();
    void auto1_Click();
    void Act1_Click();
    void St2_Click();
    void auto3_Click();
    void Act2_Click();
    void Form_Resize2();
    void Image_resize();
    void ApplyMode(); // the rule every new picture and pane size goes through
    void HScroll1_Change();
    void VScroll1_Change();
    void Image1_MouseDown(int button, int shift, float x, float y);
    void Picture5_MouseDown(int button, int shift, float x, float y);

    // ---- larger view and full view (view/)
    void largev_Click();
    void restore_Click();
    void Image1_Click();
    void Picture5_Click();
    void Image4_Click();
    void Image4_MouseDown(int button, int shift, float x, float y);
    void ShowFullView();
    void fullscreen1_Click();
    void File1_DblClick();

    // ---- tray (desktop/)
    void systray_Click();
    void ok_Click();
    void openview_Click();
    // A mouse message from the tray icon, as the shell reports it.
    void TrayIcon_Message(quint32 mouseMessage, const QPoint &globalPos);

    // ---- background colour (desktop/)
    void Grey_Click();
    void Black_Click();
    void Brown_Click();
    void other_Click();

    // ---- tray settings, wallpaper, clipboard, help and About (desktop/)
    void mintray_Click();
    void Tile1_Click();
    void Center1_Click();
    void Stretch12_Click();
    void Tile2_Click();
    void Cemter2_Click();
    void Stretch13_Click();
    // Writes the shown picture to the wallpaper bitmap and hands it to the desktop.
    void ApplyWallpaper();
    void Copyto_Click();
    void copyto2_Click();
    void view2_Click();
    void view3_Click();
    void readme_Click();
    void ontheweb_Click();
    void About1_Click();

    // ---- file operations (files/)
    void mcopy_Click();
    void mMove_Click();
    void mdelete_Click();
    void mrename_Click();
    void mopen_Click();
    void efm2_Click();
    void ShowFileOpDialog();

    // ---- bookmarks, default folder, picture folders (files/)
    void editbook_Click();
    void defolder_Click();
    void goto1_Click();
    void go1_Click();
    void LoadF_Click();
    // Opens a folder in the folder list, then chooses its drive in the
    // drive list; false, the lists unchanged, when the folder cannot be opened.
    bool goToFolder(const QString &path);
    // Reads "AutoJump": an empty one disables goto1; a folder enables it and
    // is opened. False only when a stored folder cannot be opened.
    bool openStoredDefaultFolder();

    // ---- full-screen slide show (slideshow/)
    // Timer1 drives the window-mode show, Timer2 the full-screen show; both
    // are disabled with interval 0 while no show runs.
    controls::Timer *const Timer1 = new controls::Timer(QStringLiteral("Timer1"), this);
    controls::Timer *const Timer2 = new controls::Timer(QStringLiteral("Timer2"), this);
    // The show position, shared by both shows and their panels. Every list
    // position is 32-bit, as the list's count is, so that a folder of more
    // than 32,767 pictures never steps to a negative position.
    qint32 ShowCnt = 0;   // index of the next picture a tick shows
    qint32 SBack = 0;     // index of the picture the show displayed last
    qint32 BackCheck = 0; // 1 when a hand step left ShowCnt on the picture on screen
    qint32 StartCnt = 0;  // index the show starts from
    void FullScreen_Click();
    void Timer2_Timer();
    void WinF();
    void Form_Resize3();
    void slide1_Click();

    // ---- window-mode slide show (slideshow/)
    // While it runs, Label2 holds the path of the picture on screen and the
    // menu bar shows the show's items in place of the four normal menus.
    void viewmenu_Click();
    void Timer1_Timer();
    void pause1_Click();
    void play1_Click();
    void stop1_Click();
    void speed3_Click();
    // ---- start points and the jump to an index (slideshow/)
    void seindex_Click();
    void startslide_Click();
    // ---- hand stepping of the window-mode show (browser/)
    void back1_Click();
    void next1_Click();

protected:
    void Form_Unload(int &cancel) override;

private:
    void createControls();
    void connectHandlers();
    void connectDesktopHandlers(); // desktop/
    void connectFileOperationHandlers(); // files/
    void connectFolderHandlers(); // files/
    void connectSlideShowHandlers(); // slideshow/
    // The files of the entries the next ticks of a show display, the next
    // one displaying entry `first`, as many as the shows decode ahead.
    QStringList upcomingShowFiles(std::optional<qint32> first) const;
    // Has the full-screen show's workers decode those files.
    void decodeAhead(std::optional<qint32> first);
    // The window-mode show's display step: entry ShowCnt in the picture pane.
    void WinModePic();
    // How Timer1's ticks reach Timer1_Timer: one that falls due while the
    // worker is still decoding waits for it without holding up the window.
    void winModeTick();
    bool m_winModeTickWaits = false;
    // The window-mode show's workers, made when first needed, and the
    // decode of the files the next ticks display by them.
    slideshow::DecodeAhead &winModeAhead();
    void decodeWinModeAhead(std::optional<qint32> first);
    std::unique_ptr<slideshow::DecodeAhead> m_winModeAhead;
    // How the list's Click reaches File1_Click: at once, except that a held
    // key does not wait for a picture still being decoded (below).
    void File1_Changed();
    void File1_KeyUp(int keyCode, int shift);
    void waitForBrowsedPicture();
    void endHeldTravel();
    void requestHeldKeyTargets();
    void decodeBrowsingAhead(int shown);
    picture::LoadResult loadForPane(const QString &hostPath, const picture::DecodeSize &size);
    std::unique_ptr<slideshow::DecodeAhead> m_browseAhead;
    QString m_browsedFolder;     // the folder and entry File1_Click loaded last
    int m_browsedIndex = -1;
    int m_browseDirection = 1;   // down the list, or up (-1)
    QString m_browseWaitsFor;    // the file a held key waits for
    bool m_browseWaitPolls = false;
    // While a key is held: the entries being decoded for it, the time
    // between its keys and what a decode takes.
    bool m_heldTravel = false;
    std::vector<int> m_heldTargets;
    double m_heldKeyMs = 0;
    double m_heldDecodeMs = 0;
    QElapsedTimer m_heldKeyClock;
    void fillTrayIconData();
    void openDefaultFolder();
    // A mouse button pressed on the picture or the pane.
    void pictureMouseDown(int button, const QPoint &globalPos);
    // Guards against the drive and folder fall-backs calling themselves
    // without end when drive C: itself cannot be opened.
    bool m_inDriveFallback = false;
    bool m_inFolderFallback = false;
    // A path from the command line waiting for the browser, and what tells
    // when the browser is free again.
    QString m_handedPath;
    QObject *m_browserFreed = nullptr;
};

} // namespace app
