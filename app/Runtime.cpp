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
    // One pool for every thread: each decode worker would otherwise keep a
    // pool of its own, each holding freed pictures of its own, and a looping
    // show grew by 16 MB over its first 10,000 pictures before it levelled
    // off. The workers allocate a few large blocks a picture, so sharing
    // costs them no measurable time.
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace app
