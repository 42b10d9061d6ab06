#include "slideshow/Form3.h"

#include "app/Form1.h"
#include "controls/Convert.h"
#include "controls/Label.h"
#include "controls/Twips.h"
#include "settings/Settings.h"
#include "slideshow/Fonts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace slideshow {

namespace {

const QString On = QStringLiteral("1");
const QString Off = QStringLiteral("0");

// The longest delay the dialog gives, in seconds.
constexpr double MaxDelay = 60;

// The delay in words (Label2) as designed: left edge and width, in twips;
// and the margin the frame's contents keep from its right edge.
constexpr double DelayLabelLeft = 840;
constexpr double DelayLabelWidth = 975;
constexpr double FrameMargin = 120;

} // namespace

QString delayText(double seconds, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(seconds, 'g', 15);
}

std::optional<double> delayNumber(const QString &text, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = l.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint32> delayMilliseconds(const QString &text, const QLocale &locale)
{
    const std::optional<double> seconds = delayNumber(text, locale);
    if (!seconds)
        return std::nullopt;
    const double ms = controls::roundHalfEven(std::clamp(*seconds, 0.0, MaxDelay) * 1000);
    // A delay of 0 is stored as 1, the shortest the timers accept; so is one
    // too short to round to a millisecond, which would stop them.
    return ms < 1 ? 1 : qint32(ms);
}

Form3 &Form3::open(Size size)
{
    Form3 *form = &controls::FormInstance<Form3>::get([] {
        auto *made = new Form3;
        made->Form_Load();
        return made;
    });
    if (!form->m_placed) {
        // First shown centred on the screen.
        form->m_placed = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            form->move(screen->geometry().center() - QPoint(form->width() / 2, form->height() / 2));
    }
    form->show();
    // The frame the window manager adds is known once the window is shown.
    if (size == Size::Cut)
        form->setSizeTwips(3600, 2805);
    form->raise();
    form->activateWindow();
    return *form;
}

Form3 *Form3::loaded()
{
    return controls::FormInstance<Form3>::loaded();
}

Form3::Form3()
{
    setObjectName(QStringLiteral("Form3"));
    // A fixed dialog border: a caption and a close box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setCaption(QStringLiteral("SlideShow"));
    createControls();
    setFixedBorder();
    setClientSizeTwips(3510, 4110);
}

void Form3::createControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    client->setFont(dialogFont());
    const auto place = [](QWidget *w, const char *name, double l, double t, double width, double h) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(controls::twipsRect(l, t, width, h));
    };
    const auto label = [&](QWidget *parent, const char *name, const QString &caption, double l, double t, double w,
                           double h) {
        auto *made = new controls::Label(caption, parent);
        place(made, name, l, t, w, h);
        return made;
    };
    const auto button = [&](QWidget *parent, const char *name, const QString &caption, double l, double t, double w,
                            double h) {
        auto *made = new QPushButton(caption, parent);
        place(made, name, l, t, w, h);
        return made;
    };
    const auto check = [&](QWidget *parent, const char *name, const QString &caption, double l, double t, double w,
                           double h) {
        auto *made = new QCheckBox(caption, parent);
        place(made, name, l, t, w, h);
        return made;
    };

    Frame1 = new QGroupBox(QStringLiteral("Adjust Speed of both slideshow format"), client);
    place(Frame1, "Frame1", 120, 0, 3375, 2415);
    Label1 = label(Frame1, "Label1", QStringLiteral("Delay "), 240, 360, 495, 255);
    Label2 = label(Frame1, "Label2", QString(), DelayLabelLeft, 360, DelayLabelWidth, 255);
    Frame2 = new QGroupBox(Frame1);
    place(Frame2, "Frame2", 240, 720, 2175, 735);
    Text1 = new QLineEdit(Frame2);
    place(Text1, "Text1", 120, 240, 495, 285);
    Command3 = button(Frame2, "Command3", QStringLiteral("+"), 720, 240, 375, 285);
    Command3->setToolTip(QStringLiteral("plus"));
    Command4 = button(Frame2, "Command4", QStringLiteral("-"), 1200, 240, 375, 285);
    Command4->setToolTip(QStringLiteral("Minus"));
    Command5 = button(Frame2, "Command5", QStringLiteral("X"), 1680, 240, 375, 285);
    Command5->setToolTip(QStringLiteral("Reset"));
    Check4 = check(Frame1, "Check4", QStringLiteral("Enabled Loop"), 360, 1560, 1335, 255);
    Command1 = button(Frame1, "Command1", QStringLiteral("&OK"), 1320, 1920, 855, 375);
    Command2 = button(Frame1, "Command2", QStringLiteral("&Cancel"), 2280, 1920, 855, 375);

    Frame6 = new QGroupBox(QStringLiteral("Show Information for Full Screen SlideShow"), client);
    place(Frame6, "Frame6", 120, 2520, 3375, 1575);
    Label4 = label(Frame6, "Label4", QStringLiteral("File's Path"), 120, 360, 1395, 255);
    Label5 = label(Frame6, "Label5", QStringLiteral("File's Size"), 120, 720, 1395, 255);
    Label6 = label(Frame6, "Label6", QStringLiteral("Image Size (In Pixel)"), 120, 1080, 1440, 255);
    // The longest name only just fits before its box in the narrow dialog
    // font; the names are set a little narrower so that it fits in Arial's
    // metrics too.
    for (controls::Label *name : {Label4, Label5, Label6}) {
        QFont narrower = name->font();
        narrower.setStretch(88);
        name->setFont(narrower);
    }
    // The labels to their left name the boxes.
    Check1 = check(Frame6, "Check1", QString(), 1560, 360, 255, 255);
    Check2 = check(Frame6, "Check2", QString(), 1560, 720, 255, 255);
    Check3 = check(Frame6, "Check3", QString(), 1560, 1080, 255, 255);

    connect(Text1, &QLineEdit::textChanged, this, &Form3::Text1_Change);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form3::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form3::Command5_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form3::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Form3::Check2_Click);
    connect(Check3, &QCheckBox::clicked, this, &Form3::Check3_Click);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
}

