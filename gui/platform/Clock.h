// Milliseconds for double-click timing.
#pragma once

#include <cstdint>

namespace platform {

// Wraps around like the system's tick count.
std::uint32_t getTicks();

}  // namespace platform
