#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace platform {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == c)
            return char(0x80 + i);
    return std::nullopt;
}

} // namespace

CodePage ansiCodePage()
{
    return CodePage::Utf8;
}

std::optional<QByteArray> encode(CodePage codePage, QStringView text)
{
    if (codePage == CodePage::Windows1252) {
        QByteArray bytes;
        bytes.reserve(text.size());
        for (QChar c : text) {
            const std::optional<char> byte = windows1252Byte(c.unicode());
            if (!byte)
                return std::nullopt;
            bytes.append(*byte);
        }
        return bytes;
    }
    // Only an unpaired surrogate has no UTF-8 form.
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::optional<QString> decode(CodePage codePage, QByteArrayView bytes)
{
    if (codePage == CodePage::Windows1252) {
        QString text;
        text.reserve(bytes.size());
        for (char byte : bytes) {
            const auto b = static_cast<unsigned char>(byte);
            text.append(QChar(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char16_t(b)));
        }
        return text;
    }
    // Qt's decoder refuses overlong forms, encoded surrogates and code points
    // past U+10FFFF as well as truncated sequences.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace platform
