#include "files/Form17.h"

#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "files/FileOperations.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/ShellExecute.h"
#include "settings/Settings.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace files {

namespace {

// Tops of the options inside the "Action" frame, in twips.
constexpr double CopyTop = 480;
constexpr double MoveTop = 1080;
constexpr double DeleteTop = 1680;
constexpr double RenameTop = 2280;
constexpr double OpenTop = 2880;

// The operations as "Action" stores them, with the caption and layout each
// gives the dialog.
struct Operation {
    const QString &action;
    const char *caption;
    bool compact;
    QRadioButton *Form17::*option;
    void (Form17::*click)();
};

const Operation Operations[] = {
    {action::Copy, "Copy file to Destination", false, &Form17::Option1, &Form17::Option1_Click},
    {action::Move, "Move file to Destination", false, &Form17::Option9, &Form17::Option9_Click},
    {action::Delete, "Delete File", true, &Form17::Option8, &Form17::Option8_Click},
    {action::Rename, "Rename File", true, &Form17::Option6, &Form17::Option6_Click},
    {action::Open, "Open File", true, &Form17::Option7, &Form17::Option7_Click},
};

// Compared exactly: any other spelling is no operation.
const Operation *operationNamed(const QString &name)
{
    for (const Operation &operation : Operations)
        if (operation.action == name)
            return &operation;
    return nullptr;
}

// A small arrow pointing at the selected option.
QImage drawMarker()
{
    QImage image(8, 33, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawPolygon(QPolygonF({QPointF(0.5, 10.5), QPointF(7.5, 16.5), QPointF(0.5, 22.5)}));
    return image;
}

template <typename Widget>
Widget *placed(Widget *widget, const char *name, double l, double t, double w, double h)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(controls::twipsRect(l, t, w, h));
    return widget;
}

} // namespace

Form17 &Form17::load()
{
    return controls::FormInstance<Form17>::get([] {
        auto *form = new Form17;
        form->Form_Load();
        return form;
    });
}

Form17 *Form17::loaded()
{
    return controls::FormInstance<Form17>::loaded();
}

Form17::Form17()
{
    setObjectName(QStringLiteral("Form17"));
    // A fixed dialog frame with a close box only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setCaption(QStringLiteral("Confirm File Operation"));
    createControls();
    setFixedBorder();
    setSizeTwips(5910, 5145);

    for (const Operation &operation : Operations)
        connect(this->*operation.option, &QRadioButton::clicked, this, operation.click);
    connect(Drive1, &controls::DriveListBox::Change, this, &Form17::Drive1_Change);
    connect(Dir1, &controls::DirListBox::Change, this, &Form17::Dir1_Change);
    connect(Dir1, &controls::DirListBox::MouseDown, this, &Form17::Dir1_MouseDown);
    connect(Command1, &QPushButton::clicked, this, &Form17::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form17::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form17::Command3_Click);
}

