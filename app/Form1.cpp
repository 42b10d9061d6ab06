#include "app/Form1.h"

#include "app/Banners.h"
#include "app/Icon.h"
#include "app/Runtime.h"
#include "browser/FileTypes.h"
#include "controls/ComboBox.h"
#include "controls/Convert.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/ScrollBar.h"
#include "controls/Twips.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"
#include "slideshow/DecodeAhead.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenuBar>

#include <algorithm>
#include <optional>

namespace app {

namespace {

Form1 *&loadedMainWindow()
{
    static Form1 *form = nullptr;
    return form;
}

// Mid grey, the pane's colour until the stored one is applied.
constexpr qint32 kPaneDesignColor = 0x808080;

controls::PictureBox *makeNotice(QWidget *parent, const QString &text)
{
    auto *box = new controls::PictureBox(parent);
    box->setGeometry(0, 0, 193, 33);
    box->setPicture(picture::Picture::fromImage(notice(text, parent->devicePixelRatioF())));
    box->hide();
    return box;
}

} // namespace

Form1::Form1(QWidget *parent) : controls::Form(parent)
{
    // The browser starts in the process's working folder.
    platform::CurrentDirectory::resetFromHost();
    loadedMainWindow() = this;
    setObjectName(QStringLiteral("Form1"));
    // A sizable border with minimise but no maximise button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("Lumadex Viewer "));
    // Its icon, the program's, which the tray icon shows too, is given to it
    // once it is on the screen (app::showApplicationIcon).
    createControls();
    buildForm1Menus(*this, this);
    // The menu bar in the design's menu font, the controls' one: a second
    // family would be loaded before the first paint for it alone.
    menuBar()->setFont(centralWidget()->font());
    connectHandlers();
    setClientSizeTwips(9480, 6135);
}

Form1::~Form1()
{
    if (loadedMainWindow() == this)
        loadedMainWindow() = nullptr;
}

Form1 *Form1::instance()
{
    return loadedMainWindow();
}

void Form1::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    // The layout is measured for a small dialog font (8 points) with the
    // metrics of Arial; Liberation Sans has the same metrics. The wider
    // default (DejaVu Sans) would cut "Date:" and "[Stretched Size]".
    QFont small = client->font();
    small.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    small.setPointSizeF(8);
    client->setFont(small);
    const auto named = [](QWidget *w, const char *name) { w->setObjectName(QString::fromLatin1(name)); };

    Image4 = new controls::ImageControl(client);
    named(Image4, "Image4");
    Image4->setPicture(picture::Picture::fromImage(nameBanner(devicePixelRatioF())));
    Image4->setStretch(true);
    Image4->setTwipsGeometry(0, 0, 2415, 375);

    Drive1 = new controls::DriveListBox(client);
    named(Drive1, "Drive1");
    Drive1->setTwipsGeometry(0, 360, 2415, 315);
    Dir1 = new controls::DirListBox(client);
    named(Dir1, "Dir1");
    Dir1->setTwipsGeometry(0, 720, 2415, 1890);
    Combo1 = new controls::ComboBox(client);
    named(Combo1, "Combo1");
    Combo1->setTwipsGeometry(0, 2640, 2415, 315);
    for (const QString &entry : FilterEntries)
        Combo1->AddItem(entry);
    File1 = new controls::FileListBox(client);
    named(File1, "File1");
    File1->setTwipsGeometry(0, 3000, 2415, 2040);

    Frame1 = new QGroupBox(QStringLiteral("File's Information"), client);
    named(Frame1, "Frame1");
    Frame1->setGeometry(controls::twipsRect(0, 5040, 2415, 1095));
    const auto frameLabel = [this](const char *name, const QString &caption, double l, double t, double w, double h) {
        auto *label = new controls::Label(caption, Frame1);
        label->setObjectName(QString::fromLatin1(name));
        label->setTwipsGeometry(l, t, w, h);
        return label;
    };
    Label4 = frameLabel("Label4", QStringLiteral("Size:"), 120, 240, 375, 255);
    Label5 = frameLabel("Label5", QStringLiteral("Date:"), 120, 480, 375, 255);
    Label6 = frameLabel("Label6", QStringLiteral("Pic's Size:"), 120, 720, 855, 255);
    Label7 = frameLabel("Label7", QString(), 600, 240, 1365, 195);
    Label8 = frameLabel("Label8", QString(), 600, 480, 1365, 195);
    Label8->setAutoSize(true);
    Label9 = frameLabel("Label9", QString(), 960, 720, 1215, 255);
    Label10 = frameLabel("Label10", QStringLiteral("[Stretched Size]"), 960, 720, 1215, 255);
    Label10->hide();

