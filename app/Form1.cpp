#include "app/Form1.h"

#include "app/Banners.h"
#include "app/Runtime.h"
#include "controls/Convert.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"

#include <QApplication>

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
    box->setPicture(picture::Picture::fromImage(drawNotice(text)));
    box->hide();
    return box;
}

} // namespace

Form1::Form1(QWidget *parent) : controls::Form(parent)
{
    loadedMainWindow() = this;
    setObjectName(QStringLiteral("Form1"));
    // A sizable border with minimise but no maximise button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("Lumadex Viewer "));
    createControls();
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

    Picture5 = new controls::PictureBox(client);
    Picture5->setObjectName(QStringLiteral("Picture5"));
    Picture5->setBorderStyle(controls::PictureBox::Border::Sunken);
    Picture5->setBackColor(kPaneDesignColor);
    Picture5->setTwipsGeometry(2400, 0, 6855, 5895);

    Picture1 = makeNotice(Picture5, PleaseWait);
    Picture2 = makeNotice(Picture5, PleaseSelectAFile);
    Picture3 = makeNotice(Picture5, ProcessCompleted);
    Picture4 = makeNotice(Picture5, ErrorOccur);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture4->setObjectName(QStringLiteral("Picture4"));

    Label2 = new controls::Label(Picture5);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();
    Label3 = new controls::Label(Picture5);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->hide();
}

void Form1::fillTrayIconData()
{
    TrayIconData.cbSize = 88;
    TrayIconData.hWnd = static_cast<quint32>(winId());
    TrayIconData.uID = 1;
    TrayIconData.uFlags = 7; // message, icon and tip are valid
    TrayIconData.uCallbackMessage = platform::WM_MOUSEMOVE;
    TrayIconData.hIcon = static_cast<quint32>(windowIcon().cacheKey());
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
    // 8. The slide-show delay.
    const QString speed = settings::Read(settings::Speed);
    if (speed.isEmpty()) {
        cuspeed = 1000;
    } else if (const auto ms = controls::CLng(speed)) {
        cuspeed = *ms;
    }
    settings::Write(settings::First, QStringLiteral("1"));
}

void Form1::Form_Unload(int &cancel)
{
    Q_UNUSED(cancel);
    UnloadAllForms();
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
