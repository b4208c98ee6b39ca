#include "gui/platform/Clock.h"

#include <windows.h>

namespace platform {

std::uint32_t getTicks() { return GetTickCount(); }

}  // namespace platform
