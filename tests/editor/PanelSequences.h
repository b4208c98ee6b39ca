// Sequences of what users and hosts do to an open panel, and what the panel must show
// after them: exactly what a fresh draw at the final values shows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dsp/Parameters.h"
#include "editor/EditorSnapshot.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "vst2/FilterEffect.h"
#include "vst2/EntryPoint.h"

// A gesture presses at (fx, fy) of the control's rectangle and moves up by rise pixels;
// the host may change a parameter while it runs (hostIndex >= 0).
struct PanelStep {
    enum Kind { Gesture, Host, Program, SplashClick, HideAndShow, MoveHalfOffAndBack } kind;
    std::int32_t index;
    float value;  // the host's value, or the gesture's rise
    float fx, fy;
    std::int32_t hostIndex;
    float hostValue;
};

inline PanelStep turn(std::int32_t tag, float rise, std::int32_t hostIndex = -1, float hostValue = 0) {
    return {PanelStep::Gesture, tag, rise, 0.5f, 0.5f, hostIndex, hostValue};
}
inline PanelStep pressAt(std::int32_t tag, float fx, float fy) { return {PanelStep::Gesture, tag, 0, fx, fy, -1, 0}; }
inline PanelStep hostSets(std::int32_t index, float value) { return {PanelStep::Host, index, value, 0, 0, -1, 0}; }
inline PanelStep program(std::int32_t index) { return {PanelStep::Program, index, 0, 0, 0, -1, 0}; }
inline PanelStep splashClick() { return {PanelStep::SplashClick, 0, 0, 0, 0, -1, 0}; }
inline PanelStep hideAndShow() { return {PanelStep::HideAndShow, 0, 0, 0, 0, -1, 0}; }
inline PanelStep moveHalfOffAndBack() { return {PanelStep::MoveHalfOffAndBack, 0, 0, 0, 0, -1, 0}; }

struct PanelSequence {
    const char* what;
    std::vector<PanelStep> steps;
};

// Knob gestures assume the linear knob mode.
inline std::vector<PanelSequence> panelSequences() {
    std::vector<PanelStep> release;  // the knob past the background image's edge
    for (int i = 0; i < 20; ++i) release.push_back(turn(kEnvRelease, i % 2 ? -40.0f : 40.0f));
    return {
        {"Release turned back and forth", release},
        {"every control",
         {turn(kCutoff, 30), turn(kResonance, -30), turn(kEnvAmount, 40), turn(kEnvAttack, 30), turn(kInTrim, -40),
          turn(kOutSat, 30), pressAt(kStages, 0.01f, 0.3f), pressAt(kStages, 0.99f, 0.3f),
          pressAt(kMode, 0.2f, 0.01f), pressAt(kMode, 0.2f, 0.99f)}},
        {"host changes, programs, the window hidden and moved half off the screen",
         {hostSets(kEnvRelease, 0.9f), hostSets(kEnvAmount, 0.8f), hostSets(kCutoff, 0.3f), program(3),
          hostSets(kEnvAmount, 0.5f), program(8), hideAndShow(), moveHalfOffAndBack()}},
        {"the splash over a changing panel", {splashClick(), hostSets(kEnvRelease, 0.1f), splashClick()}},
        {"host changes during gestures",
         {turn(kCutoff, 30, kEnvRelease, 0.7f), turn(kEnvRelease, -30, kEnvRelease, 0.2f),
          turn(kEnvAmount, 20, kCutoff, 0.6f)}},
    };
}

// A panel never changed since it opened, drawn headless at the effect's values and the
// scale a host gave: words 0xRRGGBB, rows top-down; empty if it cannot be drawn.
inline std::vector<std::uint32_t> freshDraw(FilterEffect& effect, float scale = 1.0f) {
    FilterEffect fresh(nullptr, 2, false);
    attachPanel(fresh);
    for (std::int32_t i = 0; i < kNumParams; ++i) fresh.setParameter(i, effect.getParameter(i));
    fresh.dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue, nullptr, scale);
    EditorSnapshot request;
    if (fresh.dispatcher(effVendorSpecific, kEditorSnapshotRequest, 0, &request, 0.0f) != 1) return {};
    std::vector<std::uint32_t> out(std::size_t(request.width) * std::size_t(request.height));
    request.pixels = out.data();
    if (fresh.dispatcher(effVendorSpecific, kEditorSnapshotRequest, 0, &request, 0.0f) != 1) return {};
    for (std::uint32_t& p : out) p &= 0xFFFFFFu;
    return out;
}

// Empty when two panel pictures agree bit for bit; else how many pixels differ and where.
// The pixels found to differ: how many, and the rectangle round them.
struct DifferingPixels {
    int count = 0, left = 0, top = 0, right = -1, bottom = -1;
    void add(int x, int y) {
        if (count++ == 0) left = right = x, top = bottom = y;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    // Empty when none differ.
    std::string describe() const {
        if (count == 0) return "";
        char text[96];
        std::snprintf(text, sizeof text, "%d pixels differ in x %d..%d, y %d..%d", count, left, right, top, bottom);
        return text;
    }
};

inline std::string pictureDifference(const std::vector<std::uint32_t>& got, const std::vector<std::uint32_t>& expected,
                                     int w = FilterEditor::kWidth) {
    if (got.size() != expected.size()) return "the pictures differ in size";
    DifferingPixels differing;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != expected[i]) differing.add(int(i % std::size_t(w)), int(i / std::size_t(w)));
    return differing.describe();
}
