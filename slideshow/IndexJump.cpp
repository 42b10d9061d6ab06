#include "slideshow/IndexJump.h"

#include "controls/Convert.h"
#include "platform/Dialogs.h"

namespace slideshow {

JumpAnswer readJumpAnswer(const std::optional<QString> &answer, qint32 count, const QLocale &locale)
{
    const std::optional<qint32> number = answer ? controls::CLng(*answer, locale) : std::nullopt;
    if (!number)
        return {};
    if (*number > count || *number < 1)
        return {JumpAnswer::Kind::OutOfRange};
    return {JumpAnswer::Kind::Index, *number - 1};
}

std::optional<qint32> askJumpIndex(const QString &rangeText, qint32 count)
{
    // 1.
    const std::optional<QString> typed = platform::dialogs().InputBox(
        QStringLiteral("Please type the index from where the slideshow start"), QStringLiteral("Lumadex Viewer"));
    // 2.
    const JumpAnswer answer = readJumpAnswer(typed, count);
    switch (answer.kind) {
    case JumpAnswer::Kind::OutOfRange:
        // 3.
        platform::dialogs().MsgBox(rangeText + QString::number(count));
        return std::nullopt;
    case JumpAnswer::Kind::NotANumber:
        // 5.
        platform::dialogs().MsgBox(QStringLiteral(" Please type the index number"));
        return std::nullopt;
    case JumpAnswer::Kind::Index:
        break;
    }
    // 4. is the caller's: the show's position and its display step.
    return answer.index;
}

} // namespace slideshow
