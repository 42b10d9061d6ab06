#include "app/Runtime.h"

#include "platform/SingleInstance.h"

#include <cstdio>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

void configureMemory()
{
#if defined(__GLIBC__)
    constexpr int KeptBelow = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, KeptBelow);
    mallopt(M_TRIM_THRESHOLD, KeptBelow);
#endif
}

} // namespace app
