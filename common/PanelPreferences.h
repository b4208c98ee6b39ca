// The panel preferences of Quorvane.ini (Scale=, KnobMode=), kept for the whole process:
// every instance reads the same file when it starts, and a panel asks for them when it
// opens, in either format.
#pragma once

#include <atomic>

struct PanelPreferences {
    float scale = 0.0f;  // 0: auto
    int knobMode = -1;   // -1: the host's
};

namespace panel_preferences_detail {
// Written when an instance starts, read when a panel opens, on any thread.
inline std::atomic<float> scale{0.0f};
inline std::atomic<int> knobMode{-1};
}  // namespace panel_preferences_detail

inline void publishPanelPreferences(const PanelPreferences& preferences) {
    panel_preferences_detail::scale.store(preferences.scale, std::memory_order_relaxed);
    panel_preferences_detail::knobMode.store(preferences.knobMode, std::memory_order_relaxed);
}

inline PanelPreferences panelPreferences() {
    PanelPreferences preferences;
    preferences.scale = panel_preferences_detail::scale.load(std::memory_order_relaxed);
    preferences.knobMode = panel_preferences_detail::knobMode.load(std::memory_order_relaxed);
    return preferences;
}
