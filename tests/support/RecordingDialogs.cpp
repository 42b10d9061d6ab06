#include "tests/support/RecordingDialogs.h"

namespace testsupport {

platform::MsgResult RecordingDialogs::MsgBox(const QString &prompt, int style, const QString &caption)
{
    shown.append({Shown::Kind::Message, prompt, caption, style});
    if (messageAnswers.empty())
        return platform::MsgResult::OK;
    const auto answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<QString> RecordingDialogs::InputBox(const QString &prompt, const QString &caption, const QString &)
{
    shown.append({Shown::Kind::Input, prompt, caption, 0});
    if (inputAnswers.empty())
        return std::nullopt;
    const auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<qint32> RecordingDialogs::ChooseColor(QWidget *, qint32)
{
    shown.append({Shown::Kind::Color, {}, {}, 0});
    if (colorAnswers.empty())
        return std::nullopt;
    const auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

RecordingDialogs &installRecordingDialogs()
{
    auto boxes = std::make_unique<RecordingDialogs>();
    RecordingDialogs &ref = *boxes;
    platform::setDialogs(std::move(boxes));
    return ref;
}

} // namespace testsupport