void Form17::createControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    QFont small = client->font();
    small.setPointSizeF(8);
    client->setFont(small);

    Frame2 = placed(new QGroupBox(QStringLiteral("Action"), client), "Frame2", 120, 120, 1815, 3495);
    const auto option = [this](const char *name, const QString &caption, double top) {
        return placed(new QRadioButton(caption, Frame2), name, 240, top, 1455, 255);
    };
    Option1 = option("Option1", QStringLiteral("Copy To"), CopyTop);
    Option9 = option("Option9", QStringLiteral("Move To"), MoveTop);
    Option8 = option("Option8", QStringLiteral("Delete"), DeleteTop);
    Option6 = option("Option6", QStringLiteral("Rename"), RenameTop);
    Option7 = option("Option7", QStringLiteral("Open"), OpenTop);
    // None is selected at design time, so the marker waits for the first.
    Picture1 = placed(new QLabel(Frame2), "Picture1", 120, 360, 120, 495);
    Picture1->setPixmap(QPixmap::fromImage(drawMarker()));
    Picture1->hide();
    Label1 = placed(new controls::Label(Frame2), "Label1", 120, 3240, 1575, 195);
    Label1->hide();

    Frame1 = placed(new QGroupBox(QStringLiteral("Destination"), client), "Frame1", 2055, 120, 3615, 3495);
    Drive1 = new controls::DriveListBox(Frame1);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setTwipsGeometry(120, 240, 3375, 315);
    Dir1 = new controls::DirListBox(Frame1);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setTwipsGeometry(120, 615, 3375, 2295);
    File1 = new controls::FileListBox(Frame1);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setTwipsGeometry(1560, 3000, 1935, 375);
    File1->hide();
    Command3 = placed(new QPushButton(QStringLiteral("&Bookmark"), Frame1), "Command3", 120, 3000, 1335, 375);
    Label4 = placed(new controls::Label(Frame1), "Label4", 1560, 3120, 1215, 195);
    Label4->hide();

    Frame3 = placed(new QGroupBox(QStringLiteral("Confirm Operation"), client), "Frame3", 1935, 3720, 3735, 1185);
    Label5 = placed(new controls::Label(QStringLiteral("Type the full name (eg. abc.bmp)"), Frame3), "Label5", 120, 240,
                    3495, 195);
    Label5->hide();
    Text1 = placed(new QLineEdit(Frame3), "Text1", 120, 450, 3495, 285);
    Text1->hide();
    Command1 = placed(new QPushButton(QStringLiteral("&OK !"), Frame3), "Command1", 120, 780, 1695, 330);
    Command2 = placed(new QPushButton(QStringLiteral("&Cancel"), Frame3), "Command2", 1920, 780, 1695, 330);
    // The style's frame title is taller than the 240 twips the design leaves
    // above Label5, which then sat on the frame's line: the contents move
    // down below the title and the frame grows by as much.
    if (const int missing = Frame3->contentsRect().top() - Label5->y(); missing > 0) {
        for (QWidget *content : std::initializer_list<QWidget *>{Label5, Text1, Command1, Command2})
            content->move(content->x(), content->y() + missing);
        Frame3->resize(Frame3->width(), Frame3->height() + missing);
    }

    // Like the main window's lists, these open on the current drive and folder.
    const QString here = platform::CurrentDirectory::path();
    Drive1->setDrive(here);
    Dir1->setPath(here);
    File1->setPath(Dir1->Path());
}

void Form17::showFor(const QString &sourcePath)
{
    Label1->setCaption(sourcePath);
    showInFront();
}

void Form17::Form_Load()
{
    // 1. No stored operation means Copy To.
    const QString stored = settings::Read(settings::Action);
    if (stored.isEmpty()) {
        Option1->setChecked(true);
        Option1_Click();
    }
    // 2. The destination chosen last; a vanished one cuts the load short.
    const QString copyPath = settings::Read(settings::CopyPath);
    if (!copyPath.isEmpty() && !(Drive1->setDrive(copyPath) && Dir1->setPath(copyPath))) {
        platform::dialogs().MsgBox(QStringLiteral("Path not found"));
        return;
    }
    // 3. The stored operation, its option and caption.
    const Operation *operation = operationNamed(stored);
    if (!operation)
        return;
    (this->*operation->option)->setChecked(true);
    (this->*operation->click)();
    setCaption(QString::fromLatin1(operation->caption));
    // 4. Delete, Rename and Open need no destination: only the
    // confirmation frame stays in sight.
    if (operation->compact) {
        Frame1->hide();
        Frame3->move(0, 0);
        setSizeTwips(3945, 1605);
        // It covers the options frame, as the small window shows no more of it.
        Frame3->setAutoFillBackground(true);
        Frame3->raise();
        Frame3->resize(Frame3->size().expandedTo(size()));
    }
}

void Form17::markOption(double optionTop)
{
    Picture1->setGeometry(controls::twipsRect(120, optionTop - 120, 120, 495));
    Picture1->show();
}

void Form17::Option1_Click()
{
    markOption(CopyTop);
    EnableDestination();
    settings::Write(settings::Action, action::Copy);
}

void Form17::Option9_Click()
{
    markOption(MoveTop);
    EnableDestination();
    settings::Write(settings::Action, action::Move);
}

void Form17::Option8_Click()
{
    markOption(DeleteTop);
    DisableDestination();
    settings::Write(settings::Action, action::Delete);
}

void Form17::Option6_Click()
{
    markOption(RenameTop);
    DisableDestination();
    Label5->show();
    Text1->show();
    Text1->setEnabled(true);
    settings::Write(settings::Action, action::Rename);
}

void Form17::Option7_Click()
{
    markOption(OpenTop);
    DisableDestination();
    settings::Write(settings::Action, action::Open);
}

