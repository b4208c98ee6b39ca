#include "plugin/PanelPreferences.h"

#include <atomic>

namespace {
// Written when an instance starts, read when a panel opens, on any thread.
std::atomic<float> preferredScale{0.0f};
std::atomic<int> preferredKnobMode{kKnobModeHost};
}  // namespace

void publishPanelPreferences(const StartupSettings& settings) {
    preferredScale.store(settings.panelScale, std::memory_order_relaxed);
    preferredKnobMode.store(settings.knobMode, std::memory_order_relaxed);
}

PanelPreferences panelPreferences() {
    PanelPreferences preferences;
    preferences.scale = preferredScale.load(std::memory_order_relaxed);
    preferences.knobMode = preferredKnobMode.load(std::memory_order_relaxed);
    return preferences;
}
