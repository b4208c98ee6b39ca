// What MIDI controllers and the joystick move: a parameter set as if by the user, so that
// whoever shows or records it learns of the change.
#pragma once

#include <cstdint>

class ParameterTarget {
public:
    virtual void setParameterAndNotify(std::int32_t index, float value) = 0;

protected:
    ~ParameterTarget() = default;
};
