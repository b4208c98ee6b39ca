// The kernel joystick interface (/dev/input/jsN): the device is opened when first read,
// its events keep the axis positions current, and a vanished device is opened again later.
#pragma once

#include <string>

#include "plugin/platform/Joystick.h"

class LinuxJoystick : public JoystickDevice {
public:
    explicit LinuxJoystick(std::string devicePath);
    ~LinuxJoystick() override;

    bool read(JoystickPosition& position) override;

private:
    bool openDevice();
    void closeDevice();

    std::string path;
    int fd = -1;
    // For each of the device's axes, which of x, y, z, r it drives (-1: none).
    signed char axisTarget[64];
    std::uint32_t axes[4] = {32767, 32767, 32767, 32767};
};
