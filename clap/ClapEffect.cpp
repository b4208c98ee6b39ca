#include "clap/ClapEffect.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "clap/ClapGui.h"
#include "plugin/PluginDescription.h"
#include "plugin/PluginState.h"

namespace {

const char* kMonoFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_FILTER,
                                     CLAP_PLUGIN_FEATURE_MONO, nullptr};
const char* kStereoFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_FILTER,
                                       CLAP_PLUGIN_FEATURE_STEREO, nullptr};

// Parameter ids are the description's; Stages counts stages.
bool isStages(std::int32_t index) { return index == kStages; }

std::int32_t indexFor(clap_id id) { return parameterIndexForId(id); }

// The stage count the engine derives from the value.
double plainFor(std::int32_t index, float v) {
    return isStages(index) ? std::floor(v * static_cast<double>(3.999f) + 1.0) : v;
}

clap_event_param_value_t valueEvent(std::uint32_t time, std::int32_t index, double plain) {
    clap_event_param_value_t event{};
    event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = parameterDescription(index).id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = plain;
    return event;
}

template <std::size_t N>
void copyText(char (&out)[N], const char* text) {
    std::snprintf(out, N, "%s", text);
}

// --- Extensions ---------------------------------------------------------------------

std::uint32_t paramCount(const clap_plugin_t*) { return kNumParams; }

bool paramInfo([[maybe_unused]] const clap_plugin_t* plugin, std::uint32_t index, clap_param_info_t* info) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    if (index >= static_cast<std::uint32_t>(kNumParams) || !info) return false;
    const auto i = static_cast<std::int32_t>(index);
    const ParameterDescription& p = parameterDescription(i);
    std::memset(info, 0, sizeof *info);
    info->id = p.id;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE | (p.stepCount > 0 ? CLAP_PARAM_IS_STEPPED : 0);
    copyText(info->name, p.name);
    info->min_value = isStages(i) ? 1.0 : 0.0;
    info->max_value = isStages(i) ? 4.0 : p.stepCount > 0 ? p.stepCount : 1.0;
    info->default_value = isStages(i) ? 1.0 + std::lround(p.defaultValue * p.stepCount) : p.defaultValue;
    return true;
}

bool paramValue(const clap_plugin_t* plugin, clap_id id, double* value) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    const std::int32_t index = indexFor(id);
    if (index < 0 || !value) return false;
    *value = ClapEffect::of(plugin)->plainValue(index);
    return true;
}

bool valueToText(const clap_plugin_t* plugin, clap_id id, double value, char* display, std::uint32_t size) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    const std::int32_t index = indexFor(id);
    if (index < 0 || !display || size == 0) return false;
    char text[kParameterTextSize];
    parameterValueText(index, ClapEffect::of(plugin)->engineValue(index, value), text);
    std::snprintf(display, size, "%s", text);
    return true;
}

bool textToValue([[maybe_unused]] const clap_plugin_t* plugin, clap_id id, const char* display, double* value) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    const std::int32_t index = indexFor(id);
    float v = 0.0f;
    if (index < 0 || !value || !parameterValueFromText(index, display, v)) return false;
    const std::int32_t steps = parameterDescription(index).stepCount;
    *value = isStages(index) ? 1.0 + std::lround(v * steps) : steps > 0 ? std::lround(v * steps) : v;
    return true;
}

void paramsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
    ClapEffect::of(plugin)->flush(in, out);
}

const clap_plugin_params_t kParams = {paramCount, paramInfo, paramValue, valueToText, textToValue, paramsFlush};

std::uint32_t audioPortCount(const clap_plugin_t*, bool) { return 1; }

bool audioPortInfo(const clap_plugin_t* plugin, std::uint32_t index, bool isInput, clap_audio_port_info_t* info) {
    if (index != 0 || !info) return false;
    const int channels = ClapEffect::of(plugin)->channelCount();
    std::memset(info, 0, sizeof *info);
    info->id = isInput ? 0 : 1;
    copyText(info->name, isInput ? "Input" : "Output");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = static_cast<std::uint32_t>(channels);
    info->port_type = channels == 1 ? CLAP_PORT_MONO : CLAP_PORT_STEREO;
    info->in_place_pair = isInput ? 1 : 0;
    return true;
}

const clap_plugin_audio_ports_t kAudioPorts = {audioPortCount, audioPortInfo};

// One MIDI input, for the controllers Quorvane.ini maps.
std::uint32_t notePortCount(const clap_plugin_t*, bool isInput) { return isInput ? 1 : 0; }

bool notePortInfo(const clap_plugin_t*, std::uint32_t index, bool isInput, clap_note_port_info_t* info) {
    if (index != 0 || !isInput || !info) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    copyText(info->name, "MIDI In");
    return true;
}

const clap_plugin_note_ports_t kNotePorts = {notePortCount, notePortInfo};

std::uint32_t latency(const clap_plugin_t*) { return 0; }
const clap_plugin_latency_t kLatency = {latency};

