#include "gui/platform/DoubleClickTime.h"

#include <windows.h>

namespace platform {

std::int32_t getDoubleClickTime() { return std::int32_t(GetDoubleClickTime()); }

}  // namespace platform
