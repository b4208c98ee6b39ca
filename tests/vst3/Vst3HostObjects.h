// The host's side of the VST3 calls the tests and the benchmark make: a byte stream that
// moves a few bytes per call, parameter changes with their points, and one instance. No reference counting: the test
// owns them for the whole call.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/dsp/TestSignals.h"
#include "vst3/Vst3Factory.h"
#include "vst3/Vst3Interfaces.h"

template <typename Object>
Object* hostObject(void* self) { return *static_cast<Object**>(static_cast<void*>(static_cast<char*>(self) + sizeof(void*))); }

inline v3_result V3_API noInterface(void*, const v3_tuid, void** object) {
    *object = nullptr;
    return V3_NO_INTERFACE;
}
inline std::uint32_t V3_API oneReference(void*) { return 1; }

// Reads and writes at most `step` bytes per call, as some hosts' streams do.
struct TrickleStream {
    explicit TrickleStream(std::vector<std::uint8_t> content = {}, std::int32_t step = 3)
        : bytes(std::move(content)), step(step) {}

    v3_bstream** get() { return reinterpret_cast<v3_bstream**>(&face); }

    std::vector<std::uint8_t> bytes;
    std::int32_t step;
    std::size_t position = 0;

private:
    static v3_result V3_API read(void* self, void* buffer, std::int32_t n, std::int32_t* done) {
        TrickleStream* s = hostObject<TrickleStream>(self);
        const auto count = static_cast<std::int32_t>(
            std::min<std::size_t>({static_cast<std::size_t>(n), static_cast<std::size_t>(s->step), s->bytes.size() - s->position}));
        if (count > 0) std::memcpy(buffer, s->bytes.data() + s->position, count);
        s->position += count;
        if (done) *done = count;
        return V3_OK;
    }
    static v3_result V3_API write(void* self, void* buffer, std::int32_t n, std::int32_t* done) {
        TrickleStream* s = hostObject<TrickleStream>(self);
        const std::int32_t count = std::min(n, s->step);
        const auto* b = static_cast<const std::uint8_t*>(buffer);
        s->bytes.insert(s->bytes.end(), b, b + count);
        if (done) *done = count;
        return V3_OK;
    }
    static v3_result V3_API seek(void*, std::int64_t, std::int32_t, std::int64_t*) { return V3_NOT_IMPLEMENTED; }
    static v3_result V3_API tell(void* self, std::int64_t* at) {
        *at = static_cast<std::int64_t>(hostObject<TrickleStream>(self)->position);
        return V3_OK;
    }
    struct Table : v3_funknown {
        v3_bstream stream;
    };
    static inline const Table table = {{noInterface, oneReference, oneReference}, {read, write, seek, tell}};
    struct {
        const Table* vtable = &table;
        TrickleStream* owner;
    } face{&table, this};
};

// Parameter changes for one block: queues of (offset, value) points per id.
struct ParameterChanges {
    struct Queue {
        v3_param_id id;
        std::vector<std::pair<std::int32_t, double>> points;
        struct {
            const void* vtable;
            Queue* owner;
        } face;
    };

    ParameterChanges() { queues.reserve(64); }
    void add(v3_param_id id, std::int32_t offset, double value) { queueFor(id).points.emplace_back(offset, value); }
    Queue* find(v3_param_id id) {
        for (Queue& q : queues)
            if (q.id == id) return &q;
        return nullptr;
    }
    v3_param_changes** get() { return reinterpret_cast<v3_param_changes**>(&face); }