    Label1 = new controls::Label(QStringLiteral("All Readable Format"), client);
    named(Label1, "Label1");
    Label1->setTwipsGeometry(1800, 120, 1815, 255);
    Label1->hide();

    Picture5 = new controls::PictureBox(client);
    named(Picture5, "Picture5");
    Picture5->setBorderStyle(controls::PictureBox::Border::Sunken);
    Picture5->setBackColor(kPaneDesignColor);
    Picture5->setTwipsGeometry(2400, 0, 6855, 5895);

    Image1 = new controls::ImageControl(Picture5);
    named(Image1, "Image1");

    Picture1 = makeNotice(Picture5, PleaseWait);
    Picture2 = makeNotice(Picture5, PleaseSelectAFile);
    Picture3 = makeNotice(Picture5, ProcessCompleted);
    Picture4 = makeNotice(Picture5, ErrorOccur);
    named(Picture1, "Picture1");
    named(Picture2, "Picture2");
    named(Picture3, "Picture3");
    named(Picture4, "Picture4");

    Label2 = new controls::Label(Picture5);
    named(Label2, "Label2");
    Label2->hide();
    Label3 = new controls::Label(Picture5);
    named(Label3, "Label3");
    Label3->hide();

    // The bars overlap the pane's last pixel on the right and at the bottom.
    VScroll1 = new controls::ScrollBar(Qt::Vertical, client);
    named(VScroll1, "VScroll1");
    VScroll1->setTwipsGeometry(9240, 0, 233, 5895);
    HScroll1 = new controls::ScrollBar(Qt::Horizontal, client);
    named(HScroll1, "HScroll1");
    HScroll1->setTwipsGeometry(2400, 5880, 6855, 233);
    for (controls::ScrollBar *bar : {VScroll1, HScroll1}) {
        bar->setMin(0);
        bar->setMax(32700);
        bar->hide();
        bar->raise();
    }

    // The lists open on the process's current drive and folder.
    const QString here = platform::CurrentDirectory::path();
    Drive1->setDrive(here);
    Dir1->setPath(here);
    File1->setPath(Dir1->Path());
}

void Form1::connectHandlers()
{
    using controls::MenuItem;
    const auto on = [this](MenuItem *item, void (Form1::*handler)()) {
        connect(item, &MenuItem::Click, this, handler);
    };
    on(exitmenu, &Form1::exitmenu_Click);
    on(systray, &Form1::systray_Click);
    on(ok, &Form1::ok_Click);
    on(openview, &Form1::openview_Click);
    on(Tray1, &Form1::systray_Click);
    connect(&platform::tray(), &platform::Tray::iconMessage, this, &Form1::TrayIcon_Message);
    on(refresh1, &Form1::refresh1_Click);
    on(St1, &Form1::St1_Click);
    on(auto1, &Form1::auto1_Click);
    on(Act1, &Form1::Act1_Click);
    on(St2, &Form1::St2_Click);
    on(auto3, &Form1::auto3_Click);
    on(Act2, &Form1::Act2_Click);
    on(largev, &Form1::largev_Click);
    on(restore, &Form1::restore_Click);
    on(fullscreen1, &Form1::fullscreen1_Click);
    on(Grey, &Form1::Grey_Click);
    on(Black, &Form1::Black_Click);
    on(Brown, &Form1::Brown_Click);
    on(other, &Form1::other_Click);
    connectDesktopHandlers();

    connect(Drive1, &controls::DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &controls::DirListBox::Change, this, &Form1::Dir1_Change);
    connect(Dir1, &controls::DirListBox::MouseDown, this, &Form1::Dir1_MouseDown);
    connect(Combo1, &controls::ComboBox::Click, this, &Form1::Combo1_Click);
    connect(File1, &controls::FileListBox::Click, this, &Form1::File1_Changed);
    connect(File1, &controls::FileListBox::KeyUp, this, &Form1::File1_KeyUp);
    connect(File1, &controls::FileListBox::DblClick, this, &Form1::File1_DblClick);
    connect(File1, &controls::FileListBox::MouseDown, this, &Form1::File1_MouseDown);
    connect(HScroll1, &controls::ScrollBar::Change, this, &Form1::HScroll1_Change);
    connect(VScroll1, &controls::ScrollBar::Change, this, &Form1::VScroll1_Change);
    connect(Image1, &controls::ImageControl::Click, this, &Form1::Image1_Click);
    connect(Image1, &controls::ImageControl::MouseDown, this, &Form1::Image1_MouseDown);
    connect(Picture5, &controls::PictureBox::Click, this, &Form1::Picture5_Click);
    connect(Picture5, &controls::PictureBox::MouseDown, this, &Form1::Picture5_MouseDown);
    connect(Image4, &controls::ImageControl::Click, this, &Form1::Image4_Click);
    connect(Image4, &controls::ImageControl::MouseDown, this, &Form1::Image4_MouseDown);
    connectFileOperationHandlers();
    connectFolderHandlers();
    connectSlideShowHandlers();
}

