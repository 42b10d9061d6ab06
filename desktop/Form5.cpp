// The tray start-up option window.
#include "desktop/Form5.h"

#include "app/Form1.h"
#include "controls/Label.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "settings/Settings.h"

#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

namespace desktop {

namespace {

// A window shrinking into an icon at the end of a taskbar.
QImage drawTrayIllustration(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(214, 226, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    // The window, with its title bar.
    const QRectF window(w * 0.08, h * 0.08, w * 0.56, h * 0.44);
    painter.setPen(QPen(QColor(40, 60, 90), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(window);
    painter.fillRect(QRectF(window.left(), window.top(), window.width(), h * 0.09), QColor(24, 64, 120));
    // The taskbar, and the icon in its notification area.
    const QRectF bar(0, h * 0.8, w, h * 0.2);
    painter.fillRect(bar, QColor(40, 48, 60));
    const QRectF icon(w * 0.78, h * 0.84, h * 0.12, h * 0.12);
    painter.setBrush(QColor(120, 190, 255));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(icon, 2, 2);
    // The way from one to the other.
    painter.setPen(QPen(QColor(200, 80, 40), 2));
    const QPointF from = window.bottomRight() - QPointF(w * 0.04, h * 0.04);
    const QPointF to = icon.topLeft() + QPointF(icon.width() / 2, -h * 0.03);
    painter.drawLine(from, to);
    const QPointF back = (from - to) / std::hypot(from.x() - to.x(), from.y() - to.y()) * (h * 0.1);
    const QPointF side(-back.y() * 0.5, back.x() * 0.5);
    painter.setBrush(QColor(200, 80, 40));
    painter.drawPolygon(QPolygonF{to, to + back + side, to + back - side});
    return image;
}

} // namespace

Form5::Form5()
{
    setObjectName(QStringLiteral("Form5"));
    // A fixed dialog border: no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("Minimize to TrayIcon"));
    auto *client = new QWidget(this);
    setCentralWidget(client);
    const auto place = [](QWidget *w, const char *name, double l, double t, double wd, double ht) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(controls::twipsRect(l, t, wd, ht));
    };

    Picture1 = new controls::PictureBox(client);
    place(Picture1, "Picture1", 120, 120, 1020, 1020);
    Picture1->setPicture(picture::Picture::fromImage(drawTrayIllustration(Picture1->size())));

    // The option buttons are too small to show a caption; the labels beside
    // them name them and select them when clicked.
    Option2 = new QRadioButton(client);
    place(Option2, "Option2", 1440, 240, 255, 255);
    Label2 = new controls::Label(QStringLiteral("Enabled"), client);
    place(Label2, "Label2", 1800, 270, 1095, 255);
    Option1 = new QRadioButton(client);
    place(Option1, "Option1", 1440, 720, 255, 255);
    Label3 = new controls::Label(QStringLiteral("Disabled"), client);
    place(Label3, "Label3", 1800, 750, 1095, 255);

    Command1 = new QPushButton(QStringLiteral("&OK"), client);
    place(Command1, "Command1", 1320, 1320, 975, 375);
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("&Cancel"), client);
    place(Command2, "Command2", 2400, 1320, 975, 375);

    connect(Label2, &controls::Label::Click, this, &Form5::Label2_Click);
    connect(Label3, &controls::Label::Click, this, &Form5::Label3_Click);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);

    setClientSizeTwips(3540, 1830);
    setFixedSize(size());
    Form_Load();
}

void Form5::Form_Load()
{
    if (settings::Read(settings::TrayIcon) == QLatin1String("1"))
        Option2->setChecked(true);
    else
        Option1->setChecked(true);
}

void Form5::Label2_Click()
{
    Option2->setChecked(true);
}

void Form5::Label3_Click()
{
    Option1->setChecked(true);
}

void Form5::Command1_Click()
{
    // Only the next start reads it; the running viewer stays where it is.
    if (Option2->isChecked())
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
    if (Option1->isChecked())
        settings::Write(settings::TrayIcon, QString());
    hide();
    Unload();
}

void Form5::Command2_Click()
{
    Unload();
}

} // namespace desktop

namespace app {

void Form1::mintray_Click()
{
    desktop::Form5 &form = desktop::Form5::instance();
    form.showInFront();
}

} // namespace app
