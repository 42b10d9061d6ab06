#pragma once

#include "platform/FolderChooser.h"

#include <QList>
#include <QString>

#include <deque>

namespace testsupport {

// Answers BrowseForFolder from a script (a cancel, the empty text, once the
// script runs out) and records each call's owner and title.
class ScriptedFolderChooser final : public platform::FolderChooser {
public:
    struct Call {
        QWidget *owner = nullptr;
        QString title;
    };

    QString BrowseForFolder(QWidget *owner, const QString &title) override
    {
        calls.append({owner, title});
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QList<Call> calls;
    std::deque<QString> answers;
};

// Installs a fresh ScriptedFolderChooser as the program's chooser and returns it.
inline ScriptedFolderChooser &installScriptedFolderChooser()
{
    auto instance = std::make_unique<ScriptedFolderChooser>();
    ScriptedFolderChooser &ref = *instance;
    platform::setFolderChooser(std::move(instance));
    return ref;
}

} // namespace testsupport
