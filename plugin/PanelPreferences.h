// The panel preferences of Quorvane.ini (Scale=, KnobMode=), kept for the whole process:
// every instance reads the same file, and the editor asks for them when it opens.
#pragma once

#include "plugin/Configuration.h"

struct PanelPreferences {
    float scale = 0.0f;  // 0: auto
    int knobMode = kKnobModeHost;
};

void publishPanelPreferences(const StartupSettings& settings);
PanelPreferences panelPreferences();
