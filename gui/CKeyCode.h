// A key as the host hands it to the editor: the character, a virtual key code and the
// modifier bits. Same layout as the host interface's key record.
#pragma once

#include <cstdint>

struct CKeyCode {
    std::int32_t character = 0;
    std::uint8_t virt = 0;
    std::uint8_t modifier = 0;
};

enum : std::uint8_t { kVirtualKeyTab = 2 };
enum : std::uint8_t { kModifierShift = 1, kModifierAlternate = 2, kModifierCommand = 4, kModifierControl = 8 };
