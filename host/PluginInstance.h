// One loaded plug-in instance, driven the way a well-behaved host drives it: opened on
// construction, started and stopped around processing, closed and unloaded on destruction.
#pragma once

#include <memory>
#include <string>

#include "host/HostCallback.h"
#include "host/HostedPlugin.h"

class PluginInstance : public HostedPlugin {
public:
    // Loads the plug-in (a path or a bare name, see resolvePluginPath) and opens it.
    explicit PluginInstance(const std::string& nameOrPath);
    ~PluginInstance() override;

    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    const std::string& path() const override { return libraryPath; }
    const char* entryPoint() const { return entry; }
    const AEffect& record() const { return *effect; }
    const HostState& host() const { return *state; }
    HostState& host() { return *state; }

    intptr dispatch(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

    // Tells the plug-in the rate and the largest block it will get; before start().
    void configure(float sampleRate, int32 blockSize) override;
    void start() override;  // effMainsChanged 1, effStartProcess
    void stop() override;   // effStopProcess, effMainsChanged 0

    std::string effectName() override;
    std::string identityLines() override;
    std::string vendorName();
    std::string productName();

    int32 inputCount() const override { return effect->numInputs; }
    int32 outputCount() const override { return effect->numOutputs; }
    int32 latency() override { return effect->initialDelay; }

    int32 parameterCount() const override { return effect->numParams; }
    std::string parameterName(int32 index) override;
    std::string parameterLabel(int32 index) override;
    std::string parameterDisplay(int32 index) override;
    float parameter(int32 index) const override;
    void setParameter(int32 index, float value) override;

    int32 programCount() const override { return effect->numPrograms; }
    int32 currentProgram() override;
    void setProgram(int32 index) override;
    std::string programName(int32 index) override;

    void sendMidi(VstEvents* events) override;
    // Fills outputs from inputs: processReplacing, or process into zeroed outputs for a
    // plug-in that only accumulates.
    void process(float** inputs, float** outputs, int32 frames) override;
    std::size_t automationNotices() const override { return state->automation.size(); }

private:
    std::string text(int32 opcode, int32 index = 0, intptr value = 0);

    std::string libraryPath;
    std::unique_ptr<HostState> state;
    void* library = nullptr;
    AEffect* effect = nullptr;
    const char* entry = "";
    bool running = false;
};