void Form1::fillTrayIconData()
{
    TrayIconData.cbSize = 88;
    TrayIconData.hWnd = static_cast<quint32>(winId());
    TrayIconData.uID = 1;
    TrayIconData.uFlags = 7; // message, icon and tip are valid
    TrayIconData.uCallbackMessage = platform::WM_MOUSEMOVE;
    TrayIconData.hIcon = static_cast<quint32>(applicationIcon().cacheKey());
    QString tip = QStringLiteral("Lumadex Viewer 3.01  ") + QChar(0);
    tip += QString(platform::NotifyIconData::TipLength - tip.size(), QLatin1Char(' '));
    TrayIconData.szTip = tip;
}

void Form1::Form_Load()
{
    // 1. One running copy at a time.
    if (platform::previousInstanceRunning()) {
        platform::dialogs().MsgBox(QStringLiteral("The program is already running!"), platform::MsgStyle::OKOnly);
        End();
        return;
    }
    // 2. The tray record.
    fillTrayIconData();
    // 3. Straight to the tray when so set.
    if (settings::Read(settings::TrayIcon) == QLatin1String("1"))
        systray_Click();
    // 4. The filter of every readable format; the list matches the text
    // without regard to case, so this selects "All Readable Format".
    Combo1->setText(QStringLiteral("ALL Readable Format"));
    // 5. Every run starts in Auto-Fit Size.
    auto1->setChecked(true);
    // 6. Background colour of the pane.
    const QString backColor = settings::Read(settings::BackColor);
    if (backColor.isEmpty()) {
        Grey_Click();
    } else if (const auto color = controls::CLng(backColor)) {
        Picture5->setBackColor(*color);
    }
    // 7. A first run stores the default delay.
    if (settings::Read(settings::First).isEmpty())
        settings::Write(settings::Speed, QStringLiteral("1000"));
    // 8. The slide-show delay. A stored delay that is no number counts as
    // missing, and one below a millisecond as the shortest: an interval of 0
    // would stop the show's timers, leaving it on its first screen.
    const QString speed = settings::Read(settings::Speed);
    const std::optional<qint32> ms = speed.isEmpty() ? std::nullopt : controls::CLng(speed);
    cuspeed = ms ? std::max(*ms, qint32(1)) : 1000;
    settings::Write(settings::First, QStringLiteral("1"));
    // 9.-12. The default folder, falling back to drive C:.
    openDefaultFolder();
}

void Form1::openDefaultFolder()
{
    // A default folder that no longer exists: drive C:, without a message.
    if (!openStoredDefaultFolder())
        Drive1->setDrive(QStringLiteral("C:"));
}

void Form1::Form_Unload(int &cancel)
{
    // A window-mode show stops first: no tick may run on the window while
    // it and the others are taken down.
    const bool showRunning = Timer1->Enabled();
    const int showDelay = Timer1->Interval();
    Timer1->setEnabled(false);
    Timer1->setInterval(0);
    UnloadAllForms();
    // A window that refused to go (the bookmark window, whose list could
    // not be saved) keeps the program running, and a show goes on.
    if (controls::Form::loadedForms().size() > 1) {
        cancel = 1;
        Timer1->setInterval(showDelay);
        Timer1->setEnabled(showRunning);
    }
}

void Form1::UnloadAllForms()
{
    for (controls::Form *form : controls::Form::loadedForms())
        form->Unload();
}

void Form1::exitmenu_Click()
{
    End();
}

} // namespace app
