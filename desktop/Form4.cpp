// The About window.
#include "desktop/Form4.h"

#include "app/Banners.h"
#include "app/Form1.h"
#include "controls/PictureBox.h"

#include <QLabel>
#include <QVBoxLayout>

namespace desktop {

Form4::Form4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("Quill's Personal Viewer"));
    auto *client = new QWidget(this);
    setCentralWidget(client);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    Picture1 = new controls::PictureBox(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    const picture::Picture picture =
        picture::Picture::fromImage(app::drawStartUpPicture(devicePixelRatioF(), QStringLiteral("A picture viewer")));
    Picture1->setFixedSize(picture.naturalSize());
    Picture1->setPicture(picture);
    layout->addWidget(Picture1, 0, Qt::AlignHCenter);

    Label1 = new QLabel(QStringLiteral("Lumadex Viewer 3.01"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    Label1->setFont(bold);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);

    Label2 = new QLabel(
        QStringLiteral("A viewer for folders of pictures: Windows bitmaps, GIF, JPEG, icons, cursors\n"
                       "and Windows metafiles, in three display modes, with slide shows,\n"
                       "file operations, bookmarks and wallpaper.\n\n"
                       "Built with Qt %1.")
            .arg(QString::fromLatin1(qVersion())),
        client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignHCenter);
    layout->addWidget(Label2);

    setFixedSize(sizeHint());
}

} // namespace desktop

namespace app {

void Form1::About1_Click()
{
    // Modeless and without an owner; a second use brings the same window forward.
    desktop::Form4 &about = desktop::Form4::instance();
    about.showInFront();
}

} // namespace app