    std::vector<Queue> queues;

private:
    Queue& queueFor(v3_param_id id) {
        if (Queue* q = find(id)) return *q;
        queues.push_back(Queue{id, {}, {&queueTable, nullptr}});
        for (Queue& q : queues) q.face.owner = &q;
        return queues.back();
    }
    static Queue* queueOf(void* self) { return hostObject<Queue>(self); }
    static v3_param_id V3_API id(void* self) { return queueOf(self)->id; }
    static std::int32_t V3_API pointCount(void* self) { return static_cast<std::int32_t>(queueOf(self)->points.size()); }
    static v3_result V3_API point(void* self, std::int32_t i, std::int32_t* offset, double* value) {
        const auto& p = queueOf(self)->points.at(static_cast<std::size_t>(i));
        *offset = p.first;
        *value = p.second;
        return V3_OK;
    }
    static v3_result V3_API addPoint(void* self, std::int32_t offset, double value, std::int32_t* index) {
        auto& points = queueOf(self)->points;
        points.emplace_back(offset, value);
        *index = static_cast<std::int32_t>(points.size() - 1);
        return V3_OK;
    }
    static std::int32_t V3_API count(void* self) { return static_cast<std::int32_t>(hostObject<ParameterChanges>(self)->queues.size()); }
    static v3_param_value_queue** V3_API data(void* self, std::int32_t i) {
        return reinterpret_cast<v3_param_value_queue**>(&hostObject<ParameterChanges>(self)->queues.at(static_cast<std::size_t>(i)).face);
    }
    static v3_param_value_queue** V3_API addData(void* self, v3_param_id* id, std::int32_t* index) {
        ParameterChanges* c = hostObject<ParameterChanges>(self);
        Queue& q = c->queueFor(*id);
        *index = static_cast<std::int32_t>(&q - c->queues.data());
        return reinterpret_cast<v3_param_value_queue**>(&q.face);
    }
    static inline const v3_param_value_queue_cpp queueTable = {{noInterface, oneReference, oneReference}, {id, pointCount, point, addPoint}};
    static inline const v3_param_changes_cpp table = {{noInterface, oneReference, oneReference}, {count, data, addData}};
    struct {
        const void* vtable;
        ParameterChanges* owner;
    } face{&table, this};
};

// One instance through the factory, as a host makes it.
struct Vst3TestInstance {
    Vst3TestInstance() {
        v3_plugin_factory** factory = vst3Factory();
        v3_tuid cid;
        std::memcpy(cid, kVst3ClassId, sizeof cid);
        v3_cpp_obj(factory)->create_instance(factory, cid, v3_component_iid,
                                             reinterpret_cast<void**>(&component));
        v3_cpp_obj_query_interface(component, v3_audio_processor_iid, &processor);
        v3_cpp_obj_query_interface(component, v3_edit_controller_iid, &controller);
        v3_cpp_obj_initialize(component, nullptr);
    }
    ~Vst3TestInstance() {
        v3_cpp_obj_unref(controller);
        v3_cpp_obj_unref(processor);
        v3_cpp_obj_terminate(component);
        v3_cpp_obj_unref(component);
    }
    bool activate(double rate = 44100.0, std::int32_t channels = 2) {
        v3_speaker_arrangement arrangement = channels == 1 ? V3_SPEAKER_M : V3_SPEAKER_L | V3_SPEAKER_R;
        v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, 4096, rate};
        return v3_cpp_obj(processor)->set_bus_arrangements(processor, &arrangement, 1, &arrangement, 1) == V3_OK &&
               v3_cpp_obj(processor)->setup_processing(processor, &setup) == V3_OK &&
               v3_cpp_obj(component)->set_active(component, 1) == V3_OK &&
               v3_cpp_obj(processor)->set_processing(processor, 1) == V3_OK;
    }
    v3_result process(Buffers& in, Buffers& out, std::int32_t first, std::int32_t frames,
                 ParameterChanges* changes = nullptr, ParameterChanges* output = nullptr) {
        std::vector<float*> i = in.at(first), o = out.at(first);
        v3_audio_bus_buffers inBus{}, outBus{};
        inBus.num_channels = static_cast<std::int32_t>(i.size());
        inBus.channel_buffers_32 = i.data();
        outBus.num_channels = static_cast<std::int32_t>(o.size());
        outBus.channel_buffers_32 = o.data();
        v3_process_data data{};
        data.symbolic_sample_size = V3_SAMPLE_32;
        data.nframes = frames;
        data.num_input_buses = data.num_output_buses = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.input_params = changes ? changes->get() : nullptr;
        data.output_params = output ? output->get() : nullptr;
        return v3_cpp_obj(processor)->process(processor, &data);
    }

    v3_component** component = nullptr;
    v3_audio_processor** processor = nullptr;
    v3_edit_controller** controller = nullptr;
};
