// A joystick that reports a position the test sets, and counts the reads.
#pragma once

#include "plugin/ControllerMapping.h"

class FakeJoystick : public JoystickDevice {
public:
    bool read(JoystickPosition& p) override {
        ++reads;
        if (!present) return false;
        p = position;
        return true;
    }
    bool present = true;
    JoystickPosition position;
    int reads = 0;
};
