#include "host/EditorCommands.h"

#include <vector>

#include "editor/EditorSnapshot.h"
#include "host/ExitCode.h"
#include "host/OpenPlugin.h"
#include "host/PluginInstance.h"
#include "host/PluginSettings.h"
#include "host/PngFile.h"
#include "host/platform/EditorHostWindow.h"

namespace {
// About 30 idle calls a second, as hosts do.
constexpr int kIdleMilliseconds = 33;

// A host's scale for the editor: effVendorSpecific 'PreS' 'AeCs' with the scale.
void sendScale(PluginInstance& plugin, double scale) {
    if (scale > 0.0) plugin.dispatch(effVendorSpecific, 0x50726553, 0x41654373, nullptr, float(scale));
}
// The editor commands speak VST 2's editor calls.
void requireVst2(const std::string& path, ExitCode code) {
    const PluginFormat format = pluginFormatOf(path);
    if (format != PluginFormat::Vst2)
        throw HostError(code, std::string("the editor of a ") + pluginFormatName(format) + " plug-in is not shown here");
}

}  // namespace

void snapshotEditor(const RenderOptions& options, std::ostream& out) {
    requireVst2(options.pluginPath, ExitCode::NoEditorSnapshot);
    PluginInstance plugin(options.pluginPath);
    plugin.configure(44100.0f, options.blockSize);
    applySettings(plugin, options);
    sendScale(plugin, options.scale);

    EditorSnapshot snapshot;
    if (plugin.dispatch(effVendorSpecific, kEditorSnapshotRequest, 0, &snapshot) != 1 || snapshot.width <= 0 ||
        snapshot.height <= 0 || snapshot.width > 8192 || snapshot.height > 8192)
        throw HostError(ExitCode::NoEditorSnapshot,
                        plugin.path() + " cannot draw its editor without a display (only Quorvane offers that)");
    std::vector<std::uint32_t> pixels(std::size_t(snapshot.width) * std::size_t(snapshot.height));
    snapshot.pixels = pixels.data();
    if (plugin.dispatch(effVendorSpecific, kEditorSnapshotRequest, 0, &snapshot) != 1)
        throw HostError(ExitCode::NoEditorSnapshot, plugin.path() + " failed to draw its editor");
    if (!writePng(options.snapshotPath, snapshot.width, snapshot.height, pixels.data()))
        throw HostError(ExitCode::OutputNotWritable, "cannot write " + options.snapshotPath);
    if (!options.quiet)
        out << "wrote " << options.snapshotPath << " (" << snapshot.width << " x " << snapshot.height << ")\n";
}

void editInWindow(const RenderOptions& options, std::ostream& out) {
    requireVst2(options.pluginPath, ExitCode::NoEditorWindow);
    PluginInstance plugin(options.pluginPath);
    plugin.configure(44100.0f, options.blockSize);
    applySettings(plugin, options);
    if (!(plugin.record().flags & effFlagsHasEditor))
        throw HostError(ExitCode::NoEditorWindow, plugin.path() + " has no editor");

    std::unique_ptr<EditorHostWindow> window = createEditorHostWindow(plugin.effectName().c_str());
    if (!window) throw HostError(ExitCode::NoEditorWindow, "no display to open a window on");
    plugin.host().editLog = &out;
    sendScale(plugin, options.scale);
    if (plugin.dispatch(effEditOpen, 0, 0, window->handle()) == 0)
        throw HostError(ExitCode::NoEditorWindow, plugin.path() + " opened no editor");
    ERect* rect = nullptr;
    if (plugin.dispatch(effEditGetRect, 0, 0, &rect) && rect)
        window->resize(rect->right - rect->left, rect->bottom - rect->top);
    while (window->handleEvents()) {
        HostState& host = plugin.host();
        if (host.editorWidth > 0) window->resize(host.editorWidth, host.editorHeight);
        host.editorWidth = host.editorHeight = 0;
        plugin.dispatch(effEditIdle);
        sleepMilliseconds(kIdleMilliseconds);
    }
    plugin.dispatch(effEditClose);
    plugin.host().editLog = nullptr;
}
