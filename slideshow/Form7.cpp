#include "slideshow/Form7.h"

#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/Timer.h"
#include "controls/Twips.h"
#include "files/Form17.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"
#include "slideshow/Fonts.h"
#include "slideshow/Form3.h"
#include "slideshow/Form6.h"
#include "slideshow/IndexJump.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

namespace slideshow {

namespace {

// The picture of a step button: a black triangle pointing left or right.
QIcon triangle(bool pointsRight)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPolygonF shape = pointsRight ? QPolygonF({QPointF(4, 2), QPointF(13, 8), QPointF(4, 14)})
                                        : QPolygonF({QPointF(12, 2), QPointF(3, 8), QPointF(12, 14)});
    painter.drawPolygon(shape);
    return QIcon(pixmap);
}

app::Form1 &mainWindow()
{
    return *app::Form1::instance();
}

} // namespace

Form7 &Form7::instance()
{
    return controls::FormInstance<Form7>::get([] { return new Form7(Form6::loaded()); });
}

Form7 *Form7::loaded()
{
    return controls::FormInstance<Form7>::loaded();
}

Form7::Form7(QWidget *show) : controls::Form(show)
{
    setObjectName(QStringLiteral("Form7"));
    // A fixed single border with a close box only. As a window of the show's
    // window it stays in front of it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setCaption(QStringLiteral("Lumadex Viewer "));

    auto *client = new QWidget(this);
    setCentralWidget(client);
    Frame1 = new QGroupBox(client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(controls::twipsRect(480, 0, 1575, 615));
    const auto button = [this](const char *name, double left, bool pointsRight) {
        auto *b = new QPushButton(Frame1);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(controls::twipsRect(left, 120, 495, 375));
        b->setIcon(triangle(pointsRight));
        return b;
    };
    Command1 = button("Command1", 240, false);
    Command2 = button("Command2", 840, true);

    createMenus();
    // The five menus fit the panel's width in the design's menu font.
    menuBar()->setFont(dialogFont());
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form7::Command2_Click);
    const auto on = [this](controls::MenuItem *item, void (Form7::*handler)()) {
        connect(item, &controls::MenuItem::Click, this, handler);
    };
    on(pause1, &Form7::pause1_Click);
    on(resume1, &Form7::resume1_Click);
    on(hide1, &Form7::hide1_Click);
    on(cancek1, &Form7::cancek1_Click);
    on(showinfo, &Form7::showinfo_Click);
    on(speed1, &Form7::speed1_Click);
    on(selindex, &Form7::selindex_Click);
    on(copy1, &Form7::copy1_Click);
    on(move1, &Form7::move1_Click);
    on(delete1, &Form7::delete1_Click);
    on(rename1, &Form7::rename1_Click);
    on(open1, &Form7::open1_Click);

    setFixedBorder();
    setClientSizeTwips(2640, 690);
}

void Form7::createMenus()
{
    using controls::MenuItem;
    const auto top = [this](const char *name, const char *caption) {
        auto *item = new MenuItem(QString::fromLatin1(name), QString::fromLatin1(caption), this);
        item->attachTo(this);
        return item;
    };
    const auto add = [](MenuItem *parent, const char *name, const char *caption) {
        return parent->addItem(QString::fromLatin1(name), QString::fromLatin1(caption));
    };
    file1 = top("file1", "&File");
    copy1 = add(file1, "copy1", "Copy ...");
    move1 = add(file1, "move1", "Move ...");
    fileline1 = add(file1, "fileline1", "-");
    delete1 = add(file1, "delete1", "Delete ...");
    rename1 = add(file1, "rename1", "Rename ...");
    fileline2 = add(file1, "fileline2", "-");
    open1 = add(file1, "open1", "Open ...");
    op = top("op", "&Option");
    selindex = add(op, "selindex", "Jump to Index");
    opline1 = add(op, "opline1", "-");
    showinfo = add(op, "showinfo", "ShowInfo");
    speed1 = add(op, "speed1", "SlideShow...");
    opline2 = add(op, "opline2", "-");
    cancek1 = add(op, "cancek1", "&Cancel");
    resume1 = top("resume1", "&Resume");
    pause1 = top("pause1", "&Pause");
    hide1 = top("hide1", "&Hide");
    resume1->setVisible(false);
}

void Form7::showAboveTheShow()
{
    if (!m_placed) {
        m_placed = true;
        const QWidget *show = parentWidget();
        const QRect screen = show ? show->geometry() : QRect(QPoint(0, 0), QSize(640, 480));
        move(screen.left() + (screen.width() - frameGeometry().width()) / 2,
             screen.bottom() - frameGeometry().height() - 48);
    }
    show();
    raise();
    activateWindow();
}

