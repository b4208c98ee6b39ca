// What a drawing surface needs from the frame it belongs to: the frame's view
// rectangle (the initial clip), its window (for offscreen buffers) and its scale, the
// device pixels per panel unit. The frame implements this.
#pragma once

#include "gui/CGeometry.h"

namespace platform {
class Window;
}

class SurfaceFrame {
public:
    virtual CBounds getSurfaceBounds() const = 0;
    // None while the frame has no window.
    virtual platform::Window* getSurfaceWindow() const = 0;
    virtual double getSurfaceScale() const { return 1.0; }

protected:
    ~SurfaceFrame() = default;
};
