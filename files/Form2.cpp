#include "files/Form2.h"

#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/Twips.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"
#include "settings/Settings.h"

#include <QFrame>
#include <QPushButton>

namespace files {

Form2::Form2()
{
    setObjectName(QStringLiteral("Form2"));
    setDialogBorder();
    setCaption(QStringLiteral("Default Folder..."));
    createControls();
    setClientSizeTwips(4920, 3735);
    Form_Load();
}

void Form2::createControls()
{
    QWidget *client = createClientArea();
    const auto named = [](QWidget *w, const char *name) { w->setObjectName(QString::fromLatin1(name)); };

    Label1 = new controls::Label(QStringLiteral("Current Default Folder :"), client);
    named(Label1, "Label1");
    Label1->setTwipsGeometry(120, 160, 2175, 255);
    Label4 = new controls::Label(client);
    named(Label4, "Label4");
    Label4->setTwipsGeometry(2340, 160, 2460, 255);
    Label4->hide();
    Label5 = new controls::Label(QStringLiteral("Disabled"), client);
    named(Label5, "Label5");
    Label5->setTwipsGeometry(2340, 160, 2460, 255);
    Label5->hide();

    // Two engraved lines set the heading apart from the lists.
    for (double top : {480.0, 510.0}) {
        auto *line = new QFrame(client);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(controls::twipsRect(120, top, 4680, 30));
    }

    Drive1 = new controls::DriveListBox(client);
    named(Drive1, "Drive1");
    Drive1->setTwipsGeometry(120, 660, 3135, 315);
    Dir1 = new controls::DirListBox(client);
    named(Dir1, "Dir1");
    Dir1->setTwipsGeometry(120, 1080, 3135, 2535);

    const auto button = [&](const char *name, const QString &caption, double top) {
        auto *b = new QPushButton(caption, client);
        named(b, name);
        b->setGeometry(controls::twipsRect(3480, top, 1320, 375));
        return b;
    };
    Command1 = button("Command1", QStringLiteral("&OK"), 660);
    Command2 = button("Command2", QStringLiteral("&Cancel"), 1140);
    Command3 = button("Command3", QStringLiteral("&Disabled "), 1620);

    // The lists open on the process's current folder, which the main window
    // keeps equal to its own.
    const QString here = platform::CurrentDirectory::path();
    Drive1->setDrive(here);
    Dir1->setPath(here);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Drive1, &controls::DriveListBox::Change, this, &Form2::Drive1_Change);
}

void Form2::Form_Load()
{
    // 1. The stored default folder.
    const QString autoJump = settings::Read(settings::AutoJump);
    if (autoJump.isEmpty()) {
        // 3. Off: the lists stay where they opened.
        Command3->setEnabled(false);
        Label5->show();
        return;
    }
    // 2. Shown, and the lists on it.
    Command3->setEnabled(true);
    Label4->setCaption(autoJump);
    if (Dir1->setPath(autoJump)) {
        Drive1->setDrive(autoJump);
        Label4->show();
        return;
    }
    // 4. The folder is gone: the one the lists opened on replaces it at once.
    platform::dialogs().MsgBox(QStringLiteral("Last path not found!"));
    Label4->show();
    Label4->setCaption(Dir1->Path());
    settings::Write(settings::AutoJump, Dir1->Path());
}

void Form2::Command1_Click()
{
    settings::Write(settings::AutoJump, Dir1->Path());
    hide();
    Unload();
    app::Form1::instance()->goto1->setEnabled(true);
}

void Form2::Command2_Click()
{
    Unload();
}

void Form2::Command3_Click()
{
    // The empty text, not a removed value: both read as "off".
    settings::Write(settings::AutoJump, QString());
    hide();
    Unload();
    app::Form1::instance()->goto1->setEnabled(false);
}

void Form2::Drive1_Change()
{
    // Code that opens a folder and then names its drive must not be sent to
    // that drive's current folder instead: a folder list already on the
    // chosen drive stays where it is.
    const QChar drive = winpath::driveLetter(Drive1->Drive());
    if (winpath::driveLetter(Dir1->Path()) == drive)
        return;
    if (Dir1->setPath(Drive1->Drive()))
        return;
    platform::dialogs().MsgBox(QStringLiteral("Device is not accessible or ready"),
                               platform::MsgStyle::OKOnly | platform::MsgStyle::Critical,
                               QStringLiteral("Lumadex Viewer"));
    Drive1->setDrive(Dir1->Path());
}

} // namespace files
