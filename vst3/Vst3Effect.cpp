#include "vst3/Vst3Effect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "plugin/PluginDescription.h"
#include "plugin/PluginState.h"
#include "vst3/Vst3View.h"

namespace {

Vst3Effect* owner(void* self) { return static_cast<Vst3Effect::Face*>(self)->owner; }

bool sameId(const v3_tuid a, const v3_tuid b) { return std::memcmp(a, b, sizeof(v3_tuid)) == 0; }

// Our state is a few hundred bytes; anything much larger is not ours.
constexpr std::size_t kLargestState = 1 << 16;

// Streams may move a few bytes per call: read until the stream has nothing more.
bool readWholeStream(v3_bstream** stream, std::vector<std::uint8_t>& bytes) {
    if (!stream) return false;
    std::uint8_t chunk[512];
    for (;;) {
        std::int32_t got = 0;
        if (v3_cpp_obj(stream)->read(stream, chunk, sizeof chunk, &got) != V3_OK || got <= 0) break;
        bytes.insert(bytes.end(), chunk, chunk + std::min<std::int32_t>(got, sizeof chunk));
        if (bytes.size() > kLargestState) return false;
    }
    return true;
}

bool writeWholeStream(v3_bstream** stream, std::vector<std::uint8_t>& bytes) {
    if (!stream) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::int32_t wrote = 0;
        const auto rest = static_cast<std::int32_t>(bytes.size() - done);
        if (v3_cpp_obj(stream)->write(stream, bytes.data() + done, rest, &wrote) != V3_OK || wrote <= 0)
            return false;
        done += static_cast<std::size_t>(std::min(wrote, rest));
    }
    return true;
}

std::int32_t channelCountOf(v3_speaker_arrangement arrangement) {
    std::int32_t n = 0;
    for (; arrangement; arrangement &= arrangement - 1) ++n;
    return n;
}

// The MIDI message a hidden controller parameter stands for.
TimedMidiMessage midiMessageFor(std::int16_t controller, double normalized, std::int32_t offset) {
    const double v = normalized < 0.0 ? 0.0 : normalized > 1.0 ? 1.0 : normalized;
    if (controller == kVst3PitchBend) {
        const auto bend = static_cast<int>(std::lround(v * 16383.0));
        return {offset, 0xE0, static_cast<unsigned char>(bend & 0x7F),
                static_cast<unsigned char>(bend >> 7)};
    }
    const auto byte = static_cast<unsigned char>(std::lround(v * 127.0));
    if (controller == kVst3AfterTouch) return {offset, 0xD0, byte, 0};
    return {offset, 0xB0, static_cast<unsigned char>(controller), byte};
}

// --- The interface tables -----------------------------------------------------------

v3_result V3_API queryInterface(void* self, const v3_tuid iid, void** object) {
    return owner(self)->queryInterface(iid, object);
}
std::uint32_t V3_API addRef(void* self) { return owner(self)->addRef(); }
std::uint32_t V3_API release(void* self) { return owner(self)->release(); }
v3_result V3_API initialize(void*, v3_funknown**) { return V3_OK; }
v3_result V3_API terminate(void*) { return V3_OK; }

#define QV_FUNKNOWN {queryInterface, addRef, release}

// Component.
// No separate controller class: the component is its own controller.
v3_result V3_API controllerClassId(void*, v3_tuid) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API setIoMode(void*, std::int32_t) { return V3_OK; }
std::int32_t V3_API busCount(void* self, std::int32_t type, std::int32_t direction) {
    return owner(self)->busCount(type, direction);
}
v3_result V3_API busInfo(void* self, std::int32_t type, std::int32_t direction,
                         std::int32_t index, v3_bus_info* info) {
    return owner(self)->busInfo(type, direction, index, info);
}
v3_result V3_API routingInfo(void*, v3_routing_info*, v3_routing_info*) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API activateBus(void*, std::int32_t, std::int32_t, std::int32_t, v3_bool) { return V3_OK; }
v3_result V3_API setActive(void* self, v3_bool state) { return owner(self)->setActive(state != 0); }
v3_result V3_API setState(void* self, v3_bstream** stream) { return owner(self)->setState(stream); }
v3_result V3_API getState(void* self, v3_bstream** stream) { return owner(self)->getState(stream); }

