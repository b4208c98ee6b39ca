// What MIDI controllers and the joystick move: the engine, which applies the value and
// queues the change for the format's binding to report.
#pragma once

#include <cstdint>

class ParameterTarget {
public:
    virtual void setParameterAndNotify(std::int32_t index, float value) = 0;

protected:
    ~ParameterTarget() = default;
};
