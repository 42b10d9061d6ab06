#pragma once

// Shared by the libFuzzer targets (those built with StartQt.cpp have a Qt
// application running).
#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// The fuzzer's input without a copy.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace fuzzing
