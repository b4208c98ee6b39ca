// The objects a VST3 host hands to a plug-in: its application context and the lists of
// parameter changes that travel with each block. Each is a plain record whose first
// word points at its function table, as the format lays objects out; the plug-in never
// owns them, so counting references does nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "travesty/audio_processor.h"
#include "travesty/host.h"

class Vst3HostApplication {
public:
    Vst3HostApplication();
    v3_funknown** context() { return reinterpret_cast<v3_funknown**>(&self); }

private:
    struct Object {
        const v3_host_application_cpp* table;
    } self;
};

// Changes per parameter, each a queue of (offset, value) points; fixed capacity, so
// filling and reading it on the audio path allocates nothing.
class Vst3ParameterChanges {
public:
    static constexpr int kPointsPerQueue = 64;

    explicit Vst3ParameterChanges(std::size_t parameters);
    void clear() { used = 0; }
    // False when full.
    bool add(v3_param_id id, int32_t offset, double value);
    v3_param_changes** object() { return reinterpret_cast<v3_param_changes**>(&self); }

    struct Queue {
        const v3_param_value_queue_cpp* table;
        v3_param_id id;
        int32_t count;
        int32_t offsets[kPointsPerQueue];
        double values[kPointsPerQueue];
    };
    Queue* queueFor(v3_param_id id);  // an existing or a new one; null when full

    struct Object {
        const v3_param_changes_cpp* table;
        Vst3ParameterChanges* owner;
    };

private:
    Object self;
    std::vector<Queue> queues;
    int32_t used = 0;

    friend struct Vst3ParameterChangesCalls;
};