const v3_component_cpp kComponentTable = {
    QV_FUNKNOWN,
    {initialize, terminate},
    {controllerClassId, setIoMode, busCount, busInfo, routingInfo, activateBus, setActive,
     setState, getState},
};

// Audio processor.
v3_result V3_API setBusArrangements(void* self, v3_speaker_arrangement* inputs, std::int32_t inputCount,
                                    v3_speaker_arrangement* outputs, std::int32_t outputCount) {
    return owner(self)->setBusArrangements(inputs, inputCount, outputs, outputCount);
}
v3_result V3_API busArrangement(void* self, std::int32_t direction, std::int32_t index,
                                v3_speaker_arrangement* arrangement) {
    return owner(self)->busArrangement(direction, index, arrangement);
}
// 32-bit samples only: the engine's arithmetic is defined on floats.
v3_result V3_API canProcessSampleSize(void*, std::int32_t size) {
    return size == V3_SAMPLE_32 ? V3_OK : V3_FALSE;
}
std::uint32_t V3_API latencySamples(void*) { return 0; }
v3_result V3_API setupProcessing(void* self, v3_process_setup* setup) {
    return owner(self)->setupProcessing(setup);
}
v3_result V3_API setProcessing(void*, v3_bool) { return V3_OK; }
v3_result V3_API process(void* self, v3_process_data* data) { return owner(self)->process(data); }
std::uint32_t V3_API tailSamples(void*) { return 0; }

const v3_audio_processor_cpp kProcessorTable = {
    QV_FUNKNOWN,
    {setBusArrangements, busArrangement, canProcessSampleSize, latencySamples, setupProcessing,
     setProcessing, process, tailSamples},
};

// Edit controller.
v3_result V3_API setComponentState(void* self, v3_bstream** stream) {
    return owner(self)->setComponentState(stream);
}
// The controller keeps nothing of its own: everything is in the component's state.
v3_result V3_API setControllerState(void*, v3_bstream**) { return V3_OK; }
v3_result V3_API getControllerState(void*, v3_bstream**) { return V3_OK; }
std::int32_t V3_API parameterCount(void* self) { return owner(self)->parameterCount(); }
v3_result V3_API parameterInfo(void* self, std::int32_t index, v3_param_info* info) {
    return owner(self)->parameterInfo(index, info);
}
v3_result V3_API textForValue(void* self, v3_param_id id, double normalized, v3_str_128 text) {
    return owner(self)->textForValue(id, normalized, text);
}
v3_result V3_API valueForText(void* self, v3_param_id id, std::int16_t* text, double* normalized) {
    return owner(self)->valueForText(id, text, normalized);
}
double V3_API toPlain(void* self, v3_param_id id, double normalized) {
    return owner(self)->toPlain(id, normalized);
}
double V3_API toNormalized(void* self, v3_param_id id, double plain) {
    return owner(self)->toNormalized(id, plain);
}
double V3_API parameterValue(void* self, v3_param_id id) { return owner(self)->parameterValue(id); }
v3_result V3_API setParameterValue(void* self, v3_param_id id, double normalized) {
    return owner(self)->setParameterValue(id, normalized);
}
v3_result V3_API setComponentHandler(void* self, v3_component_handler** handler) {
    return owner(self)->setComponentHandler(handler);
}
v3_plugin_view** V3_API createView(void* self, const char* name) { return owner(self)->createView(name); }

const v3_edit_controller_cpp kControllerTable = {
    QV_FUNKNOWN,
    {initialize, terminate},
    {setComponentState, setControllerState, getControllerState, parameterCount, parameterInfo,
     textForValue, valueForText, toPlain, toNormalized, parameterValue, setParameterValue,
     setComponentHandler, createView},
};

// MIDI mapping.
v3_result V3_API midiControllerAssignment(void* self, std::int32_t bus, std::int16_t,
                                          std::int16_t cc, v3_param_id* id) {
    return owner(self)->midiControllerAssignment(bus, cc, id);
}

