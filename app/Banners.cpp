#include "app/Banners.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace app {

namespace {

const QColor kLightBlue(120, 190, 255);

// The largest bold font of the application's family, from `largest` pixels
// down to 6, whose text fits `box`. A text's extent grows about in
// proportion to the font's size, so the size its extent at `largest`
// suggests is tried first and the search steps from there: two or three
// sizes are measured instead of one after another from the top, and every
// size measured loads a font of its own (this runs before the first paint).
QFont fittingFont(const QString &text, const QSizeF &box, int largest)
{
    constexpr int Smallest = 6;
    QFont font;
    font.setBold(true);
    const auto extent = [&](int size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        return QSizeF(metrics.horizontalAdvance(text), metrics.height());
    };
    const auto fits = [&](int size) {
        const QSizeF e = extent(size);
        return e.width() <= box.width() && e.height() <= box.height();
    };
    const QSizeF atLargest = extent(largest);
    int size = largest;
    if (atLargest.width() > box.width() || atLargest.height() > box.height()) {
        const double scale = std::min(box.width() / atLargest.width(), box.height() / atLargest.height());
        size = std::clamp(int(largest * scale), Smallest, std::max(Smallest, largest - 1));
        if (fits(size)) {
            while (size + 1 < largest && fits(size + 1))
                ++size;
        } else {
            while (size > Smallest && !fits(size))
                --size;
        }
    }
    font.setPixelSize(size);
    return font;
}

// An image of `size` logical pixels at `devicePixelRatio`; a painter on it
// draws in logical pixels.
QImage blankImage(QSize size, qreal devicePixelRatio)
{
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QImage drawOnBlack(QSize size, const QString &text, int largestFont, qreal devicePixelRatio)
{
    QImage image = blankImage(size, devicePixelRatio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kLightBlue);
    painter.setFont(fittingFont(text, QSizeF(size) - QSizeF(8, 4), largestFont));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    return image;
}

} // namespace

QImage drawNotice(const QString &text, qreal devicePixelRatio)
{
    return drawOnBlack(QSize(193, 33), text, 18, devicePixelRatio);
}

QImage drawNameBanner(qreal devicePixelRatio)
{
    return drawOnBlack(QSize(144, 30), QStringLiteral("Lumadex Viewer"), 17, devicePixelRatio);
}

QImage drawStartUpPicture(qreal devicePixelRatio, const QString &subtitle)
{
    const QSize size(352, 89);
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(8, 20, 48));
    sky.setColorAt(1, QColor(24, 64, 120));
    painter.fillRect(QRect(QPoint(0, 0), size), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    // A few overlapping frames, as of pictures laid on a table.
    const QColor frames[] = {QColor(255, 196, 64), QColor(96, 200, 120), QColor(120, 190, 255)};
    for (int i = 0; i < 3; ++i) {
        painter.save();
        painter.translate(40 + i * 14, 46);
        painter.rotate(-18 + i * 16);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(frames[i]);
        painter.drawRoundedRect(QRectF(-20, -15, 40, 30), 3, 3);
        painter.restore();
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kLightBlue);
    painter.setFont(fittingFont(QStringLiteral("Lumadex Viewer 3.01"), QSizeF(240, 40), 30));
    painter.drawText(QRect(100, 10, 245, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumadex Viewer 3.01"));
    painter.setPen(QColor(210, 225, 240));
    QFont small;
    small.setPixelSize(12);
    painter.setFont(small);
    painter.drawText(QRect(100, 54, 245, 24), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return image;
}

namespace {

constexpr char BakedMagic[8] = {'L', 'D', 'X', 'P', 'I', 'C', '1', '\n'};
constexpr int BakedHeader = 16; // the magic, then width and height (32 bits, little-endian)

// The picture the build drew as `name` at `devicePixelRatio`, or a null image.
QImage baked(const QString &name, qreal devicePixelRatio)
{
    const int ratio = int(devicePixelRatio);
    if (ratio != devicePixelRatio || ratio < 1)
        return {};
    QFile file(QStringLiteral(":/baked/%1@%2.raw").arg(name).arg(ratio));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBakedBytes(file.readAll(), devicePixelRatio);
}

QImage bakedOrDrawn(const BakedPicture &picture, qreal devicePixelRatio)
{
    QImage kept = baked(picture.name, devicePixelRatio);
    return kept.isNull() ? picture.draw(devicePixelRatio) : kept;
}

// The entry of the table named `name`, which the table holds.
const BakedPicture &bakedPicture(QLatin1StringView name)
{
    const QList<BakedPicture> &pictures = bakedPictures();
    return *std::find_if(pictures.cbegin(), pictures.cend(), [name](const BakedPicture &p) { return p.name == name; });
}

} // namespace

const QList<BakedPicture> &bakedPictures()
{
    static const QList<BakedPicture> pictures = {
        {QStringLiteral("startup"), {}, [](qreal ratio) { return drawStartUpPicture(ratio); }},
        {QStringLiteral("name-banner"), {}, [](qreal ratio) { return drawNameBanner(ratio); }},
        {QStringLiteral("notice-please-wait"), PleaseWait, [](qreal ratio) { return drawNotice(PleaseWait, ratio); }},
        {QStringLiteral("notice-please-select-a-file"), PleaseSelectAFile,
         [](qreal ratio) { return drawNotice(PleaseSelectAFile, ratio); }},
        {QStringLiteral("notice-process-completed"), ProcessCompleted,
         [](qreal ratio) { return drawNotice(ProcessCompleted, ratio); }},
        {QStringLiteral("notice-error-occur"), ErrorOccur, [](qreal ratio) { return drawNotice(ErrorOccur, ratio); }},
    };
    return pictures;
}

QByteArray bakedBytes(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes(BakedMagic, sizeof BakedMagic);
    for (const quint32 side : {quint32(pixels.width()), quint32(pixels.height())})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((side >> shift) & 0xFF));
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), pixels.width() * 4);
    return bytes;
}

QImage fromBakedBytes(const QByteArray &bytes, qreal devicePixelRatio)
{
    if (bytes.size() < BakedHeader || !bytes.startsWith(QByteArrayView(BakedMagic, sizeof BakedMagic)))
        return {};
    const auto side = [&bytes](int at) {
        quint32 value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | quint8(bytes[at + i]);
        return value;
    };
    const quint32 width = side(8), height = side(12);
    // Far above any picture the build draws; keeps the size sum in range.
    if (width == 0 || height == 0 || width > 4096 || height > 4096
        || qint64(bytes.size()) != BakedHeader + qint64(width) * height * 4)
        return {};
    QImage picture(int(width), int(height), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(picture.scanLine(y), bytes.constData() + BakedHeader + qsizetype(y) * width * 4, width * 4);
    picture.setDevicePixelRatio(devicePixelRatio);
    return picture;
}

QImage startUpPicture(qreal devicePixelRatio)
{
    return bakedOrDrawn(bakedPicture(QLatin1StringView("startup")), devicePixelRatio);
}

QImage nameBanner(qreal devicePixelRatio)
{
    return bakedOrDrawn(bakedPicture(QLatin1StringView("name-banner")), devicePixelRatio);
}

QImage notice(const QString &text, qreal devicePixelRatio)
{
    for (const BakedPicture &known : bakedPictures())
        if (!known.noticeText.isEmpty() && known.noticeText == text)
            return bakedOrDrawn(known, devicePixelRatio);
    return drawNotice(text, devicePixelRatio);
}

} // namespace app
