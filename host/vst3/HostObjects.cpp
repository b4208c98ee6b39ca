#include "host/vst3/HostObjects.h"

#include "host/vst3/Utf16.h"

namespace {

// Host objects live as long as the instance that uses them.
uint32_t V3_API keep(void*) { return 1; }

v3_result answerFor(void* self, const v3_tuid iid, void** object, const v3_tuid ownIid) {
    if (v3_tuid_match(iid, v3_funknown_iid) || v3_tuid_match(iid, ownIid)) {
        *object = self;
        return V3_OK;
    }
    *object = nullptr;
    return V3_NO_INTERFACE;
}

v3_result V3_API applicationQuery(void* self, const v3_tuid iid, void** object) {
    return answerFor(self, iid, object, v3_host_application_iid);
}

v3_result V3_API applicationName(void*, v3_str_128 name) {
    utf16FromUtf8("quorvane-render", name, 128);
    return V3_OK;
}

v3_result V3_API applicationCreate(void*, v3_tuid, v3_tuid, void** object) {
    *object = nullptr;
    return V3_NOT_IMPLEMENTED;
}

const v3_host_application_cpp kApplicationTable = {
    {applicationQuery, keep, keep},
    {applicationName, applicationCreate},
};

using Queue = Vst3ParameterChanges::Queue;

v3_result V3_API queueQuery(void* self, const v3_tuid iid, void** object) {
    return answerFor(self, iid, object, v3_param_value_queue_iid);
}
v3_param_id V3_API queueId(void* self) { return static_cast<Queue*>(self)->id; }
int32_t V3_API queuePointCount(void* self) { return static_cast<Queue*>(self)->count; }
v3_result V3_API queuePoint(void* self, int32_t index, int32_t* offset, double* value) {
    const Queue& queue = *static_cast<Queue*>(self);
    if (index < 0 || index >= queue.count) return V3_INVALID_ARG;
    *offset = queue.offsets[index];
    *value = queue.values[index];
    return V3_OK;
}
v3_result V3_API queueAddPoint(void* self, int32_t offset, double value, int32_t* index) {
    Queue& queue = *static_cast<Queue*>(self);
    if (queue.count == Vst3ParameterChanges::kPointsPerQueue) return V3_NOMEM;
    queue.offsets[queue.count] = offset;
    queue.values[queue.count] = value;
    if (index) *index = queue.count;
    ++queue.count;
    return V3_OK;
}

const v3_param_value_queue_cpp kQueueTable = {
    {queueQuery, keep, keep},
    {queueId, queuePointCount, queuePoint, queueAddPoint},
};

}  // namespace

struct Vst3ParameterChangesCalls {
    static Vst3ParameterChanges& owner(void* self) {
        return *static_cast<Vst3ParameterChanges::Object*>(self)->owner;
    }
    static v3_result V3_API query(void* self, const v3_tuid iid, void** object) {
        return answerFor(self, iid, object, v3_param_changes_iid);
    }
    static int32_t V3_API count(void* self) { return owner(self).used; }
    static v3_param_value_queue** V3_API data(void* self, int32_t index) {
        Vst3ParameterChanges& changes = owner(self);
        if (index < 0 || index >= changes.used) return nullptr;
        return reinterpret_cast<v3_param_value_queue**>(&changes.queues[index]);
    }
    static v3_param_value_queue** V3_API add(void* self, v3_param_id* id, int32_t* index) {
        Vst3ParameterChanges& changes = owner(self);
        Queue* queue = changes.queueFor(*id);
        if (!queue) return nullptr;
        if (index) *index = static_cast<int32_t>(queue - changes.queues.data());
        return reinterpret_cast<v3_param_value_queue**>(queue);
    }
};

namespace {

const v3_param_changes_cpp kChangesTable = {
    {Vst3ParameterChangesCalls::query, keep, keep},
    {Vst3ParameterChangesCalls::count, Vst3ParameterChangesCalls::data, Vst3ParameterChangesCalls::add},
};

}  // namespace

Vst3HostApplication::Vst3HostApplication() : self{&kApplicationTable} {}

Vst3ParameterChanges::Vst3ParameterChanges(std::size_t parameters)
    : self{&kChangesTable, this}, queues(parameters ? parameters : 1) {}

Vst3ParameterChanges::Queue* Vst3ParameterChanges::queueFor(v3_param_id id) {
    for (int32_t i = 0; i < used; ++i)
        if (queues[i].id == id) return &queues[i];
    if (used == static_cast<int32_t>(queues.size())) return nullptr;
    Queue& queue = queues[used++];
    queue.table = &kQueueTable;
    queue.id = id;
    queue.count = 0;
    return &queue;
}

bool Vst3ParameterChanges::add(v3_param_id id, int32_t offset, double value) {
    Queue* queue = queueFor(id);
    return queue && queueAddPoint(queue, offset, value, nullptr) == V3_OK;
}
