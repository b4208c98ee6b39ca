#include "plugin/platform/linux/LinuxJoystick.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

LinuxJoystick::LinuxJoystick(std::string devicePath) : path(std::move(devicePath)) {
    std::memset(axisTarget, -1, sizeof axisTarget);
}

LinuxJoystick::~LinuxJoystick() { closeDevice(); }

bool LinuxJoystick::openDevice() {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    std::memset(axisTarget, -1, sizeof axisTarget);
    __u8 codes[ABS_CNT];
    if (ioctl(fd, JSIOCGAXMAP, codes) >= 0) {
        // Sticks report their axes by kind; take X, Y, Z (or throttle) and the rudder (or RZ).
        int target[ABS_CNT];
        std::memset(target, -1, sizeof target);
        target[ABS_X] = 0;
        target[ABS_Y] = 1;
        target[ABS_THROTTLE] = 2;
        target[ABS_Z] = 2;
        target[ABS_RZ] = 3;
        target[ABS_RUDDER] = 3;
        for (int axis = 0; axis < 64; ++axis)
            axisTarget[axis] = static_cast<signed char>(codes[axis] < ABS_CNT ? target[codes[axis]] : -1);
    } else {
        for (int axis = 0; axis < 4; ++axis) axisTarget[axis] = static_cast<signed char>(axis);
    }
    return true;
}

void LinuxJoystick::closeDevice() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

bool LinuxJoystick::read(JoystickPosition& position) {
    if (fd < 0 && !openDevice()) return false;
    js_event events[32];
    for (;;) {
        const ssize_t got = ::read(fd, events, sizeof events);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (got <= 0) {  // unplugged (ENODEV) or the end of the stream
            closeDevice();
            return false;
        }
        const int count = static_cast<int>(got / static_cast<ssize_t>(sizeof(js_event)));
        for (int i = 0; i < count; ++i) {
            const js_event& e = events[i];
            if ((e.type & ~JS_EVENT_INIT) != JS_EVENT_AXIS || e.number >= 64) continue;
            const int target = axisTarget[e.number];
            if (target >= 0) axes[target] = static_cast<std::uint32_t>(e.value + 32768);
        }
        if (got < static_cast<ssize_t>(sizeof events)) break;
    }
    position.x = axes[0];
    position.y = axes[1];
    position.z = axes[2];
    position.r = axes[3];
    return true;
}

std::unique_ptr<JoystickDevice> openSystemJoystick() {
    return std::unique_ptr<JoystickDevice>(new LinuxJoystick("/dev/input/js0"));
}
