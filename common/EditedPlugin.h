// What the panel needs from the plug-in it edits, in any format: parameters to read and to
// set, the start and end of a user's gesture, and the oversampling the cutoff readout
// reckons with. The VST 2 effect implements it, and the LV2 UI.
#pragma once

#include <cstdint>

class EditedPlugin {
public:
    virtual float getParameter(std::int32_t index) = 0;
    // A change the user made: stored, and the host told.
    virtual void setParameterAndNotify(std::int32_t index, float value) = 0;
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    virtual std::int32_t oversampleFactor() const = 0;
    // Asks the host to make the panel's window width x height pixels; true when it did.
    virtual bool resizeWindow(std::int32_t width, std::int32_t height) = 0;

protected:
    ~EditedPlugin() = default;
};
