#pragma once

#include "platform/Tray.h"

#include <QList>

// A notification area that records what the program asks of it.
class FakeTray final : public platform::Tray {
public:
    struct Call {
        quint32 message;
        QByteArray record;
    };

    bool available = true;
    QList<Call> calls;
    bool shown = false;

    bool isAvailable() const override { return available; }
    bool notifyIcon(quint32 message, const platform::NotifyIconData &data) override
    {
        calls.append({message, data.toBytes()});
        if (!available)
            return false;
        if (message == platform::NIM_ADD && !shown)
            return shown = true;
        if (message == platform::NIM_DELETE && shown)
            return !(shown = false);
        return false;
    }
    bool isIconShown() const override { return shown; }
};
