#include "app/Runtime.h"

#include "platform/SingleInstance.h"

#include <cstdio>
#include <unistd.h>

namespace app {

namespace {

std::function<void()> &endHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void End()
{
    if (endHandler()) {
        endHandler()();
        return;
    }
    platform::releaseInstanceLock();
    std::fflush(nullptr);
    ::_exit(0);
}

void setEndHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}

} // namespace app
