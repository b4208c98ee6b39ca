// Quorvane as a VST3 effect: one object that is both the audio component and its edit
// controller, over the one engine. The host reaches it through the interface tables in
// Vst3Effect.cpp; each table's entries find this object through the Face they are
// called on.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/RelaxedAtomic.h"
#include "plugin/PluginEngine.h"
#include "vst3/Vst3Interfaces.h"

class Vst3Effect {
public:
    // A view of this object as one interface: the host holds the Face's address and
    // finds the table through its first word.
    struct Face {
        const void* table;
        Vst3Effect* owner;
    };

    explicit Vst3Effect(bool halfPower);

    v3_result queryInterface(const v3_tuid iid, void** object);
    std::uint32_t addRef() { return ++references; }
    std::uint32_t release();

    // The component and processor.
    std::int32_t busCount(std::int32_t mediaType, std::int32_t direction) const;
    v3_result busInfo(std::int32_t mediaType, std::int32_t direction, std::int32_t index,
                      v3_bus_info* info) const;
    v3_result setActive(bool active);
    v3_result setState(v3_bstream** stream);
    v3_result getState(v3_bstream** stream);
    v3_result setBusArrangements(const v3_speaker_arrangement* inputs, std::int32_t inputCount,
                                 const v3_speaker_arrangement* outputs, std::int32_t outputCount);
    v3_result busArrangement(std::int32_t direction, std::int32_t index,
                             v3_speaker_arrangement* arrangement) const;
    v3_result setupProcessing(const v3_process_setup* setup);
    v3_result process(v3_process_data* data);

    // The controller.
    v3_result setComponentState(v3_bstream** stream);
    std::int32_t parameterCount() const { return kNumParams + 1 + midiParameterCount; }
    v3_result parameterInfo(std::int32_t index, v3_param_info* info) const;
    v3_result textForValue(v3_param_id id, double normalized, v3_str_128 text) const;
    v3_result valueForText(v3_param_id id, const std::int16_t* text, double* normalized) const;
    double toPlain(v3_param_id id, double normalized) const;
    double toNormalized(v3_param_id id, double plain) const;
    double parameterValue(v3_param_id id) const;
    v3_result setParameterValue(v3_param_id id, double normalized);
    v3_result setComponentHandler(v3_component_handler** handler);
    v3_component_handler** componentHandler() const { return handler; }
    v3_plugin_view** createView(const char* name);
    std::int32_t oversampleFactor() const { return engine.oversampleFactor(); }
    // Tells the host that a program changed every value, when one did since the last call;
    // from the view's timer, never from inside the host's own parameter call.
    void announceValueChanges();
    v3_result midiControllerAssignment(std::int32_t bus, std::int16_t cc, v3_param_id* id) const;

    // Units and the program list.
    v3_result unitInfo(std::int32_t index, v3_unit_info* info) const;
    v3_result programListInfo(std::int32_t index, v3_program_list_info* info) const;
    v3_result programName(std::int32_t list, std::int32_t program, v3_str_128 name) const;

    Face component, processor, controller, midiMapping, units;

private:
    struct TimedEvent {
        std::int32_t offset;
        std::int32_t order;  // keeps the host's order among events at one offset
        v3_param_id id;
        double value;
    };
    static constexpr std::int32_t kMaxEvents = 2048;

    ~Vst3Effect();
    bool isMidiParameter(v3_param_id id) const;
    std::int32_t programFor(double normalized) const;
    void applyEvent(const TimedEvent& event, std::int32_t offset, v3_param_changes** output);
    void reportEngineChanges(std::int32_t offset, v3_param_changes** output);
    // A change of the processor's own, sent to the host as an output point.
    void report(std::int32_t index, std::int32_t offset, v3_param_changes** output);
    void applySettings(const struct PluginSettings& settings, bool toEngine);

    std::atomic<std::uint32_t> references{1};
    PluginEngine engine;
    std::int32_t channels = 2;
    v3_speaker_arrangement arrangement = V3_SPEAKER_L | V3_SPEAKER_R;
    float sampleRate = 44100.0f;
    RelaxedAtomic<std::int32_t> currentProgram{0};
    // The latest values from the host, the programs and MIDI: what the controller shows and
    // the state saves, also while the host does not process (a deactivated plug-in in
    // Ardour), when the engine has not seen them yet. Then the hidden controllers' positions.
    RelaxedAtomic<float> shownValues[kNumParams];
    RelaxedAtomic<float> midiValues[130];
    // The controllers Quorvane.ini maps, by VST3 controller number.
    bool midiMapped[130] = {};
    std::int32_t midiParameterCount = 0;
    v3_component_handler** handler = nullptr;
    std::atomic<bool> valuesChangedForHost{false};
    // The parameters reported to the host in the current block, one bit each.
    std::uint32_t reportedInBlock = 0;
    TimedEvent events[kMaxEvents];
};
