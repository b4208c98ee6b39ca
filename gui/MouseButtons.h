// The mouse-button and modifier bit set passed between views, controls, surfaces and
// the frame. -1 means "not read yet": the receiver reads it from its surface.
#pragma once

#include <cstdint>

using CButtonState = std::int32_t;

enum : CButtonState {
    kMouseLeft = 1,
    kMouseMiddle = 2,
    kMouseRight = 4,
    kKeyShift = 8,
    kKeyControl = 16,
    kKeyAlt = 32,
};

inline constexpr CButtonState kButtonsUnread = -1;