const v3_midi_mapping_cpp kMidiMappingTable = {QV_FUNKNOWN, {midiControllerAssignment}};

// Units: one, the root, with the factory programs as its program list.
std::int32_t V3_API unitCount(void*) { return 1; }
v3_result V3_API unitInfo(void* self, std::int32_t index, v3_unit_info* info) {
    return owner(self)->unitInfo(index, info);
}
std::int32_t V3_API programListCount(void*) { return 1; }
v3_result V3_API programListInfo(void* self, std::int32_t index, v3_program_list_info* info) {
    return owner(self)->programListInfo(index, info);
}
v3_result V3_API programName(void* self, std::int32_t list, std::int32_t program, v3_str_128 name) {
    return owner(self)->programName(list, program, name);
}
v3_result V3_API programInfo(void*, std::int32_t, std::int32_t, const char*, v3_str_128) {
    return V3_FALSE;
}
v3_result V3_API hasPitchNames(void*, std::int32_t, std::int32_t) { return V3_FALSE; }
v3_result V3_API pitchName(void*, std::int32_t, std::int32_t, std::int16_t, v3_str_128) {
    return V3_FALSE;
}
std::int32_t V3_API selectedUnit(void*) { return 0; }
v3_result V3_API selectUnit(void*, std::int32_t) { return V3_OK; }
v3_result V3_API unitByBus(void*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                           std::int32_t* unit) {
    *unit = 0;
    return V3_OK;
}
v3_result V3_API setUnitProgramData(void*, std::int32_t, std::int32_t, v3_bstream**) {
    return V3_NOT_IMPLEMENTED;
}

const v3_unit_information_cpp kUnitsTable = {
    QV_FUNKNOWN,
    {unitCount, unitInfo, programListCount, programListInfo, programName, programInfo,
     hasPitchNames, pitchName, selectedUnit, selectUnit, unitByBus, setUnitProgramData},
};

}  // namespace

// --- The effect ---------------------------------------------------------------------

Vst3Effect::Vst3Effect(bool halfPower)
    : component{&kComponentTable, this},
      processor{&kProcessorTable, this},
      controller{&kControllerTable, this},
      midiMapping{&kMidiMappingTable, this},
      units{&kUnitsTable, this},
      engine(kMaxChannels, halfPower) {
    for (std::int32_t i = 0; i < kNumParams; ++i) shownValues[i].store(engine.parameter(i));
    // The joystick axes have no VST3 controller; MIDI controllers keep their numbers.
    const ControllerMap& map = processControllerMap();
    for (const ControllerAssignment& entry : map.entries) {
        const std::int32_t cc = entry.cc();
        const std::int16_t controller = cc == kCcPitchBend ? kVst3PitchBend
                                        : cc == kCcPressure ? kVst3AfterTouch
                                        : cc < 128          ? static_cast<std::int16_t>(cc)
                                                            : -1;
        if (controller >= 0 && !midiMapped[controller]) {
            midiMapped[controller] = true;
            ++midiParameterCount;
        }
    }
    setActive(true);
}

Vst3Effect::~Vst3Effect() {
    if (handler) v3_cpp_obj_unref(handler);
}