bool saveState(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    return ClapEffect::of(plugin)->save(stream);
}
bool loadState(const clap_plugin_t* plugin, const clap_istream_t* stream) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    return ClapEffect::of(plugin)->load(stream);
}
const clap_plugin_state_t kState = {saveState, loadState};

// --- The plug-in --------------------------------------------------------------------

bool init(const clap_plugin_t* plugin) { return ClapEffect::of(plugin)->init(); }
void destroy(const clap_plugin_t* plugin) { delete ClapEffect::of(plugin); }
bool activatePlugin(const clap_plugin_t* plugin, double rate, std::uint32_t, std::uint32_t) {
    assert(ClapEffect::of(plugin)->threads().mainThread());
    return ClapEffect::of(plugin)->activate(rate);
}
void deactivate(const clap_plugin_t*) {}
bool startProcessing(const clap_plugin_t* plugin) {
    ClapEffect::of(plugin)->setProcessing(true);
    return true;
}
void stopProcessing(const clap_plugin_t* plugin) { ClapEffect::of(plugin)->setProcessing(false); }
void reset(const clap_plugin_t* plugin) { ClapEffect::of(plugin)->activate(0.0); }
clap_process_status process(const clap_plugin_t* plugin, const clap_process_t* p) {
    assert(ClapEffect::of(plugin)->threads().audioThread());
    return ClapEffect::of(plugin)->process(p);
}

const void* extension(const clap_plugin_t*, const char* id) {
    if (!id) return nullptr;
    if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
    if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS)) return &kAudioPorts;
    if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS)) return &kNotePorts;
    if (!std::strcmp(id, CLAP_EXT_LATENCY)) return &kLatency;
    if (!std::strcmp(id, CLAP_EXT_STATE)) return &kState;
    if (!std::strcmp(id, CLAP_EXT_GUI)) return &kClapGui;
    if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &kClapTimerSupport;
    if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return &kClapPosixFdSupport;
    return nullptr;
}

void onMainThread(const clap_plugin_t* plugin) { ClapEffect::of(plugin)->onMainThread(); }

}  // namespace

const clap_plugin_descriptor_t kClapMono = {
    CLAP_VERSION_INIT, "audio.quorvane.filter.mono", "Quorvane Mono", "Quorvane", "https://quorvane.audio",
    "", "https://quorvane.audio", "0.6.0", "Resonant low-pass and high-pass filter", kMonoFeatures};
const clap_plugin_descriptor_t kClapStereo = {
    CLAP_VERSION_INIT, "audio.quorvane.filter.stereo", "Quorvane Stereo", "Quorvane", "https://quorvane.audio",
    "", "https://quorvane.audio", "0.6.0", "Resonant low-pass and high-pass filter", kStereoFeatures};

ClapEffect::ClapEffect(const clap_host_t* hostInterface, const clap_plugin_descriptor_t* descriptor,
                       int channelCount, bool halfPower)
    : clapPlugin{descriptor, this, ::init, destroy, activatePlugin, deactivate, startProcessing, stopProcessing,
                 reset, ::process, extension, ::onMainThread},
      host(hostInterface),
      channels(channelCount),
      engine(channelCount, halfPower) {}

ClapEffect::~ClapEffect() = default;

bool ClapEffect::init() {
    threadCheck.init(host);
    hostParams = static_cast<const clap_host_params_t*>(host->get_extension(host, CLAP_EXT_PARAMS));
    hostState = static_cast<const clap_host_state_t*>(host->get_extension(host, CLAP_EXT_STATE));
    return true;
}

bool ClapEffect::createGui() {
    if (!editor) editor = std::make_unique<ClapGui>(*this, host);
    return true;
}

void ClapEffect::destroyGui() { editor.reset(); }

void ClapEffect::onMainThread() {
    if (editor && editor->ticks()) editor->ticks()->onMainThread();
}

// A host that takes no events for a long drag must still see every gesture end and the
// final value: values leave room for them in the queue.
constexpr std::size_t kRoomForEnds = 16;

void ClapEffect::beginGesture(std::int32_t index) { sendGesture({Gesture::Begin, index, 0.0}); }

void ClapEffect::setParameterFromPanel(std::int32_t index, float value) {
    engine.setParameter(index, value);
    if (gestures.room() > kRoomForEnds)
        sendGesture({Gesture::Value, index, value});
    else
        valueLeftOut = true;
}

void ClapEffect::endGesture(std::int32_t index) {
    if (valueLeftOut) sendGesture({Gesture::Value, index, engine.parameter(index)});
    valueLeftOut = false;
    sendGesture({Gesture::End, index, 0.0});
    // Hosts that save only on their own changes (Qtractor) would otherwise keep Save off
    // and lose the turn at quit.
    if (hostState) hostState->mark_dirty(host);
}

// Always safe to ask: the host answers with a process or a flush.
void ClapEffect::sendGesture(const Gesture& gesture) {
    gestures.push(gesture);
    if (hostParams) hostParams->request_flush(host);
}

// A rate of 0 keeps the last one: reset clears the filter's state alone.
bool ClapEffect::activate(double rate) {
    if (rate > 0.0) sampleRate = static_cast<float>(rate);
    engine.prepare(sampleRate);
    return true;
}

