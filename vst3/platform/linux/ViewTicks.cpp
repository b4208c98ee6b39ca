// The view's ticks from the host's run loop, which a Linux host offers through the plug
// frame: a timer, and a handler for the X connection's descriptor, so that pointer events
// reach the panel as they come. A host without a run loop gets no ticks: the panel then
// shows but does not follow changes.
#include <cstring>

#include "vst3/Vst3View.h"

namespace {

class RunLoopTicks final : public ViewTicks {
public:
    RunLoopTicks(Vst3View& view, v3_run_loop** loop, int descriptor)
        : timerFace{&kTimerTable, this}, eventFace{&kEventTable, this}, view(view), loop(loop) {
        v3_cpp_obj(loop)->register_timer(loop, timer(), 30);
        if (descriptor >= 0) watching = v3_cpp_obj(loop)->register_event_handler(loop, events(), descriptor) == V3_OK;
    }
    ~RunLoopTicks() override {
        v3_cpp_obj(loop)->unregister_timer(loop, timer());
        if (watching) v3_cpp_obj(loop)->unregister_event_handler(loop, events());
        v3_cpp_obj_unref(loop);
    }

private:
    struct Face {
        const void* table;
        RunLoopTicks* owner;
    };
    static RunLoopTicks* owner(void* self) { return static_cast<Face*>(self)->owner; }
    // The host holds the handlers only while registered, and this object outlives that.
    static v3_result V3_API query(void* self, const v3_tuid iid, void** object) {
        const bool timerAsked = std::memcmp(iid, v3_timer_handler_iid, sizeof(v3_tuid)) == 0;
        const bool eventAsked = std::memcmp(iid, v3_event_handler_iid, sizeof(v3_tuid)) == 0;
        const bool anyAsked = std::memcmp(iid, v3_funknown_iid, sizeof(v3_tuid)) == 0;
        *object = timerAsked ? static_cast<void*>(&owner(self)->timerFace)
                  : eventAsked ? static_cast<void*>(&owner(self)->eventFace)
                  : anyAsked ? self : nullptr;
        return *object ? V3_OK : V3_NO_INTERFACE;
    }
    static std::uint32_t V3_API keep(void*) { return 1; }
    static void V3_API onTimer(void* self) { owner(self)->view.tick(); }
    static void V3_API onDescriptor(void* self, int) { owner(self)->view.windowEvents(); }
    static inline const v3_timer_handler_cpp kTimerTable = {{query, keep, keep}, {onTimer}};
    static inline const v3_event_handler_cpp kEventTable = {{query, keep, keep}, {onDescriptor}};

    v3_timer_handler** timer() { return reinterpret_cast<v3_timer_handler**>(&timerFace); }
    v3_event_handler** events() { return reinterpret_cast<v3_event_handler**>(&eventFace); }

    Face timerFace, eventFace;
    Vst3View& view;
    v3_run_loop** loop;
    bool watching = false;
};

}  // namespace

std::unique_ptr<ViewTicks> ViewTicks::start(Vst3View& view, v3_plugin_frame** frame, int descriptor) {
    v3_run_loop** loop = nullptr;
    if (!frame || v3_cpp_obj_query_interface(frame, v3_run_loop_iid, &loop) != V3_OK || !loop) return nullptr;
    return std::make_unique<RunLoopTicks>(view, loop, descriptor);
}
