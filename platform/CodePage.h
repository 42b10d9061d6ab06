#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The 8-bit ("ANSI") code pages the viewer's own text files are read and
// written in. Conversions never substitute: a character a code page has no
// byte for, or bytes that are not valid in it, give no value, so a caller
// can refuse instead of storing a "?" in place of a letter.
namespace platform {

enum class CodePage {
    Utf8,        // systems whose locale is UTF-8
    Windows1252, // Western Windows; also how files written there are read
};

// The system's 8-bit code page, the one the registry's narrow calls use too:
// Qt's local 8-bit encoding, which is UTF-8 on this platform.
CodePage ansiCodePage();

std::optional<QByteArray> encode(CodePage codePage, QStringView text);
// Windows-1252 decodes every byte (the five it leaves undefined become the
// control characters U+0081, U+008D, U+008F, U+0090, U+009D, as Windows
// reads them), so only UTF-8 can fail. A byte order mark is kept as U+FEFF.
std::optional<QString> decode(CodePage codePage, QByteArrayView bytes);

} // namespace platform
