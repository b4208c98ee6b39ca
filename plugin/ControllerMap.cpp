#include "plugin/ControllerMap.h"

namespace {

struct DefaultAssignment {
    std::int32_t cc;
    float minimum;
    float maximum;
};

// In parameter order: In Trim, Mode, Stages, Cutoff, Reso, Env Amt, Attack, Release, Out Sat.
constexpr DefaultAssignment kDefaults[kNumParams] = {
    {75, 0.0f, 1.0f}, {76, 0.0f, 1.0f}, {77, 0.0f, 1.0f}, {11, 0.0f, 0.5f}, {78, 0.0f, 1.0f},
    {71, 0.0f, 1.0f}, {73, 0.0f, 1.0f}, {72, 0.0f, 1.0f}, {79, 0.0f, 1.0f},
};

ControllerMap processMap;

}  // namespace

void ControllerMap::setDefaults() {
    for (int i = 0; i < kNumParams; ++i)
        entries[i].set(kDefaults[i].cc, kDefaults[i].minimum, kDefaults[i].maximum);
}

bool ControllerMap::anyMappedTo(std::int32_t cc) const {
    for (const ControllerAssignment& entry : entries)
        if (entry.cc() == cc) return true;
    return false;
}

bool ControllerMap::anyMappedAbove(std::int32_t cc) const {
    for (const ControllerAssignment& entry : entries)
        if (entry.cc() > cc) return true;
    return false;
}

ControllerMap& processControllerMap() { return processMap; }

float mapControllerValue(const ControllerAssignment& entry, double v) {
    const double minimum = entry.minimum();
    const double maximum = entry.maximum();
    return static_cast<float>((maximum - minimum) * v + minimum);
}
