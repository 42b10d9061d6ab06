#pragma once

#include <QImage>
#include <QString>

// The small bitmaps the viewer draws for itself instead of shipping them.
// Each is drawn at `devicePixelRatio` device pixels to a pixel of its size
// (the ratio of the screen it is shown on, so that it stays sharp there) and
// carries that ratio.
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

} // namespace app
