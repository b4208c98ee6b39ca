// Check 6: the editor opened into a window of ours, idled and closed again and again
// while audio runs and automation moves the parameters; then closed from inside its idle.
#include <chrono>
#include <optional>
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
// Audio granted per idle, so a seed repeats the same changes however long idles take.
constexpr std::int64_t kFramesPerIdle = 1024;

int idlesPerOpening(int level) { return 2 + level; }

struct EditorSize {
    int width = 400;
    int height = 300;
};

// The size the editor reports, or why it is no size a window can have.
std::optional<EditorSize> reportedSize(PluginInstance& plugin, std::string& trouble) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) {
        trouble = "no size";
        return std::nullopt;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
        trouble = "an unusable size " + std::to_string(width) + " x " + std::to_string(height);
        return std::nullopt;
    }
    return EditorSize{width, height};
}

void idle(PluginInstance& plugin, EditorParentWindow& window, BackgroundLoad& load) {
    load.allow(kFramesPerIdle);
    plugin.dispatch(effEditIdle);
    window.pumpEvents();
    std::this_thread::sleep_for(kIdleInterval);
}

}  // namespace

void checkEditor(const ValidationSettings& settings, CheckLog& log) {
    if (skippedForOtherFormats(settings, log)) return;
    PluginInstance plugin(settings.pluginPath);
    if (!(plugin.record().flags & effFlagsHasEditor)) return log.skip("no editor");
    // Before any editor call: an editor that needs a display may crash without one.
    const EditorSize fallback;
    const std::unique_ptr<EditorParentWindow> parent = EditorParentWindow::open(fallback.width, fallback.height);
    if (!parent) return log.skip("no display");
    EditorParentWindow& window = *parent;
    markProgress("asking the editor's size");
    std::string trouble;
    std::optional<EditorSize> size = reportedSize(plugin, trouble);
    if (size) window.resize(size->width, size->height);
    plugin.configure(44100.0f, 512);
    plugin.start();

    BackgroundLoad::Plan plan;
    plan.seed = settings.seed;
    BackgroundLoad load(plugin, plan);
    for (int opening = 1; opening <= kOpenings; ++opening) {
        markProgress("opening " + std::to_string(opening));
        plugin.dispatch(effEditOpen, 0, 0, window.handle());
        if (opening == 1 && !size) {
            // Some editors know their size only once they are open.
            const std::string before = trouble;
            size = reportedSize(plugin, trouble);
            if (size) {
                log.warn("the editor reports " + before + " before it is opened");
                window.resize(size->width, size->height);
            } else {
                log.fail("the editor reports " + trouble + ", before and after it is opened");
            }
        }
        for (int i = 0; i < idlesPerOpening(settings.level); ++i) idle(plugin, window, load);
        markProgress("closing " + std::to_string(opening));
        plugin.dispatch(effEditClose);
        window.pumpEvents();
    }

    // A host may close the editor in answer to a call the editor makes while idling.
    markProgress("closing from inside the idle");
    plugin.dispatch(effEditOpen, 0, 0, window.handle());
    idle(plugin, window, load);
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

    // Audio under automation is check 4's to judge; only a non-finite output is told here,
    // as it may come from the editor.
    const OutputVerdict verdict = load.finish();
    plugin.stop();
    if (!verdict.nonFinite.empty())
        log.warn("while the editor opened and closed: " + verdict.nonFinite + " (see check 4)");
    log.note(std::to_string(kOpenings) + " openings with " + std::to_string(load.changesMade()) + " parameter changes");
}
