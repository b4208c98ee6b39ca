// The user's double-click interval.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds.
std::int32_t getDoubleClickTime();

}  // namespace platform
