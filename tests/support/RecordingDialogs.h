#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>

#include <deque>

namespace testsupport {

// Records every box the code under test shows and answers from a script.
// Without a scripted answer a message box answers OK, an input box and the
// colour chooser answer "cancelled".
class RecordingDialogs final : public platform::Dialogs {
public:
    struct Shown {
        enum class Kind { Message, Input, Color } kind;
        QString text;    // prompt
        QString caption; // as passed (empty: the application title is shown)
        int style = 0;   // buttons + icon
        int buttons() const { return style & platform::MsgStyle::ButtonsMask; }
        int icon() const { return style & platform::MsgStyle::IconMask; }
        QString shownCaption() const { return caption.isEmpty() ? platform::ApplicationTitle : caption; }
    };

    platform::MsgResult MsgBox(const QString &prompt, int style, const QString &caption) override;
    std::optional<QString> InputBox(const QString &prompt, const QString &caption, const QString &defaultText) override;
    std::optional<qint32> ChooseColor(QWidget *owner, qint32 initial) override;

    QList<Shown> shown;
    std::deque<platform::MsgResult> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<qint32>> colorAnswers;
};

// Installs a fresh RecordingDialogs as the program's boxes and returns it.
RecordingDialogs &installRecordingDialogs();

} // namespace testsupport
