// A host in miniature for tests: loads a plug-in library from a private copy, calls its
// entry point and records every call the plug-in makes back to the host.
#pragma once

#include <string>
#include <vector>

#include "vst2/vst2.h"

struct HostCall {
    bool fromNullEffect;
    int32 opcode;
    int32 index;
    intptr value;
    float opt;
};

class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();

    static intptr VSTCALL callback(AEffect* effect, int32 opcode, int32 index, intptr value,
                                   void* ptr, float opt);

    std::vector<HostCall> calls;
    intptr versionAnswer = 2400;
    intptr pinAnswer = 0;

    std::vector<HostCall> callsWith(int32 opcode) const;
    void clear() { calls.clear(); }

private:
    static RecordingHost* active;
};

class LoadedPlugin {
public:
    // Copies the library into a fresh directory of its own and loads it from there, so
    // whatever it writes beside itself stays private to the test.
    explicit LoadedPlugin(const std::string& libraryPath = QV_PLUGIN_PATH,
                          const std::string& copyName = QV_PLUGIN_FILE_NAME);
    ~LoadedPlugin();

    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool loaded() const { return handle != nullptr; }
    const std::string& directory() const { return dir; }

    AEffect* instantiate(audioMasterCallback callback = RecordingHost::callback);
    AEffect* instantiateViaMain(audioMasterCallback callback = RecordingHost::callback);

    intptr dispatch(AEffect* effect, int32 opcode, int32 index = 0, intptr value = 0,
                    void* ptr = nullptr, float opt = 0.0f) const {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

private:
    typedef AEffect* (*EntryProc)(audioMasterCallback);
    std::string dir;
    void* handle = nullptr;
    EntryProc pluginMain = nullptr;
    EntryProc legacyMain = nullptr;
};
