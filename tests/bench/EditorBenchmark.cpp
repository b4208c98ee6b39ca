// What the panel costs the host's interface thread, per call on the software canvas: an
// idle pass with nothing to draw, the redraw and window copy after one knob moved, a
// paint of the whole panel, and opening the panel at 1x, 1.5x and 2x (with the memory its
// images take, and what a second panel adds), printed at the end as ratios to 1x. In a
// real window: under Xvfb in make test. Without a display it measures nothing and says so
// (exit 77, which ctest shows as skipped); a panel that does not open in the window fails.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "gui/SharedImages.h"
#include "vst2/FilterEffect.h"
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
    CFrame* frame() {
        return static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel()).getFrame();
    }

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

struct OpenCost {
    double seconds = 0;  // per open
    double imageBytes = 0;
    double secondPanelBytes = 0;
};
std::map<int, OpenCost> openCosts;  // by scale in hundredths

// Opening the panel at a host's scale with no other panel open: the images are decoded
// (and reduced, between 1 and 2) each time, as for a host's first panel. Then a second
// panel beside it, for what it adds.
void panelOpen(benchmark::State& state) {
    const float scale = float(state.range(0)) / 100.0f;
    static Display* const shared = XOpenDisplay(nullptr);
    Window parent = 0;
    if (shared) {
        parent = XCreateSimpleWindow(shared, DefaultRootWindow(shared), 0, 0, 1600, 424, 0, 0, 0);
        XMapWindow(shared, parent);
        XSync(shared, False);
    }
    void* window = reinterpret_cast<void*>(parent);
    FilterEffect first(nullptr, 2, false), second(nullptr, 2, false);
    for (FilterEffect* effect : {&first, &second}) {
        attachPanel(*effect);
        effect->dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue, nullptr,
                           scale);
    }
    OpenCost cost;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        first.dispatcher(effEditOpen, 0, 0, window, 0.0f);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        cost.imageBytes = double(sharedImageBytes());
        second.dispatcher(effEditOpen, 0, 0, window, 0.0f);
        cost.secondPanelBytes = double(sharedImageBytes()) - cost.imageBytes;
        second.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        first.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        state.ResumeTiming();
    }
    cost.seconds = total / double(state.iterations());
    openCosts[int(state.range(0))] = cost;
    state.counters["image_MB"] = cost.imageBytes / 1e6;
    state.counters["second_panel_MB"] = cost.secondPanelBytes / 1e6;
    if (shared) XDestroyWindow(shared, parent);
}

BENCHMARK(idleNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(idleAfterOneKnobMoved)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullPanelPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(panelOpen)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond)->MinTime(1.0);

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
    if (panelFailedToOpen) return 1;
    const auto one = openCosts.find(100);
    if (one == openCosts.end()) return 0;  // not asked for
    if (one->second.seconds <= 0 || one->second.imageBytes <= 0) {
        std::puts("the panel opened with no images: nothing was measured");
        return 1;
    }
    std::printf("\npanel open   time      ratio  images     ratio  second panel adds\n");
    for (const auto& [hundredths, cost] : openCosts)
        std::printf("%4.2fx        %6.1f ms  %5.2f  %6.1f MB  %5.2f  %.1f MB (%.1f %% of the first)\n", hundredths / 100.0,
                    cost.seconds * 1e3, cost.seconds / one->second.seconds, cost.imageBytes / 1e6,
                    cost.imageBytes / one->second.imageBytes, cost.secondPanelBytes / 1e6,
                    100.0 * cost.secondPanelBytes / cost.imageBytes);
    return 0;
}
