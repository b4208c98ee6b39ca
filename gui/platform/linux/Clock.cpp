#include "gui/platform/Clock.h"

#include <cerrno>
#include <time.h>

namespace platform {

std::uint32_t getTicks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

void sleepMilliseconds(std::uint32_t milliseconds) {
    timespec wait{time_t(milliseconds / 1000u), long(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&wait, &wait) == -1 && errno == EINTR) {
    }
}

}  // namespace platform
