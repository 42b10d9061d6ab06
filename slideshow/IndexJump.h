#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// "Jump to Index" of both shows: the typed position, checked against the
// list, and the boxes that ask for it and say what was wrong with it.
namespace slideshow {

// The texts the out-of-range message starts with, before the entry count.
inline const QString WindowRangeText = QStringLiteral("Index should be between 1 and ");
inline const QString FullScreenRangeText = QStringLiteral(" Index should be between 1 and ");

// What an answer to the prompt asks for in a list of `count` entries.
struct JumpAnswer {
    enum class Kind {
        NotANumber, // empty, cancelled, no number, or beyond 32 bits
        OutOfRange, // a number, but not a position of the list
        Index,      // `index` is the 0-based entry to show
    };
    Kind kind = Kind::NotANumber;
    qint32 index = -1;
};
// The answer (none when the box was cancelled) as the user's locale writes
// numbers; a fraction is rounded to the nearest position, ties to even. The
// conversion is 32-bit, so every position of a list is reachable.
JumpAnswer readJumpAnswer(const std::optional<QString> &answer, qint32 count, const QLocale &locale = QLocale());

// Asks for the position with the input box. Returns the entry to show, or
// nothing after the message saying why not; the range message is
// `rangeText` followed by the count.
std::optional<qint32> askJumpIndex(const QString &rangeText, qint32 count);

} // namespace slideshow
