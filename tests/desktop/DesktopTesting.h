#pragma once

#include "app/Form1.h"
#include "controls/FileListBox.h"
#include "platform/Wallpaper.h"

#include <QImage>
#include <QList>
#include <QString>

#include <cstring>

// Records what would have been handed to the desktop as its background.
class RecordingWallpaper final : public platform::Wallpaper {
public:
    struct Call {
        QString hostPath;
        platform::WallpaperStyle style;
    };
    QList<Call> calls;

    bool setDesktopWallpaper(const QString &hostPath, platform::WallpaperStyle style) override
    {
        calls.append({hostPath, style});
        return true;
    }
};

// Same size and the same colour in every pixel (colour spaces aside).
inline bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row)
        if (std::memcmp(x.constScanLine(row), y.constScanLine(row), size_t(x.width()) * 4) != 0)
            return false;
    return true;
}

// A picture whose every pixel differs from its neighbours, so a shifted,
// scaled or flipped copy does not compare equal.
inline QImage patternImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255));
    return image;
}

// Selects the entry named `name` of the main window's file list, which loads it.
inline bool chooseFile(app::Form1 &main, const QString &name)
{
    const int count = main.File1->ListCount();
    for (int index = 0; index < count; ++index) {
        if (main.File1->List(index) != name)
            continue;
        main.File1->setListIndex(index);
        return true;
    }
    return false;
}