double ClapEffect::plainValue(std::int32_t index) const { return plainFor(index, engine.parameter(index)); }

float ClapEffect::engineValue(std::int32_t index, double plain) const {
    if (!isStages(index)) return static_cast<float>(plain);
    const double count = plain < 1.0 ? 1.0 : plain > 4.0 ? 4.0 : std::floor(plain + 0.5);
    return stepValue(index, static_cast<std::int32_t>(count) - 1);
}

void ClapEffect::apply(const clap_event_header_t* event) {
    if (event->space_id != CLAP_CORE_EVENT_SPACE_ID) return;
    if (event->type == CLAP_EVENT_PARAM_VALUE) {
        const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
        const std::int32_t index = indexFor(value->param_id);
        if (index >= 0) engine.setParameter(index, engineValue(index, value->value));
    } else if (event->type == CLAP_EVENT_MIDI) {
        const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
        engine.midiMessage(midi->data[0], midi->data[1], midi->data[2]);
    }
}

// Parameters MIDI or the joystick moved, as value events, so the host's lanes follow.
void ClapEffect::reportEngineChanges(std::uint32_t time, const clap_output_events_t* out) {
    ParameterChange change;
    while (engine.takeControllerChange(change)) {
        if (!out) continue;
        const clap_event_param_value_t event =
            valueEvent(time, change.index, isStages(change.index) ? plainValue(change.index) : change.value);
        out->try_push(out, &event.header);
    }
}

// The panel's gestures, at the block's start.
void ClapEffect::reportGestures(const clap_output_events_t* out) {
    Gesture gesture;
    while (gestures.pop(gesture)) {
        if (!out) continue;
        if (gesture.kind == Gesture::Value) {
            const clap_event_param_value_t event = valueEvent(0, gesture.index, plainFor(gesture.index, float(gesture.value)));
            out->try_push(out, &event.header);
            continue;
        }
        clap_event_param_gesture_t event{};
        event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID,
                        gesture.kind == Gesture::Begin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END, 0};
        event.param_id = parameterDescription(gesture.index).id;
        out->try_push(out, &event.header);
    }
}

clap_process_status ClapEffect::process(const clap_process_t* p) {
    const std::uint32_t frames = p->frames_count;
    const bool audio = p->audio_inputs_count > 0 && p->audio_outputs_count > 0 &&
                       p->audio_inputs[0].data32 && p->audio_outputs[0].data32 &&
                       p->audio_inputs[0].channel_count >= static_cast<std::uint32_t>(channels) &&
                       p->audio_outputs[0].channel_count >= static_cast<std::uint32_t>(channels);
    float* const* in = audio ? p->audio_inputs[0].data32 : nullptr;
    float* const* out = audio ? p->audio_outputs[0].data32 : nullptr;
    const std::uint32_t count = p->in_events ? p->in_events->size(p->in_events) : 0;
    std::uint32_t done = 0;
    reportGestures(p->out_events);
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = p->in_events->get(p->in_events, i);
        if (!event) continue;
        const std::uint32_t at = event->time < done ? done : event->time > frames ? frames : event->time;
        if (audio) engine.processFrames(in, out, static_cast<std::int32_t>(done), static_cast<std::int32_t>(at));
        done = at;
        apply(event);
        reportEngineChanges(at, p->out_events);
    }
    if (audio) engine.processFrames(in, out, static_cast<std::int32_t>(done), static_cast<std::int32_t>(frames));
    reportEngineChanges(frames > 0 ? frames - 1 : 0, p->out_events);
    return CLAP_PROCESS_CONTINUE;
}

// The host flushes on the main thread while not processing, on the audio thread while it
// is, so flush never runs beside process and may take the panel's gestures as process does.
void ClapEffect::flush(const clap_input_events_t* in, const clap_output_events_t* out) {
    assert(processing.load(std::memory_order_relaxed) ? threadCheck.audioThread() : threadCheck.mainThread());
    reportGestures(out);
    const std::uint32_t count = in ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i)
        if (const clap_event_header_t* event = in->get(in, i)) apply(event);
    reportEngineChanges(0, out);
}

bool ClapEffect::save(const clap_ostream_t* stream) const {
    if (!stream) return false;
    PluginSettings settings;
    for (std::int32_t i = 0; i < kNumParams; ++i) settings.values[i] = engine.parameter(i);
    const std::vector<std::uint8_t> bytes = writePluginState(settings);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t wrote = stream->write(stream, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Streams may give a few bytes per call: read until the end.
bool ClapEffect::load(const clap_istream_t* stream) {
    if (!stream) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[512];
    for (;;) {
        const std::int64_t got = stream->read(stream, chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (1u << 16)) return false;  // not ours
    }
    PluginSettings settings;
    if (!readPluginState(bytes.data(), bytes.size(), settings)) return false;
    for (std::int32_t i = 0; i < kNumParams; ++i) engine.setParameter(i, settings.values[i]);
    return true;
}
