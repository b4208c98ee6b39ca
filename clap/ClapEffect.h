// Quorvane as a CLAP plug-in, mono or stereo, over the one engine: parameters and MIDI
// in one time-stamped event list, applied where they fall in the block.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/entry.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/latency.h"
#include "clap/ext/note-ports.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/plugin-factory.h"
#include "clap/plugin.h"
#include "clap/GestureQueue.h"
#include "clap/ThreadCheck.h"
#include "plugin/PluginEngine.h"

class ClapGui;

extern const clap_plugin_descriptor_t kClapMono;
extern const clap_plugin_descriptor_t kClapStereo;

class ClapEffect {
public:
    ClapEffect(const clap_host_t* host, const clap_plugin_descriptor_t* descriptor, int channels,
               bool halfPower);
    ~ClapEffect();

    const clap_plugin_t* plugin() const { return &clapPlugin; }
    static ClapEffect* of(const clap_plugin_t* plugin) {
        return static_cast<ClapEffect*>(plugin->plugin_data);
    }

    // The host's extensions are asked for here, not before.
    bool init();
    bool activate(double sampleRate);
    void setProcessing(bool on) { processing.store(on, std::memory_order_relaxed); }
    clap_process_status process(const clap_process_t* process);
    // Parameter values and MIDI from the host's list applied now, moves reported; outside
    // process, never beside it.
    void flush(const clap_input_events_t* in, const clap_output_events_t* out);

    int channelCount() const { return channels; }
    // The plain value the host sees: Stages counts stages (1 to 4), the others are the
    // 0..1 value of every other format.
    double plainValue(std::int32_t index) const;
    float engineValue(std::int32_t index, double plain) const;
    bool save(const clap_ostream_t* stream) const;
    bool load(const clap_istream_t* stream);

    // The panel, while the host has one made (main thread).
    ClapGui* gui() const { return editor.get(); }
    bool createGui();
    void destroyGui();
    void onMainThread();
    const ThreadCheck& threads() const { return threadCheck; }

    // The panel's side: the engine follows at once, the host hears of it through the
    // next process or flush.
    float parameter(std::int32_t index) const { return engine.parameter(index); }
    void beginGesture(std::int32_t index);
    void setParameterFromPanel(std::int32_t index, float value);
    void endGesture(std::int32_t index);
    std::int32_t oversampleFactor() const { return engine.oversampleFactor(); }

private:
    void apply(const clap_event_header_t* event);
    void reportEngineChanges(std::uint32_t time, const clap_output_events_t* out);
    void reportGestures(const clap_output_events_t* out);

    clap_plugin_t clapPlugin;
    const clap_host_t* host;
    const int channels;
    PluginEngine engine;
    float sampleRate = 44100.0f;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_state_t* hostState = nullptr;
    ThreadCheck threadCheck;
    std::atomic<bool> processing{false};
    void sendGesture(const Gesture& gesture);

    GestureQueue gestures;
    // A value the queue had no room for: the gesture's end then carries the last one.
    bool valueLeftOut = false;
    std::unique_ptr<ClapGui> editor;
};
