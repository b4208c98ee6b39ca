// A plug-in from a .clap file driven through the format-neutral interface, with the
// host's side of the threading rules: creation, activation and every main-thread call
// on the thread that made this object, start, process and stop on an audio thread of
// its own. Parameter changes and MIDI reach the plug-in as events at their block
// offsets; changes made while it is inactive go through a flush on the main thread.
#pragma once

#include <string>
#include <vector>

#include "clap/entry.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/host.h"
#include "clap/plugin-factory.h"
#include "clap/plugin.h"
#include "host/AudioThread.h"
#include "host/HostedPlugin.h"
#include "host/ParameterQueue.h"

class ClapPlugin : public HostedPlugin {
public:
    // id picks the plug-in from a file that holds several; empty: the one whose main
    // input has inputChannels (0 or no such one: the first).
    ClapPlugin(const std::string& file, const std::string& id, int inputChannels);
    ~ClapPlugin() override;

    const std::string& path() const override { return filePath; }
    std::string effectName() override { return plugin->desc->name ? plugin->desc->name : ""; }
    std::string identityLines() override;

    int32 inputCount() const override { return mainChannels[1]; }
    int32 outputCount() const override { return mainChannels[0]; }
    int32 latency() override;

    int32 parameterCount() const override { return static_cast<int32>(parameters.size()); }
    std::string parameterName(int32 index) override { return parameters[index].name; }
    std::string parameterLabel(int32) override { return ""; }
    std::string parameterDisplay(int32 index) override;
    float parameter(int32 index) const override;
    void setParameter(int32 index, float value) override;

    int32 programCount() const override { return 0; }
    int32 currentProgram() override { return -1; }
    void setProgram(int32) override {}
    std::string programName(int32) override { return ""; }

    void configure(float sampleRate, int32 blockSize) override;
    void start() override;
    void stop() override;
    void sendMidi(VstEvents* events) override;
    void process(float** inputs, float** outputs, int32 frames) override;
    void processWatched(float** inputs, float** outputs, int32 frames) override;
    std::size_t automationNotices() const override { return 0; }

    // Every plug-in the file holds, "id  name" per line.
    std::string catalogue() const;

private:
    struct Parameter {
        clap_id id;
        std::string name;
        double minimum, maximum;
    };
    struct Ports {
        std::vector<std::vector<float>> scratch;  // channels of ports other than the main one
        std::vector<std::vector<float*>> pointers;
        std::vector<clap_audio_buffer_t> buffers;
    };

    const clap_plugin_t* create(const char* id);
    int mainInputChannels(const clap_plugin_t* candidate) const;
    void setUpPorts(bool input);
    void unload();
    double plain(int32 index, float value) const;
    void processOnAudioThread();

    std::string filePath;
    void* library = nullptr;
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_factory_t* factory = nullptr;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_latency_t* latencyExtension = nullptr;
    clap_host_t host;
    std::vector<Parameter> parameters;
    int32 mainChannels[2] = {0, 0};  // outputs, inputs (indexed by "is input")
    Ports ports[2];
    double rate = 44100.0;
    int32 maxBlock = 512;
    bool active = false;
    int32 lastLatency = 0;

    // The block being handed to the audio thread and its events in time order.
    float** blockInputs = nullptr;
    float** blockOutputs = nullptr;
    int32 blockFrames = 0;
    bool watchBlock = false;
    std::int64_t steadyTime = 0;
    ParameterQueue pending;
    std::vector<clap_event_param_value_t> parameterEvents;
    std::vector<clap_event_midi_t> midiEvents;
    std::size_t midiCount = 0;
    std::vector<const clap_event_header_t*> events;
    clap_input_events_t inputEvents;
    clap_output_events_t outputEvents;

    AudioThread audio;
};
