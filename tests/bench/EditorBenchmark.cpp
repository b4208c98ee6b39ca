// What the panel costs the host's interface thread, per call on the software canvas: an
// idle pass with nothing to draw, the redraw and window copy after one knob moved, and a
// paint of the whole panel. In a real window when a display is there (under Xvfb in
// make test), headless otherwise.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <cstdio>

#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "gui/CFrame.h"
#include "plugin/FilterEffect.h"

namespace {

struct OpenPanel {
    OpenPanel() : effect(nullptr, 2, false) {
        // One connection for the whole run: an X server without clients resets.
        static Display* const shared = XOpenDisplay(nullptr);
        display = shared;
        if (display) {
            parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 212, 0, 0, 0);
            XMapWindow(display, parent);
            XSync(display, False);
            windowed = effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f) == 1;
        }
        for (int i = 0; i < 5; ++i) idle();
    }
    ~OpenPanel() {
        effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        if (display) XDestroyWindow(display, parent);
    }
    void idle() { effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); }
    CFrame* frame() { return static_cast<FilterEditor*>(effect.getEditor())->getFrame(); }

    FilterEffect effect;
    Display* display = nullptr;
    Window parent = 0;
    bool windowed = false;
};

void idleNothingDirty(benchmark::State& state) {
    OpenPanel panel;
    if (!panel.windowed) state.SkipWithError("no display");
    for (auto _ : state) panel.idle();
}

void idleAfterOneKnobMoved(benchmark::State& state) {
    OpenPanel panel;
    if (!panel.windowed) state.SkipWithError("no display");
    float value = 0.0f;
    for (auto _ : state) {
        value = value > 0.9f ? 0.0f : value + 0.05f;
        panel.effect.setParameter(kResonance, value);
        panel.idle();
    }
}

void fullPanelPaint(benchmark::State& state) {
    OpenPanel panel;
    if (!panel.windowed) state.SkipWithError("no display");
    for (auto _ : state) {
        panel.frame()->setDirty(true);
        panel.idle();
    }
}

BENCHMARK(idleNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(idleAfterOneKnobMoved)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullPanelPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