void Form3::Form_Load()
{
    // 1.
    Check1->setChecked(settings::Read(settings::Locate) == On);
    Check2->setChecked(settings::Read(settings::FileSize) == On);
    Check3->setChecked(settings::Read(settings::ImageSize) == On);
    // 2.
    if (settings::Read(settings::Loop) == On)
        Check4->setChecked(true);
    // 3.
    if (settings::Read(settings::Speed).isEmpty())
        settings::Write(settings::Speed, QStringLiteral("1000"));
    // 4. A stored value that is no number shows the default delay, so that
    // OK replaces it with one the shows can use.
    const QString speed = settings::Read(settings::Speed);
    if (speed == On) {
        Text1->setText(QStringLiteral("0"));
    } else {
        const std::optional<double> ms = delayNumber(speed);
        Text1->setText(delayText(ms ? *ms / 1000 : 1));
    }
    // 5.
    Text1_Change();
}

void Form3::Text1_Change()
{
    const std::optional<double> number = delayNumber(Text1->text());
    // 1.
    if (number && *number == 61)
        Text1->setText(QStringLiteral("60"));
    // 2.
    if (number && *number == -1)
        Text1->setText(QStringLiteral("0"));
    // 3.
    Label2->setCaption(Text1->text() + QStringLiteral(" Second(s)"));
    fitDelayLabel();
}

void Form3::fitDelayLabel()
{
    // As designed, or as wide as the text in the caption font when that is
    // wider ("2.5 Second(s)" is, and any text is in a larger font on a denser
    // screen), up to the frame's margin: nothing lies to its right.
    const int designed = controls::twipsToPixels(DelayLabelWidth);
    const int room = Frame1->width() - controls::twipsToPixels(FrameMargin) - Label2->x();
    Label2->resize(std::clamp(Label2->sizeHint().width(), designed, std::max(designed, room)), Label2->height());
}

double Form3::boxNumber() const
{
    return delayNumber(Text1->text()).value_or(0);
}

void Form3::Command3_Click()
{
    Text1->setText(delayText(boxNumber() + 1));
}

void Form3::Command4_Click()
{
    Text1->setText(delayText(boxNumber() - 1));
}

void Form3::Command5_Click()
{
    Text1->setText(QStringLiteral("1"));
}

void Form3::Check1_Click()
{
    settings::Write(settings::Locate, Check1->isChecked() ? On : Off);
}

void Form3::Check2_Click()
{
    settings::Write(settings::FileSize, Check2->isChecked() ? On : Off);
}

void Form3::Check3_Click()
{
    settings::Write(settings::ImageSize, Check3->isChecked() ? On : Off);
}

void Form3::Command1_Click()
{
    // 1.
    settings::Write(settings::Loop, Check4->isChecked() ? On : Off);
    // 2. Stored as whole milliseconds, as the shows use it, so that every
    // later read of "Speed" understands it whatever the locale.
    if (const std::optional<qint32> ms = delayMilliseconds(Text1->text())) {
        settings::Write(settings::Speed, QString::number(*ms));
        if (app::Form1 *main = app::Form1::instance())
            main->cuspeed = *ms;
    }
    // 3.
    Unload();
}

void Form3::Command2_Click()
{
    Unload();
}

} // namespace slideshow