std::uint32_t Vst3Effect::release() {
    const std::uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

v3_result Vst3Effect::queryInterface(const v3_tuid iid, void** object) {
    Face* face = nullptr;
    if (sameId(iid, v3_funknown_iid) || sameId(iid, v3_plugin_base_iid) ||
        sameId(iid, v3_component_iid))
        face = &component;
    else if (sameId(iid, v3_audio_processor_iid))
        face = &processor;
    else if (sameId(iid, v3_edit_controller_iid))
        face = &controller;
    else if (sameId(iid, v3_midi_mapping_iid))
        face = &midiMapping;
    else if (sameId(iid, v3_unit_information_iid))
        face = &units;
    *object = face;
    if (!face) return V3_NO_INTERFACE;
    addRef();
    return V3_OK;
}

// Audio in and out on one main bus each; MIDI in on one event bus, for the controllers
// that Quorvane.ini maps (hosts deliver them through the MIDI mapping).
std::int32_t Vst3Effect::busCount(std::int32_t mediaType, std::int32_t direction) const {
    if (mediaType == V3_AUDIO) return 1;
    return mediaType == V3_EVENT && direction == V3_INPUT ? 1 : 0;
}

v3_result Vst3Effect::busInfo(std::int32_t mediaType, std::int32_t direction, std::int32_t index,
                              v3_bus_info* info) const {
    if (!info || index != 0 || busCount(mediaType, direction) == 0) return V3_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    info->media_type = mediaType;
    info->direction = direction;
    info->bus_type = V3_MAIN;
    info->flags = V3_DEFAULT_ACTIVE;
    if (mediaType == V3_EVENT) {
        info->channel_count = 16;
        toUtf16(info->bus_name, "MIDI In");
    } else {
        info->channel_count = channels;
        toUtf16(info->bus_name, direction == V3_INPUT ? "Input" : "Output");
    }
    return V3_OK;
}

// Any arrangement of 1 to 6 channels, the same in and out.
v3_result Vst3Effect::setBusArrangements(const v3_speaker_arrangement* inputs,
                                         std::int32_t inputCount,
                                         const v3_speaker_arrangement* outputs,
                                         std::int32_t outputCount) {
    if (inputCount != 1 || outputCount != 1 || !inputs || !outputs || inputs[0] != outputs[0])
        return V3_FALSE;
    const std::int32_t count = channelCountOf(inputs[0]);
    if (count < 1 || count > kMaxChannels) return V3_FALSE;
    arrangement = inputs[0];
    channels = count;
    return V3_OK;
}

v3_result Vst3Effect::busArrangement(std::int32_t, std::int32_t index,
                                     v3_speaker_arrangement* out) const {
    if (index != 0 || !out) return V3_INVALID_ARG;
    *out = arrangement;
    return V3_OK;
}

v3_result Vst3Effect::setupProcessing(const v3_process_setup* setup) {
    if (!setup || setup->symbolic_sample_size != V3_SAMPLE_32) return V3_FALSE;
    sampleRate = static_cast<float>(setup->sample_rate);
    return V3_OK;
}

v3_result Vst3Effect::setActive(bool active) {
    if (active) {
        bool connected[kMaxChannels] = {};
        for (std::int32_t c = 0; c < channels; ++c) connected[c] = true;
        engine.prepare(sampleRate, connected);
    }
    return V3_OK;
}

void Vst3Effect::applySettings(const PluginSettings& settings, bool toEngine) {
    currentProgram.store(settings.program);
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        if (toEngine) engine.setParameter(i, settings.values[i]);
        shownValues[i].store(settings.values[i]);
    }
}

v3_result Vst3Effect::setState(v3_bstream** stream) {
    std::vector<std::uint8_t> bytes;
    PluginSettings settings;
    if (!readWholeStream(stream, bytes) || !readPluginState(bytes.data(), bytes.size(), settings))
        return V3_FALSE;
    applySettings(settings, true);
    return V3_OK;
}

v3_result Vst3Effect::getState(v3_bstream** stream) {
    PluginSettings settings;
    settings.program = currentProgram.load();
    for (std::int32_t i = 0; i < kNumParams; ++i) settings.values[i] = shownValues[i].load();
    std::vector<std::uint8_t> bytes = writePluginState(settings);
    return writeWholeStream(stream, bytes) ? V3_OK : V3_FALSE;
}

v3_result Vst3Effect::setComponentState(v3_bstream** stream) {
    std::vector<std::uint8_t> bytes;
    PluginSettings settings;
    if (!readWholeStream(stream, bytes) || !readPluginState(bytes.data(), bytes.size(), settings))
        return V3_FALSE;
    applySettings(settings, false);
    return V3_OK;
}

bool Vst3Effect::isMidiParameter(v3_param_id id) const {
    return id >= kMidiParameterBase && id < kMidiParameterBase + 130 &&
           midiMapped[id - kMidiParameterBase];
}

std::int32_t Vst3Effect::programFor(double normalized) const {
    const double v = normalized < 0.0 ? 0.0 : normalized > 1.0 ? 1.0 : normalized;
    return static_cast<std::int32_t>(std::lround(v * (kNumPrograms - 1)));
}

// --- Processing ---------------------------------------------------------------------