void Form17::DisableDestination()
{
    Frame1->setEnabled(false);
    Text1->hide();
    Label5->hide();
    Dir1->setEnabled(false);
    Drive1->setEnabled(false);
}

void Form17::EnableDestination()
{
    Text1->hide();
    Label5->hide();
    Dir1->setEnabled(true);
    Drive1->setEnabled(true);
    Frame1->setEnabled(true);
}

void Form17::Drive1_Change()
{
    if (Dir1->setPath(Drive1->Drive()))
        return;
    platform::dialogs().MsgBox(QStringLiteral("Device is not accessible or ready"),
                               platform::MsgStyle::OKOnly | platform::MsgStyle::Critical,
                               QStringLiteral("Lumadex Viewer"));
    if (m_inDriveFallback)
        return; // C: itself failed: keep the folder the list shows
    m_inDriveFallback = true;
    Drive1->setDrive(QStringLiteral("C:"));
    m_inDriveFallback = false;
    Drive1->setDrive(Dir1->Path());
}

void Form17::Dir1_Change()
{
    File1->setPath(Dir1->Path());
}

void Form17::Dir1_MouseDown(int button, int, float x, float y)
{
    app::Form1 *main = app::Form1::instance();
    if (button == 2 && main)
        main->cuts->popup(Dir1->mapToGlobal(QPoint(int(x), int(y))));
}

void Form17::Command3_Click()
{
    if (app::Form1 *main = app::Form1::instance())
        main->editbook_Click();
}

void Form17::Command1_Click()
{
    // 1. The hourglass while the operation runs.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // 2. The file to work on.
    const QString source = Label1->Caption();
    // 3.-7. The operation. One that fails says so, and one cancelled from
    // its progress window did nothing: either way the dialog stays open as
    // it is, and the main window stays disabled meanwhile.
    const platform::FileOpResult result = performSelectedOperation(source);
    if (!result.ok()) {
        QGuiApplication::restoreOverrideCursor();
        if (result.status == platform::FileOpResult::Status::Failed)
            platform::dialogs().MsgBox(QStringLiteral("File Already Exist or other errors"));
        return;
    }
    app::Form1 *main = app::Form1::instance();
    // 8. The main window works again (it was disabled when a file was shown).
    if (main && !main->Label7->Caption().isEmpty())
        main->setEnabled(true);
    // 9.
    hide();
    if (main)
        main->repaint();
    // 10. Opened from the main list: the list is read again and the
    // completion notice shows. Opened from a slide show: nothing changes there.
    if (main && Label4->Caption() == Changeable) {
        main->Dir1_Change();
        Unload();
        main->Image1->setPicture(main->Picture3->Picture());
    } else {
        Unload();
    }
    // 11.
    QGuiApplication::restoreOverrideCursor();
}

platform::FileOpResult Form17::performSelectedOperation(const QString &source)
{
    platform::ShellFileOps &ops = platform::shellFileOps();
    // 3. Rename: a bare name lands in the current folder, which is the main
    // window's folder.
    if (Option6->isChecked())
        return ops.rename(source, Text1->text());
    // 4. Open with the desktop's program; whether one started is not examined.
    if (Option7->isChecked()) {
        const QString programFolder = platform::DriveTable::fromEnvironment().toWindowsPath(platform::programFolder());
        platform::shell().ShellExecute(this, QStringLiteral("Open"), source, QString(), programFolder,
                                       platform::SW_SHOWNORMAL);
        return platform::FileOpResult::done(source);
    }
    // 5.-6. Copy and move into the destination folder.
    if (Option1->isChecked()) {
        ProgressWindow progress(this, QStringLiteral("Copying..."), Dir1->Path());
        return ops.copyTo(source, Dir1->Path(), &progress);
    }
    if (Option9->isChecked()) {
        ProgressWindow progress(this, QStringLiteral("Moving..."), Dir1->Path());
        return ops.moveTo(source, Dir1->Path(), &progress);
    }
    // 7. Delete: to the trash, never for good.
    if (Option8->isChecked())
        return ops.moveToTrash(source);
    return platform::FileOpResult::done(source);
}

void Form17::Command2_Click()
{
    Unload();
}

void Form17::Form_Unload(int &cancel)
{
    Q_UNUSED(cancel);
    app::Form1 *main = app::Form1::instance();
    if (main && !main->Label7->Caption().isEmpty())
        main->setEnabled(true);
    settings::Write(settings::CopyPath, Dir1->Path());
}

} // namespace files
