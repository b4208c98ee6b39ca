// Where the Linux build reads the pointer and the buttons from: the X11 window layer
// installs a source for its display; without one the pointer rests at (0, 0) with
// nothing pressed. Tests install their own.
#pragma once

#include "gui/platform/Input.h"

namespace platform {

class InputSource {
public:
    virtual ~InputSource() = default;
    virtual CPos pointerScreenPosition() = 0;
    virtual PhysicalButtons physicalButtons() = 0;
};

// Not owned; none restores the resting default.
void setInputSource(InputSource* source);
// Restores the default only when source is the one installed (another editor's window
// may have installed its own since).
void removeInputSource(InputSource* source);

}  // namespace platform