// Every parameter point and MIDI controller in the block, in time order; the block is
// run in pieces that end where an event takes effect.
v3_result Vst3Effect::process(v3_process_data* data) {
    if (!data || data->symbolic_sample_size != V3_SAMPLE_32) return V3_INVALID_ARG;
    std::int32_t count = 0;
    if (v3_param_changes** changes = data->input_params) {
        const std::int32_t queues = v3_cpp_obj(changes)->get_param_count(changes);
        for (std::int32_t q = 0; q < queues; ++q) {
            v3_param_value_queue** queue = v3_cpp_obj(changes)->get_param_data(changes, q);
            if (!queue) continue;
            const v3_param_id id = v3_cpp_obj(queue)->get_param_id(queue);
            const std::int32_t points = v3_cpp_obj(queue)->get_point_count(queue);
            for (std::int32_t p = 0; p < points && count < kMaxEvents; ++p) {
                TimedEvent& e = events[count];
                if (v3_cpp_obj(queue)->get_point(queue, p, &e.offset, &e.value) != V3_OK) continue;
                e.id = id;
                e.order = count++;
            }
        }
    }
    // At one frame a program change goes first: values set with it are meant to change
    // the program's, not to be overwritten by it.
    std::sort(events, events + count, [](const TimedEvent& a, const TimedEvent& b) {
        const bool aProgram = a.id == kProgramParameterId, bProgram = b.id == kProgramParameterId;
        if (a.offset != b.offset) return a.offset < b.offset;
        if (aProgram != bProgram) return aProgram;
        return a.order < b.order;
    });

    const std::int32_t frames = data->nframes > 0 ? data->nframes : 0;
    const bool audio = frames > 0 && data->num_input_buses > 0 && data->num_output_buses > 0 &&
                       data->inputs[0].num_channels >= channels &&
                       data->outputs[0].num_channels >= channels;
    float* const* in = audio ? data->inputs[0].channel_buffers_32 : nullptr;
    float* const* out = audio ? data->outputs[0].channel_buffers_32 : nullptr;
    std::int32_t done = 0;
    reportedInBlock = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t at = std::clamp(events[i].offset, done, frames);
        if (audio) engine.processFrames(in, out, done, at);
        done = at;
        applyEvent(events[i], at, data->output_params);
        reportEngineChanges(at, data->output_params);
    }
    if (audio) engine.processFrames(in, out, done, frames);
    reportEngineChanges(frames > 0 ? frames - 1 : 0, data->output_params);
    return V3_OK;
}

void Vst3Effect::applyEvent(const TimedEvent& event, std::int32_t offset, v3_param_changes** output) {
    if (event.id < static_cast<v3_param_id>(kNumParams)) {
        const auto index = parameterIndexForId(event.id);
        engine.setParameter(index, static_cast<float>(event.value));
        shownValues[index].store(engine.parameter(index));
        // Hosts take the last point of a queue (Ardour also tells the controller): after a
        // program or MIDI reported this parameter in the block, the host's own later
        // change must come last, or the host goes back to the reported value.
        if (reportedInBlock & (1u << index)) report(index, offset, output);
    } else if (event.id == kProgramParameterId) {
        const std::int32_t program = programFor(event.value);
        currentProgram.store(program);
        // The host learns the program's values as changes from the processor.
        for (std::int32_t i = 0; i < kNumParams; ++i) {
            engine.setParameter(i, factoryProgram(program).values[i]);
            shownValues[i].store(engine.parameter(i));
            report(i, offset, output);
        }
    } else if (isMidiParameter(event.id)) {
        const auto controller = static_cast<std::int16_t>(event.id - kMidiParameterBase);
        midiValues[controller].store(static_cast<float>(event.value));
        const TimedMidiMessage m = midiMessageFor(controller, event.value, event.offset);
        engine.midiMessage(m.status, m.data1, m.data2);
    }
}

// Parameters MIDI or the joystick moved, as changes from the processor, so the host's
// automation and the controller follow.
void Vst3Effect::reportEngineChanges(std::int32_t offset, v3_param_changes** output) {
    ParameterChange change;
    while (engine.takeControllerChange(change)) {
        shownValues[change.index].store(change.value);
        report(change.index, offset, output);
    }
}

