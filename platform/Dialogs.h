#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

class QWidget;

// The modal boxes the viewer asks the user with: message box, input box and
// colour chooser. Handlers reach them through dialogs(); tests put a
// recording double in place with setDialogs().
namespace platform {

// Buttons and icon of a message box, combined as the Windows API combines them.
namespace MsgStyle {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int ButtonsMask = 0x0F;
inline constexpr int IconMask = 0xF0;
} // namespace MsgStyle

// The button the user pressed.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The caption of a box shown without one of its own.
inline const QString ApplicationTitle = QStringLiteral("Lumadex Viewer 3.01");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box; an empty caption shows the application title.
    virtual MsgResult MsgBox(const QString &prompt, int style = MsgStyle::OKOnly, const QString &caption = QString()) = 0;
    // A modal text prompt; no value when the user cancelled.
    virtual std::optional<QString> InputBox(const QString &prompt, const QString &caption = QString(),
                                            const QString &defaultText = QString()) = 0;
    // The colour chooser, as a 0x00BBGGRR value; no value when cancelled.
    virtual std::optional<qint32> ChooseColor(QWidget *owner, qint32 initial) = 0;
};

Dialogs &dialogs();
// Replaces the boxes (the program installs the Qt ones; tests a double).
void setDialogs(std::unique_ptr<Dialogs> boxes);

// The boxes drawn with Qt's own dialogs.
std::unique_ptr<Dialogs> makeQtDialogs();

} // namespace platform
