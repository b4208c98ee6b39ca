// What an embedded panel shows against what the plug-in holds: values changed elsewhere
// (the host, MIDI, the joystick) are handed to the panel at the binding's next tick.
#pragma once

#include <cstdint>

#include "common/EditedPlugin.h"
#include "dsp/Parameters.h"
#include "editor/Panel.h"

class PanelFollower {
public:
    explicit PanelFollower(EditedPlugin& plugin) {
        for (std::int32_t i = 0; i < kNumParams; ++i) shown[i] = plugin.getParameter(i);
    }
    // A change the panel made and shows already.
    void shows(std::int32_t index, float value) { shown[index] = value; }
    void follow(EditedPlugin& plugin, Panel& panel) {
        for (std::int32_t i = 0; i < kNumParams; ++i) {
            const float value = plugin.getParameter(i);
            if (value == shown[i]) continue;
            shown[i] = value;
            panel.parameterChanged(i, value);
        }
    }

private:
    float shown[kNumParams] = {};
};
