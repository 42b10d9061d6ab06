#include "files/Form12.h"

#include "app/Form1.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"

#include <QPainter>
#include <QPushButton>

namespace files {

namespace {

// A manila folder with its tab, drawn into `area`.
void drawFolder(QPainter &painter, const QRectF &area, const QColor &colour)
{
    const qreal tabWidth = area.width() * 0.4;
    const qreal tabHeight = area.height() * 0.18;
    painter.setPen(QPen(colour.darker(170), 1));
    painter.setBrush(colour.darker(115));
    painter.drawRoundedRect(QRectF(area.left(), area.top(), tabWidth, tabHeight * 2), 2, 2);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(area.left(), area.top() + tabHeight, area.width(), area.height() - tabHeight), 3, 3);
}

// The window's picture: a folder holding five smaller ones.
QImage drawTreePicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 64));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(size.width() * 0.08, size.height() * 0.1, size.width() * 0.84, size.height() * 0.8);
    drawFolder(painter, outer, QColor(240, 200, 90));
    const qreal w = outer.width() / 3.4;
    const qreal h = outer.height() / 3.2;
    for (int i = 0; i < 5; ++i) {
        const qreal x = outer.left() + w * 0.25 + (i % 3) * w * 1.05;
        const qreal y = outer.top() + outer.height() * 0.3 + (i / 3) * h * 1.15;
        drawFolder(painter, QRectF(x, y, w * 0.9, h), QColor(120, 190, 255));
    }
    return image;
}

// The button's bitmap: an open folder with an arrow going in.
QPixmap drawButtonBitmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawFolder(painter, QRectF(size.width() * 0.3, 2, size.width() * 0.68, size.height() - 4), QColor(240, 200, 90));
    painter.setPen(QPen(QColor(0, 90, 0), 3, Qt::SolidLine, Qt::RoundCap));
    const qreal mid = size.height() / 2.0;
    painter.drawLine(QPointF(4, mid), QPointF(size.width() * 0.55, mid));
    painter.drawLine(QPointF(size.width() * 0.55 - 7, mid - 7), QPointF(size.width() * 0.55, mid));
    painter.drawLine(QPointF(size.width() * 0.55 - 7, mid + 7), QPointF(size.width() * 0.55, mid));
    return pixmap;
}

} // namespace

void createPictureFolders()
{
    const platform::DriveTable table = platform::DriveTable::fromEnvironment();
    for (const QString &folder : PictureFolders) {
        const QString host = table.toHostPath(folder);
        if (!host.isEmpty())
            platform::makeHostFolder(host); // one level: a missing parent fails, as it should
    }
}

Form12::Form12()
{
    setObjectName(QStringLiteral("Form12"));
    setDialogBorder();
    setCaption(QStringLiteral("Creat/View PicFolder"));
    QWidget *client = createClientArea();

    Picture1 = new controls::PictureBox(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setBorderStyle(controls::PictureBox::Border::Sunken);
    Picture1->setTwipsGeometry(120, 120, 1620, 1620);
    Picture1->setPicture(picture::Picture::fromImage(drawTreePicture(QSize(104, 104))));

    Label2 = new controls::Label(QStringLiteral("C:\\PicFolder"), client);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setTwipsGeometry(1980, 240, 2160, 315);

    Command1 = new QPushButton(client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(controls::twipsRect(1980, 780, 2160, 840));
    const QSize bitmap(96, 44);
    Command1->setIcon(drawButtonBitmap(bitmap));
    Command1->setIconSize(bitmap);
    connect(Command1, &QPushButton::clicked, this, &Form12::Command1_Click);

    setClientSizeTwips(4320, 1860);
}

void Form12::Command1_Click()
{
    // Each step is tried in turn; a failing one is skipped without a message.
    hide();
    createPictureFolders();
    app::Form1 &main = *app::Form1::instance();
    // A drive C: that is not ready would have the drive list report it.
    if (platform::DriveTable::fromEnvironment().isReady(QLatin1Char('C')))
        main.Drive1->setDrive(QStringLiteral("C:"));
    main.Dir1->setPath(QStringLiteral("C:\\PicFolder"));
    Unload();
}

} // namespace files
