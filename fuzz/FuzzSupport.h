#pragma once

// Shared set-up of the libFuzzer targets.
#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzzing {

// A GUI application on the offscreen platform: QImage, QPainter and fonts
// need one, and no display is at hand.
inline void startQt(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
}

// The fuzzer's input without a copy.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace fuzzing
