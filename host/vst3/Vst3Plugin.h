// A VST3 bundle's audio module driven through the format-neutral interface. The
// component processes; its edit controller (the same object or a second one) names the
// parameters and turns values into text. Parameter changes reach the processor as
// queued points at their block offsets. The format carries no MIDI control changes or
// pitch bend as events, so MIDI is not sent. Programs are those of the parameter the
// plug-in marks as its program change.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/HostedPlugin.h"
#include "host/ParameterQueue.h"
#include "host/vst3/HostObjects.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/factory.h"

class Vst3Plugin : public HostedPlugin {
public:
    // bundle: a .vst3 folder (or, on Windows, a single .vst3 file). className picks one
    // of several audio modules by name; empty: the first.
    Vst3Plugin(const std::string& bundle, const std::string& className);
    ~Vst3Plugin() override;

    const std::string& path() const override { return bundlePath; }
    std::string effectName() override { return name; }
    std::string identityLines() override;

    int32 inputCount() const override { return mainChannels[0]; }
    int32 outputCount() const override { return mainChannels[1]; }
    int32 latency() override;

    int32 parameterCount() const override { return static_cast<int32>(parameters.size()); }
    std::string parameterName(int32 index) override { return parameters[index].name; }
    std::string parameterLabel(int32 index) override { return parameters[index].units; }
    std::string parameterDisplay(int32 index) override;
    float parameter(int32 index) const override;
    void setParameter(int32 index, float value) override;

    // Programs are the positions of the plug-in's program-change parameter, if it has one.
    int32 programCount() const override { return programParameter < 0 ? 0 : programSteps + 1; }
    int32 currentProgram() override;
    void setProgram(int32 index) override;
    std::string programName(int32 index) override;

    void configure(float sampleRate, int32 blockSize) override;
    void start() override;
    void stop() override;
    void sendMidi(VstEvents*) override {}
    void process(float** inputs, float** outputs, int32 frames) override;
    std::size_t automationNotices() const override { return 0; }

private:
    struct Parameter {
        v3_param_id id;
        std::string name, units;
    };
    struct Bus {
        std::vector<std::vector<float>> scratch;  // for buses other than the main one
        std::vector<float*> channels;
    };
    void unload();
    void setUpBuses(int32_t direction);

    std::string bundlePath, name, vendor, version, category;
    void* library = nullptr;
    v3_plugin_factory** factory = nullptr;
    v3_component** component = nullptr;
    v3_audio_processor** processor = nullptr;
    v3_edit_controller** controller = nullptr;
    bool separateController = false;
    Vst3HostApplication application;
    std::vector<Parameter> parameters;
    int32 programParameter = -1;  // its index in parameters
    int32 programSteps = 0;
    int32 mainChannels[2] = {0, 0};
    std::vector<Bus> buses[2];
    std::vector<v3_audio_bus_buffers> busBuffers[2];
    std::unique_ptr<Vst3ParameterChanges> inputChanges, outputChanges;
    ParameterQueue pending;
    double rate = 44100.0;
    int32 maxBlock = 512;
    bool running = false;
};
