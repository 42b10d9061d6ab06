#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The small bitmaps the viewer draws for itself instead of shipping
// pictures made elsewhere. Each is drawn at `devicePixelRatio` device pixels
// to a pixel of its size (the ratio of the screen it is shown on, so that it
// stays sharp there) and carries that ratio. The build draws the ones a
// start shows once more, at the usual ratios (below).
namespace app {

// A status notice: light-blue text on black, 193 × 33 pixels.
QImage drawNotice(const QString &text, qreal devicePixelRatio = 1);
inline const QString PleaseWait = QStringLiteral("Please Wait...");
inline const QString PleaseSelectAFile = QStringLiteral("Please Select A File");
inline const QString ProcessCompleted = QStringLiteral("Process Completed");
inline const QString ErrorOccur = QStringLiteral("Error Occur");

// The product name in light-blue letters on black, 144 × 30 pixels.
QImage drawNameBanner(qreal devicePixelRatio = 1);

// The start-up picture, 352 × 89 pixels, with a line under the name (the
// About window says what the viewer is instead).
QImage drawStartUpPicture(qreal devicePixelRatio = 1, const QString &subtitle = QStringLiteral("Loading pictures..."));

// The same pictures as the start shows them: the ones the build drew
// (tools/banners) when there is one for `devicePixelRatio`, else drawn now.
// Drawing one loads a font at each size its text is fitted at, which a
// start would otherwise wait for.
QImage startUpPicture(qreal devicePixelRatio);
QImage nameBanner(qreal devicePixelRatio);
QImage notice(const QString &text, qreal devicePixelRatio);

// What the build draws: each picture's file name (without the ratio), the
// text of a notice, and how to draw it.
struct BakedPicture {
    QString name;
    QString noticeText;
    QImage (*draw)(qreal devicePixelRatio);
};
const QList<BakedPicture> &bakedPictures();

// A drawn picture as the build keeps it: a short header and its pixels as
// they lie in memory. fromBakedBytes() gives a null image for bytes that are
// not such a picture at `devicePixelRatio`.
QByteArray bakedBytes(const QImage &picture);
QImage fromBakedBytes(const QByteArray &bytes, qreal devicePixelRatio);

} // namespace app
