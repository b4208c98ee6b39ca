#include "gui/platform/DoubleClickTime.h"

namespace platform {

// X11 itself has no such setting; each desktop keeps its own. 400 ms is what the common
// desktops and the toolkits without one use.
std::int32_t getDoubleClickTime() { return 400; }

}  // namespace platform
