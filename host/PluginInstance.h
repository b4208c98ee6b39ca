// One loaded plug-in instance, driven the way a well-behaved host drives it: opened on
// construction, started and stopped around processing, closed and unloaded on destruction.
#pragma once

#include <memory>
#include <string>

#include "host/HostCallback.h"

class PluginInstance {
public:
    // Loads the plug-in (a path or a bare name, see resolvePluginPath) and opens it.
    explicit PluginInstance(const std::string& nameOrPath);
    ~PluginInstance();

    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    const std::string& path() const { return libraryPath; }
    const char* entryPoint() const { return entry; }
    const AEffect& record() const { return *effect; }
    const HostState& host() const { return *state; }
    HostState& host() { return *state; }

    intptr dispatch(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

    // Tells the plug-in the rate and the largest block it will get; before start().
    void configure(float sampleRate, int32 blockSize);
    void start();  // effMainsChanged 1, effStartProcess
    void stop();   // effStopProcess, effMainsChanged 0

    std::string effectName();
    std::string vendorName();
    std::string productName();

    std::string parameterName(int32 index);
    std::string parameterLabel(int32 index);
    std::string parameterDisplay(int32 index);
    float parameter(int32 index) const;
    void setParameter(int32 index, float value);

    int32 currentProgram();
    void setProgram(int32 index);
    std::string programName(int32 index);

    void sendEvents(VstEvents* events);
    // Fills outputs from inputs: processReplacing, or process into zeroed outputs for a
    // plug-in that only accumulates.
    void process(float** inputs, float** outputs, int32 frames);

private:
    std::string text(int32 opcode, int32 index = 0, intptr value = 0);

    std::string libraryPath;
    std::unique_ptr<HostState> state;
    void* library = nullptr;
    AEffect* effect = nullptr;
    const char* entry = "";
    bool running = false;
};