void Vst3Effect::report(std::int32_t index, std::int32_t offset, v3_param_changes** output) {
    reportedInBlock |= 1u << index;
    if (!output) return;
    v3_param_id id = parameterDescription(index).id;
    std::int32_t slot = 0;
    if (v3_param_value_queue** queue = v3_cpp_obj(output)->add_param_data(output, &id, &slot))
        v3_cpp_obj(queue)->add_point(queue, offset, shownValues[index].load(), &slot);
}

// --- The controller -----------------------------------------------------------------

v3_result Vst3Effect::parameterInfo(std::int32_t index, v3_param_info* info) const {
    if (!info || index < 0 || index >= parameterCount()) return V3_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    info->unit_id = 0;
    if (index < kNumParams) {
        const ParameterDescription& p = parameterDescription(index);
        info->param_id = p.id;
        toUtf16(info->title, p.name);
        toUtf16(info->short_title, p.shortName);
        toUtf16(info->units, p.unit);
        info->step_count = p.stepCount;
        info->default_normalised_value = p.defaultValue;
        info->flags = V3_PARAM_CAN_AUTOMATE | (p.choiceLabels ? V3_PARAM_IS_LIST : 0);
        return V3_OK;
    }
    if (index == kNumParams) {
        info->param_id = kProgramParameterId;
        toUtf16(info->title, "Program");
        toUtf16(info->short_title, "Program");
        info->step_count = kNumPrograms - 1;
        info->flags = V3_PARAM_PROGRAM_CHANGE | V3_PARAM_IS_LIST | V3_PARAM_CAN_AUTOMATE;
        return V3_OK;
    }
    // The hidden controllers, in controller order.
    std::int32_t n = index - kNumParams - 1;
    for (std::int16_t c = 0; c < 130; ++c) {
        if (!midiMapped[c] || n-- > 0) continue;
        info->param_id = kMidiParameterBase + static_cast<v3_param_id>(c);
        char title[32];
        std::snprintf(title, sizeof title, c == kVst3PitchBend ? "MIDI Pitch Bend"
                                           : c == kVst3AfterTouch ? "MIDI Pressure"
                                                                  : "MIDI CC %d", c);
        toUtf16(info->title, title);
        toUtf16(info->short_title, title);
        info->flags = V3_PARAM_IS_HIDDEN;
        return V3_OK;
    }
    return V3_INVALID_ARG;
}

v3_result Vst3Effect::textForValue(v3_param_id id, double normalized, v3_str_128 text) const {
    if (id < static_cast<v3_param_id>(kNumParams)) {
        char display[kParameterTextSize];
        parameterValueText(parameterIndexForId(id), static_cast<float>(normalized), display);
        toUtf16(text, display);
        return V3_OK;
    }
    if (id == kProgramParameterId) {
        toUtf16(text, factoryProgram(programFor(normalized)).name);
        return V3_OK;
    }
    if (!isMidiParameter(id)) return V3_INVALID_ARG;
    char number[16];
    std::snprintf(number, sizeof number, "%.4f", normalized);
    toUtf16(text, number);
    return V3_OK;
}

v3_result Vst3Effect::valueForText(v3_param_id id, const std::int16_t* text, double* normalized) const {
    char ascii[128];
    fromUtf16(text, ascii);
    if (!normalized) return V3_INVALID_ARG;
    if (id < static_cast<v3_param_id>(kNumParams)) {
        float value = 0.0f;
        if (!parameterValueFromText(parameterIndexForId(id), ascii, value)) return V3_FALSE;
        *normalized = value;
        return V3_OK;
    }
    if (id == kProgramParameterId) {
        for (std::int32_t p = 0; p < kNumPrograms; ++p)
            if (std::strcmp(ascii, factoryProgram(p).name) == 0) {
                *normalized = static_cast<double>(p) / (kNumPrograms - 1);
                return V3_OK;
            }
    }
    return V3_FALSE;
}

