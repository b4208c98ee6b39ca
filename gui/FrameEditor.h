// What the frame needs from the editor that made it: gesture notices towards the host,
// the idle pump for mouse-tracking loops and a millisecond clock. The editor layer
// implements this, so the toolkit never sees the host interface.
#pragma once

#include <cstdint>

class FrameEditor {
public:
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    virtual void pumpIdle() = 0;
    virtual std::uint32_t getTicks() = 0;

protected:
    ~FrameEditor() = default;
};
