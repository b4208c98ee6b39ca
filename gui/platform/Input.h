// The pointer and the physical buttons and modifier keys, read at the moment of the
// call (not from queued messages), for what comes without them (the wheel, drops).
#pragma once

#include "gui/CGeometry.h"

namespace platform {

struct PhysicalButtons {
    bool left = false;  // physical, before the user's left/right swap
    bool middle = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

CPos getPointerScreenPosition();
PhysicalButtons getPhysicalButtons();

}  // namespace platform
