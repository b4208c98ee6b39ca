// Check 6: the editor opened into a window of ours, idled and closed again and again
// while audio runs and automation moves the parameters; then closed from inside its idle.
#include <chrono>
#include <thread>

#include "host/PluginInstance.h"
#include "host/platform/EditorParentWindow.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

constexpr int kOpenings = 20;
constexpr int kLargestSide = 8192;
constexpr auto kIdleInterval = std::chrono::milliseconds(5);

int idlesPerOpening(int level) { return 2 + level; }

struct EditorSize {
    int width = 400;
    int height = 300;
};

EditorSize askSize(PluginInstance& plugin, CheckLog& log) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    EditorSize size;
    if (!rect) {
        log.warn("the editor reports no size before it is opened");
        return size;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
        log.fail("the editor reports an unusable size " + std::to_string(width) + " x " + std::to_string(height));
        return size;
    }
    return EditorSize{width, height};
}

void idle(PluginInstance& plugin, EditorParentWindow& window) {
    plugin.dispatch(effEditIdle);
    window.pumpEvents();
    std::this_thread::sleep_for(kIdleInterval);
}

}  // namespace

void checkEditor(const ValidationSettings& settings, CheckLog& log) {
    PluginInstance plugin(settings.pluginPath);
    if (!(plugin.record().flags & effFlagsHasEditor)) return log.skip("no editor");
    const EditorSize size = askSize(plugin, log);
    const std::unique_ptr<EditorParentWindow> parent = EditorParentWindow::open(size.width, size.height);
    if (!parent) return log.skip("no display");
    EditorParentWindow& window = *parent;
    plugin.configure(44100.0f, 512);
    plugin.start();

    BackgroundLoad::Plan plan;
    plan.paced = true;
    plan.seed = settings.seed;
    BackgroundLoad load(plugin, plan);
    for (int opening = 1; opening <= kOpenings; ++opening) {
        markProgress("opening " + std::to_string(opening));
        plugin.dispatch(effEditOpen, 0, 0, window.handle());
        for (int i = 0; i < idlesPerOpening(settings.level); ++i) idle(plugin, window);
        markProgress("closing " + std::to_string(opening));
        plugin.dispatch(effEditClose);
        window.pumpEvents();
    }

    // A host may close the editor in answer to a call the editor makes while idling.
    markProgress("closing from inside the idle");
    plugin.dispatch(effEditOpen, 0, 0, window.handle());
    idle(plugin, window);
    HostState& host = plugin.host();
    host.idleThread = std::this_thread::get_id();
    host.closeEditorOnNextCall = true;
    plugin.dispatch(effEditIdle);
    host.closeEditorOnNextCall = false;
    if (host.editorClosedInsideIdle) {
        log.note("closed from inside the idle, in answer to a host call");
    } else {
        // Without a call to answer, the close follows the idle before any event is handled.
        plugin.dispatch(effEditClose);
        log.note("the editor made no host call while idling; closed straight after the idle");
    }
    window.pumpEvents();

    const std::string problem = load.stop();
    plugin.stop();
    if (!problem.empty()) log.fail("while the editor opened and closed: " + problem);
    log.note(std::to_string(kOpenings) + " openings with " + std::to_string(load.changesMade()) + " parameter changes");
}
