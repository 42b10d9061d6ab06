#pragma once

#include "platform/ShellExecute.h"

#include <QList>
#include <QString>

namespace testsupport {

// Records every ShellExecute request instead of starting a program.
class RecordingShell final : public platform::Shell {
public:
    struct Request {
        QString operation;
        QString file;
        QString parameters;
        QString directory;
        int showCmd = 0;
    };

    bool ShellExecute(QWidget *, const QString &operation, const QString &file, const QString &parameters,
                      const QString &directory, int showCmd) override
    {
        requests.append({operation, file, parameters, directory, showCmd});
        return answer;
    }

    QList<Request> requests;
    bool answer = true;
};

// Installs a fresh RecordingShell as the program's shell and returns it.
inline RecordingShell &installRecordingShell()
{
    auto instance = std::make_unique<RecordingShell>();
    RecordingShell &ref = *instance;
    platform::setShell(std::move(instance));
    return ref;
}

} // namespace testsupport
