// The first joystick of the system through the multimedia joystick query.
#include "plugin/platform/Joystick.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

class WindowsJoystick : public JoystickDevice {
public:
    bool read(JoystickPosition& position) override {
        JOYINFOEX info{};
        info.dwSize = sizeof info;
        info.dwFlags = JOY_RETURNALL;
        if (joyGetPosEx(JOYSTICKID1, &info) != JOYERR_NOERROR) return false;
        position.x = info.dwXpos;
        position.y = info.dwYpos;
        position.z = info.dwZpos;
        position.r = info.dwRpos;
        return true;
    }
};

static_assert(JOY_RETURNALL == 255, "all fields requested");

}  // namespace

std::unique_ptr<JoystickDevice> openSystemJoystick() {
    return std::unique_ptr<JoystickDevice>(new WindowsJoystick());
}