void Form7::pause1_Click()
{
    app::Form1 &main = mainWindow();
    // 1.
    main.Timer2->setInterval(0);
    main.Timer2->setEnabled(false);
    // 2.
    pause1->setVisible(false);
    resume1->setVisible(true);
}

void Form7::resume1_Click()
{
    app::Form1 &main = mainWindow();
    // 1.
    pause1->setVisible(true);
    resume1->setVisible(false);
    // 2. A hand step left ShowCnt on the picture on screen.
    if (main.BackCheck == 1) {
        main.ShowCnt = main.ShowCnt + 1;
        main.BackCheck = 0;
    }
    // 3.
    main.Timer2->setEnabled(true);
    main.Timer2->setInterval(main.cuspeed);
    // 4.
    hide();
}

void Form7::Command1_Click()
{
    app::Form1 &main = mainWindow();
    // 1. The first picture is on screen, or none has been shown.
    if (main.SBack == 0)
        return;
    // 2.
    if (main.ShowCnt == 0)
        return;
    // 3.
    main.BackCheck = 1;
    main.Timer2->setEnabled(false);
    main.ShowCnt = main.SBack - 1;
    main.WinF();
}

void Form7::Command2_Click()
{
    app::Form1 &main = mainWindow();
    Form6 *show = Form6::loaded();
    // 1. No picture has been shown yet.
    if (!show || show->Label1->Caption().isEmpty())
        return;
    // 2. The last picture is on screen.
    if (main.File1->ListCount() == main.SBack + 1) {
        platform::dialogs().MsgBox(QStringLiteral("The last picture of this folder"));
        return;
    }
    // 3.
    main.BackCheck = 1;
    main.Timer2->setEnabled(false);
    main.ShowCnt = main.SBack + 1;
    main.WinF();
}

void Form7::hide1_Click()
{
    hide();
}

void Form7::cancek1_Click()
{
    cancelFullScreenShow();
}

void cancelFullScreenShow()
{
    app::Form1 *main = app::Form1::instance();
    Form6 *show = Form6::loaded();
    // 1.
    if (show)
        show->Label2->setCaption(QString());
    if (main) {
        // 2.
        main->Dir1_Change();
        // 3.
        main->Image1->setPicture(main->Picture3->Picture());
    }
    // 4.
    if (Form7 *panel = Form7::loaded())
        panel->Unload();
    if (show)
        show->unloadAtShowEnd();
    if (!main)
        return;
    // 5.
    main->setEnabled(true);
    // 6.
    main->Timer2->setEnabled(false);
    main->Timer2->setInterval(0);
}

void Form7::showinfo_Click()
{
    Form6 *show = Form6::loaded();
    if (!show)
        return;
    const bool shown = showinfo->Caption() != QLatin1String("HideInfo");
    show->Label1->setVisible(shown);
    show->Label2->setVisible(shown);
    show->Label3->setVisible(shown);
    showinfo->setCaption(shown ? QStringLiteral("HideInfo") : QStringLiteral("ShowInfo"));
}

void Form7::speed1_Click()
{
    Form3::open(Form3::Size::Cut);
}

void Form7::selindex_Click()
{
    app::Form1 &main = mainWindow();
    const std::optional<qint32> index = askJumpIndex(FullScreenRangeText, main.File1->ListCount());
    if (!index)
        return;
    // 4. The show stays paused; Resume goes on after this picture.
    main.SBack = *index;
    main.ShowCnt = *index;
    main.BackCheck = 1;
    main.WinF();
}

void Form7::copy1_Click()
{
    fileOperation(files::action::Copy);
}

void Form7::move1_Click()
{
    fileOperation(files::action::Move);
}

void Form7::delete1_Click()
{
    fileOperation(files::action::Delete);
}

void Form7::rename1_Click()
{
    fileOperation(files::action::Rename);
}

void Form7::open1_Click()
{
    fileOperation(files::action::Open);
}

void Form7::fileOperation(const QString &action)
{
    settings::Write(settings::Action, action);
    OpenFileOp();
}

void Form7::OpenFileOp()
{
    // 1.
    files::Form17 &dialog = files::Form17::load();
    // 2. The dialog stays loaded, hidden.
    const Form6 *show = Form6::loaded();
    const QString onScreen = show ? show->Label1->Caption() : QString();
    if (onScreen.isEmpty()) {
        platform::dialogs().MsgBox(QStringLiteral("No Image Displayed"));
        return;
    }
    // 3. Without the refresh marker: the main window's list stays as it is.
    dialog.showFor(onScreen);
}

} // namespace slideshow