// Stepped parameters count their positions; the others are their 0..1 value.
double Vst3Effect::toPlain(v3_param_id id, double normalized) const {
    std::int32_t steps = 0;
    if (id < static_cast<v3_param_id>(kNumParams)) steps = parameterDescription(parameterIndexForId(id)).stepCount;
    if (id == kProgramParameterId) steps = kNumPrograms - 1;
    return steps > 0 ? std::floor(std::min(1.0, std::max(0.0, normalized)) * steps + 0.5) : normalized;
}

double Vst3Effect::toNormalized(v3_param_id id, double plain) const {
    std::int32_t steps = 0;
    if (id < static_cast<v3_param_id>(kNumParams)) steps = parameterDescription(parameterIndexForId(id)).stepCount;
    if (id == kProgramParameterId) steps = kNumPrograms - 1;
    return steps > 0 ? std::min(1.0, std::max(0.0, plain / steps)) : plain;
}

double Vst3Effect::parameterValue(v3_param_id id) const {
    if (id < static_cast<v3_param_id>(kNumParams)) return shownValues[parameterIndexForId(id)].load();
    if (id == kProgramParameterId)
        return static_cast<double>(currentProgram.load()) / (kNumPrograms - 1);
    return isMidiParameter(id) ? midiValues[id - kMidiParameterBase].load() : 0.0;
}

v3_result Vst3Effect::setParameterValue(v3_param_id id, double normalized) {
    if (!std::isfinite(normalized)) return V3_INVALID_ARG;
    if (id < static_cast<v3_param_id>(kNumParams)) {
        shownValues[parameterIndexForId(id)].store(static_cast<float>(normalized));
    } else if (id == kProgramParameterId) {
        // The processor applies the program when the change reaches it and reports the
        // new values; the controller shows them at once, and an open view tells the host.
        const std::int32_t program = programFor(normalized);
        currentProgram.store(program);
        for (std::int32_t i = 0; i < kNumParams; ++i) shownValues[i].store(factoryProgram(program).values[i]);
        valuesChangedForHost.store(true);
    } else if (isMidiParameter(id)) {
        midiValues[id - kMidiParameterBase].store(static_cast<float>(normalized));
    } else {
        return V3_INVALID_ARG;
    }
    return V3_OK;
}

v3_result Vst3Effect::setComponentHandler(v3_component_handler** newHandler) {
    if (newHandler) v3_cpp_obj_ref(newHandler);
    if (handler) v3_cpp_obj_unref(handler);
    handler = newHandler;
    return V3_OK;
}

v3_result Vst3Effect::midiControllerAssignment(std::int32_t bus, std::int16_t cc, v3_param_id* id) const {
    if (bus != 0 || cc < 0 || cc >= 130 || !midiMapped[cc] || !id) return V3_FALSE;
    *id = kMidiParameterBase + static_cast<v3_param_id>(cc);
    return V3_OK;
}

v3_result Vst3Effect::unitInfo(std::int32_t index, v3_unit_info* info) const {
    if (index != 0 || !info) return V3_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    info->parent_unit_id = -1;
    toUtf16(info->name, "Quorvane");
    info->program_list_id = kProgramListId;
    return V3_OK;
}

v3_result Vst3Effect::programListInfo(std::int32_t index, v3_program_list_info* info) const {
    if (index != 0 || !info) return V3_INVALID_ARG;
    info->id = kProgramListId;
    toUtf16(info->name, "Factory Programs");
    info->programCount = kNumPrograms;
    return V3_OK;
}

v3_result Vst3Effect::programName(std::int32_t list, std::int32_t program, v3_str_128 name) const {
    if (list != kProgramListId || program < 0 || program >= kNumPrograms) return V3_INVALID_ARG;
    toUtf16(name, factoryProgram(program).name);
    return V3_OK;
}

v3_plugin_view** Vst3Effect::createView(const char* name) {
    if (!name || std::strcmp(name, "editor") != 0) return nullptr;
    Vst3View* view = new (std::nothrow) Vst3View(*this);
    return view ? view->view() : nullptr;
}

void Vst3Effect::announceValueChanges() {
    if (handler && valuesChangedForHost.exchange(false))
        v3_cpp_obj(handler)->restart_component(handler, V3_RESTART_PARAM_VALUES_CHANGED);
}
