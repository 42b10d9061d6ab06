#include "files/Form9.h"

#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/Label.h"
#include "controls/ListBox.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "files/BookmarkFile.h"
#include "files/Form17.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/FolderChooser.h"
#include "platform/Folders.h"
#include "platform/HostFiles.h"

#include <QDir>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>

#include <cerrno>

namespace files {

namespace {

app::Form1 &mainWindow()
{
    return *app::Form1::instance();
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, double left, double top)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(controls::twipsRect(left, top, 1575, 375));
    return button;
}

} // namespace

QString bookmarkFilePath()
{
    return QDir(platform::programFolder()).filePath(QStringLiteral("bookmark.ini"));
}

Form9::Form9()
{
    setObjectName(QStringLiteral("Form9"));
    setDialogBorder();
    setCaption(BookmarkCaption);
    createControls();
    setClientSizeTwips(5775, 4815);
    Form_Load();
}

void Form9::createControls()
{
    QWidget *client = createClientArea();

    Label1 = new controls::Label(QStringLiteral("List of bookmark(s):"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTwipsGeometry(120, 120, 3495, 255);
    List1 = new controls::ListBox(client);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setTwipsGeometry(120, 405, 3495, 4215);

    Frame1 = new QGroupBox(QStringLiteral("Add"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(controls::twipsRect(3840, 300, 1815, 1215));
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("&Current path"), 120, 300);
    Command5 = makeButton(Frame1, "Command5", QStringLiteral("&Browse..."), 120, 720);

    Frame2 = new QGroupBox(QStringLiteral("Operations"), client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(controls::twipsRect(3840, 1680, 1815, 1215));
    Command2 = makeButton(Frame2, "Command2", QStringLiteral("&Remove"), 120, 300);
    Command4 = makeButton(Frame2, "Command4", QStringLiteral("&Load"), 120, 720);

    Command7 = makeButton(client, "Command7", QStringLiteral("&Apply "), 3960, 3120);
    Command6 = makeButton(client, "Command6", QStringLiteral("Start SlideShow"), 3960, 3600);
    Command3 = makeButton(client, "Command3", QStringLiteral("Save"), 3960, 4080);
    for (QPushButton *hidden : {Command7, Command6, Command3})
        hidden->hide();

    // "&Current path" acts as a mouse button goes down on it, any button.
    Command1->installEventFilter(this);
    connect(Command5, &QPushButton::clicked, this, &Form9::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &Form9::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form9::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &Form9::Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &Form9::Command6_Click);
    connect(Command3, &QPushButton::clicked, this, &Form9::Command3_Click);
    connect(List1, &controls::ListBox::DblClick, this, &Form9::List1_DblClick);
}

bool Form9::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Command1 && event->type() == QEvent::MouseButtonPress)
        Command1_MouseDown(controls::vbButton(static_cast<QMouseEvent *>(event)->button()));
    return controls::Form::eventFilter(watched, event);
}

void Form9::Form_Load()
{
    // 1. A disabled main window or folder list means a dialog or a show holds it.
    app::Form1 &main = mainWindow();
    if (!main.Dir1->isEnabled() || !main.isEnabled())
        PickerLayout();
    // 2.-3. The first lines of the file; a missing or unreadable file lists nothing.
    BookmarkFile file = parseBookmarkFile(readBookmarkBytes(bookmarkFilePath()), platform::ansiCodePage());
    for (const QString &entry : file.entries)
        List1->AddItem(entry);
    m_loaded = file.entries;
    m_rest = file.rest;
}

void Form9::PickerLayout()
{
    setCaption(PickerCaption);
    setSizeTwips(3930, 5235);
    Frame1->hide();
    Frame2->hide();
}

void Form9::Command1_MouseDown(int button)
{
    Q_UNUSED(button);
    addBookmark(mainWindow().Dir1->Path());
}

void Form9::Command5_Click()
{
    const QString path = platform::folderChooser().BrowseForFolder(this, QStringLiteral("Please select a folder."));
    if (!path.isEmpty())
        addBookmark(path);
}

void Form9::addBookmark(const QString &path)
{
    // The file's first 101 paths are what the window shows: one more would
    // be saved where no later opening shows it.
    if (List1->ListCount() >= BookmarksShown) {
        platform::dialogs().MsgBox(QStringLiteral("The list of bookmarks is full: it holds %1 folders, as many as "
                                                  "this window can show.\nRemove one to add another.")
                                       .arg(BookmarksShown),
                                   platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation,
                                   QStringLiteral("Lumadex Viewer"));
        return;
    }
    // Written with "?" for the letters the code page lacks, or split over two
    // lines, it would be a bookmark that leads nowhere; refuse it while the
    // user sees why.
    if (!isStorableBookmark(path, platform::ansiCodePage())) {
        platform::dialogs().MsgBox(QStringLiteral("This folder cannot be bookmarked: its path cannot be "
                                                  "written to bookmark.ini.\n")
                                       + path,
                                   platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation,
                                   QStringLiteral("Lumadex Viewer"));
        return;
    }
    List1->AddItem(path);
}

void Form9::Command2_Click()
{
    const int index = List1->ListIndex();
    if (index < 0)
        return;
    List1->RemoveItem(index);
    List1->setListIndex(index - 1); // none after the first entry
}

QString Form9::selectedPath() const
{
    return List1->List(List1->ListIndex());
}

void Form9::Command4_Click()
{
    if (List1->ListIndex() < 0) {
        platform::dialogs().MsgBox(QStringLiteral("Please select a bookmark first"));
        return;
    }
    hide();
    app::Form1 &main = mainWindow();
    if (!main.goToFolder(selectedPath())) {
        // The folder is gone or its drive is not ready.
        platform::dialogs().MsgBox(QStringLiteral("Path not found"));
        main.Dir1_Change();
    }
    Unload();
}

void Form9::Command6_Click()
{
    app::Form1 &main = mainWindow();
    const QString path = selectedPath();
    if (path.isEmpty() || !main.Dir1->setPath(path)) {
        platform::dialogs().MsgBox(QStringLiteral("Path not found. Please choose another path"));
        return;
    }
    main.File1->Refresh();
    main.Drive1->setDrive(main.Dir1->Path());
    // Exactly as "Full Screen SlideShow..." starts it.
    main.FullScreen_Click();
    Unload();
}

void Form9::Command7_Click()
{
    // The file operation dialog waiting behind the picker takes the folder
    // as its destination and runs the pending operation.
    Form17 *dialog = Form17::loaded();
    const QString path = selectedPath();
    if (!dialog || path.isEmpty() || !dialog->Drive1->setDrive(path) || !dialog->Dir1->setPath(path)) {
        platform::dialogs().MsgBox(QStringLiteral("Path not found"));
        return;
    }
    hide();
    dialog->Command1_Click();
    Unload();
}

void Form9::Command3_Click()
{
    save();
}

bool Form9::save()
{
    // Every entry is written, and then the lines that were never shown: a
    // save loses nothing that was in the file.
    const std::optional<QByteArray> bytes = writeBookmarkFile(List1->texts(), m_rest, platform::ansiCodePage());
    const int error = bytes ? saveBookmarkBytes(bookmarkFilePath(), *bytes) : EILSEQ;
    // A list as it was loaded loses nothing when it cannot be written back
    // (a read-only file, say): no need to hold the window for it.
    if (error == 0 || List1->texts() == m_loaded)
        return true;
    const QString file = bookmarkFilePath();
    const QString shown = platform::DriveTable::fromEnvironment().toWindowsPath(file);
    platform::dialogs().MsgBox(QStringLiteral("The bookmarks could not be saved in %1:\n%2.\n\nThe window stays open "
                                              "with your list; close it again to save it once the cause is removed.")
                                   .arg(shown.isEmpty() ? file : shown, platform::host::errorText(error)),
                               platform::MsgStyle::OKOnly | platform::MsgStyle::Critical,
                               QStringLiteral("Lumadex Viewer"));
    return false;
}

void Form9::List1_DblClick()
{
    const app::Form1 &main = mainWindow();
    if (Caption() == SlideShowStartCaption)
        Command6_Click();
    else if (main.isEnabled() && main.Dir1->isEnabled())
        Command4_Click();
    else
        Command7_Click();
}

void Form9::Form_Unload(int &cancel)
{
    hide();
    // A list that could not be saved stays in sight, so that a later close
    // saves it again.
    if (!save()) {
        cancel = 1;
        showInFront();
    }
}

} // namespace files
