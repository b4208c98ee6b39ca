// What the frame needs from the editor that made it: gesture notices towards the host
// and a millisecond clock. The editor layer
// implements this, so the toolkit never sees the host interface.
#pragma once

#include <cstdint>

class FrameEditor {
public:
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    virtual std::uint32_t getTicks() = 0;

protected:
    ~FrameEditor() = default;
};
