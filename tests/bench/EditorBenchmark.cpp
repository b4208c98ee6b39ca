// What the panel costs the host's interface thread, per call on the software canvas: an
// idle pass with nothing to draw, the redraw and window copy after one knob moved, and a
// paint of the whole panel. In a real window: under Xvfb in make test. Without a display
// it measures nothing and says so (exit 77, which ctest shows as skipped); a panel that
// does not open in the window fails.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <cstdio>

#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "gui/CFrame.h"
#include "plugin/FilterEffect.h"
#include "vst2/EntryPoint.h"

namespace {

// One connection for the whole run: an X server without clients resets.
Display* sharedDisplay() {
    static Display* const shared = XOpenDisplay(nullptr);
    return shared;
}

struct OpenPanel {
    OpenPanel() : effect(nullptr, 2, false) {
        attachPanel(effect);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 212, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        windowed = effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f) == 1;
        for (int i = 0; i < 5; ++i) idle();
    }
    ~OpenPanel() {
        effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        XDestroyWindow(display, parent);
    }
    void idle() { effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); }
    CFrame* frame() { return static_cast<FilterEditor*>(effect.getEditor())->getFrame(); }

    FilterEffect effect;
    Display* display = sharedDisplay();
    Window parent = 0;
    bool windowed = false;
};

bool panelFailedToOpen = false;

bool opened(OpenPanel& panel, benchmark::State& state) {
    if (panel.windowed) return true;
    panelFailedToOpen = true;
    state.SkipWithError("the panel did not open in the window");
    return false;
}

void idleNothingDirty(benchmark::State& state) {
    OpenPanel panel;
    if (!opened(panel, state)) return;
    for (auto _ : state) panel.idle();
}

void idleAfterOneKnobMoved(benchmark::State& state) {
    OpenPanel panel;
    if (!opened(panel, state)) return;
    float value = 0.0f;
    for (auto _ : state) {
        value = value > 0.9f ? 0.0f : value + 0.05f;
        panel.effect.setParameter(kResonance, value);
        panel.idle();
    }
}

void fullPanelPaint(benchmark::State& state) {
    OpenPanel panel;
    if (!opened(panel, state)) return;
    for (auto _ : state) {
        panel.frame()->setDirty(true);
        panel.idle();
    }
}

BENCHMARK(idleNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(idleAfterOneKnobMoved)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullPanelPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!sharedDisplay()) {
        std::puts("Skipped, not run: editor_benchmark: no X display");
        return 77;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return panelFailedToOpen ? 1 : 0;
}
