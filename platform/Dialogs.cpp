#include "platform/Dialogs.h"

#include "platform/SystemColors.h"

#include <QApplication>
#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace platform {

namespace {

std::unique_ptr<Dialogs> &current()
{
    static std::unique_ptr<Dialogs> boxes;
    return boxes;
}

class QtDialogs final : public Dialogs {
public:
    MsgResult MsgBox(const QString &prompt, int style, const QString &caption) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption.isEmpty() ? ApplicationTitle : caption);
        box.setText(prompt);
        switch (style & MsgStyle::IconMask) {
        case MsgStyle::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgStyle::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgStyle::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgStyle::Information:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        switch (style & MsgStyle::ButtonsMask) {
        case MsgStyle::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgStyle::AbortRetryIgnore:
            box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            break;
        case MsgStyle::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MsgStyle::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgStyle::RetryCancel:
            box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        }
        box.exec();
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        case QMessageBox::Abort:
            return MsgResult::Abort;
        case QMessageBox::Retry:
            return MsgResult::Retry;
        case QMessageBox::Ignore:
            return MsgResult::Ignore;
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Ok:
            return MsgResult::OK;
        default:
            // Closed with the close box or Escape: the cancelling answer.
            return (style & MsgStyle::ButtonsMask) == MsgStyle::OKOnly ? MsgResult::OK : MsgResult::Cancel;
        }
    }

    std::optional<QString> InputBox(const QString &prompt, const QString &caption, const QString &defaultText) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(),
                                                   caption.isEmpty() ? ApplicationTitle : caption, prompt,
                                                   QLineEdit::Normal, defaultText, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

    std::optional<qint32> ChooseColor(QWidget *owner, qint32 initial) override
    {
        // The 16 custom colours start black on every use and are not kept.
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, Qt::black);
        auto dialog = std::make_unique<QColorDialog>(resolveColor(initial), owner);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        const QColor chosen = dialog->selectedColor();
        destroyKeepingNoCustomColours(std::move(dialog));
        if (!accepted || !chosen.isValid())
            return std::nullopt;
        return rgbValue(chosen);
    }

private:
    // Qt writes the custom colours to QtProject.conf in the user's
    // configuration folder when a colour dialog goes after they changed, even
    // on Cancel; that write goes to a scratch folder, removed at once.
    static void destroyKeepingNoCustomColours(std::unique_ptr<QColorDialog> dialog)
    {
        const QTemporaryDir scratch;
        const QString configuration = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, scratch.path());
        dialog.reset();
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, configuration);
    }
};

} // namespace

Dialogs &dialogs()
{
    if (!current())
        current() = makeQtDialogs();
    return *current();
}

void setDialogs(std::unique_ptr<Dialogs> boxes)
{
    current() = std::move(boxes);
}

std::unique_ptr<Dialogs> makeQtDialogs()
{
    return std::make_unique<QtDialogs>();
}

} // namespace platform
