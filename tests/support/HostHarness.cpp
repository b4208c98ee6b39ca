#include "tests/support/HostHarness.h"

#include <filesystem>

#include "tests/support/LibraryLoader.h"
#include "tests/support/TestFiles.h"

RecordingHost* RecordingHost::active = nullptr;

RecordingHost::RecordingHost() { active = this; }
RecordingHost::~RecordingHost() {
    if (active == this) active = nullptr;
}

intptr VSTCALL RecordingHost::callback(AEffect* effect, int32 opcode, int32 index, intptr value,
                                       void*, float opt) {
    if (!active) return 0;
    active->calls.push_back(HostCall{effect == nullptr, opcode, index, value, opt});
    if (opcode == audioMasterVersion) return active->versionAnswer;
    if (opcode == audioMasterPinConnected) return active->pinAnswer;
    return 0;
}

std::vector<HostCall> RecordingHost::callsWith(int32 opcode) const {
    std::vector<HostCall> found;
    for (const HostCall& call : calls)
        if (call.opcode == opcode) found.push_back(call);
    return found;
}

LoadedPlugin::LoadedPlugin(const std::string& libraryPath, const std::string& copyName) {
    dir = makeScratchDirectory("quorvane-test");
    const std::string copy = dir + "/" + copyName;
    std::error_code error;
    std::filesystem::copy_file(libraryPath, copy, error);
    if (error) return;
    handle = loadLibraryFile(copy);
    if (!handle) return;
    pluginMain = reinterpret_cast<EntryProc>(libraryExport(handle, "VSTPluginMain"));
    legacyMain = reinterpret_cast<EntryProc>(libraryExport(handle, "main"));
}

LoadedPlugin::~LoadedPlugin() {
    if (handle) unloadLibraryFile(handle);
    if (!dir.empty()) {
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }
}

AEffect* LoadedPlugin::instantiate(audioMasterCallback callback) {
    return pluginMain ? pluginMain(callback) : nullptr;
}

AEffect* LoadedPlugin::instantiateViaMain(audioMasterCallback callback) {
    return legacyMain ? legacyMain(callback) : nullptr;
}
