// The pointer and the physical buttons and modifiers at the moment of the call.
#include "gui/platform/Input.h"

#include <windows.h>

namespace platform {
namespace {
bool down(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }
}  // namespace

CPos getPointerScreenPosition() {
    POINT p{};
    GetCursorPos(&p);
    return CPos(p.x, p.y);
}

// GetAsyncKeyState reports the physical mouse buttons, before the user's swap.
PhysicalButtons getPhysicalButtons() {
    PhysicalButtons b;
    b.left = down(VK_LBUTTON);
    b.middle = down(VK_MBUTTON);
    b.right = down(VK_RBUTTON);
    b.shift = down(VK_SHIFT);
    b.control = down(VK_CONTROL);
    b.alt = down(VK_MENU);
    return b;
}

}  // namespace platform
