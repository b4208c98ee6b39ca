// Milliseconds for the idle pump and double-click timing.
#pragma once

#include <cstdint>

namespace platform {

// Wraps around like the system's tick count.
std::uint32_t getTicks();
void sleepMilliseconds(std::uint32_t milliseconds);

}  // namespace platform
