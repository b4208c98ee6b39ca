// What drawing surfaces need from a platform window: its device context and where it
// sits on screen. The frame's window grows out of this.
#pragma once

#include <memory>

#include "gui/CGeometry.h"
#include "gui/platform/DeviceContext.h"

namespace platform {

class Window {
public:
    virtual ~Window() = default;
    // The window's device context, handed back when the returned object is destroyed.
    virtual std::unique_ptr<DeviceContext> acquireContext() = 0;
    virtual CPos getScreenTopLeft() const = 0;
};

}  // namespace platform
