#include "gui/platform/Clock.h"

#include <windows.h>

namespace platform {

std::uint32_t getTicks() { return GetTickCount(); }
void sleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
