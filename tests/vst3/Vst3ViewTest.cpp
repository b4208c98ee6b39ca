// The VST3 plug view in a window under X, driven as a Linux host drives it: the frame's
// run loop ticks it and hands it the X connection's events. A real pointer drag reaches
// the component handler as begin, rising performs and end; a value the host sets moves
// the knob's pixels; the host's content scale sizes it; attach and remove leave nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "plugin/PluginDescription.h"
#include "tests/support/X11HostWindow.h"
#include "tests/vst3/Vst3HostObjects.h"

namespace {

// The host's frame with its run loop, and its component handler, recording what they see.
struct Vst3Host {
    struct Edit {
        char kind;  // 'b'egin, 'p'erform, 'e'nd
        v3_param_id id;
        double value;
    };
    std::vector<Edit> edits;
    v3_timer_handler** timer = nullptr;
    v3_event_handler** events = nullptr;
    int restarts = 0;

    void tick() {
        if (timer) v3_cpp_obj(timer)->on_timer(timer);
    }
    void deliver() {
        if (events) v3_cpp_obj(events)->on_fd_is_set(events, 0);
    }

    v3_plugin_frame** frame() { return reinterpret_cast<v3_plugin_frame**>(&frameFace); }
    v3_component_handler** handler() { return reinterpret_cast<v3_component_handler**>(&handlerFace); }

private:
    static v3_result V3_API query(void* self, const v3_tuid iid, void** object) {
        Vst3Host* host = hostObject<Vst3Host>(self);
        if (std::memcmp(iid, v3_run_loop_iid, sizeof(v3_tuid)) == 0) {
            *object = &host->loopFace;
            return V3_OK;
        }
        *object = nullptr;
        return V3_NO_INTERFACE;
    }
    static v3_result V3_API resizeView(void*, v3_plugin_view**, v3_view_rect*) { return V3_OK; }
    static v3_result V3_API registerEvents(void* self, v3_event_handler** h, int) {
        hostObject<Vst3Host>(self)->events = h;
        return V3_OK;
    }
    static v3_result V3_API unregisterEvents(void* self, v3_event_handler**) {
        hostObject<Vst3Host>(self)->events = nullptr;
        return V3_OK;
    }
    static v3_result V3_API registerTimer(void* self, v3_timer_handler** h, std::uint64_t) {
        hostObject<Vst3Host>(self)->timer = h;
        return V3_OK;
    }
    static v3_result V3_API unregisterTimer(void* self, v3_timer_handler**) {
        hostObject<Vst3Host>(self)->timer = nullptr;
        return V3_OK;
    }
    static v3_result V3_API begin(void* self, v3_param_id id) { return record(self, 'b', id, 0.0); }
    static v3_result V3_API perform(void* self, v3_param_id id, double v) { return record(self, 'p', id, v); }
    static v3_result V3_API end(void* self, v3_param_id id) { return record(self, 'e', id, 0.0); }
    static v3_result V3_API restart(void* self, std::int32_t) {
        ++hostObject<Vst3Host>(self)->restarts;
        return V3_OK;
    }
    static v3_result record(void* self, char kind, v3_param_id id, double value) {
        hostObject<Vst3Host>(self)->edits.push_back({kind, id, value});
        return V3_OK;
    }
    static inline const v3_plugin_frame_cpp kFrame = {{query, oneReference, oneReference}, {resizeView}};
    static inline const v3_run_loop_cpp kLoop = {{noInterface, oneReference, oneReference},
                                                 {registerEvents, unregisterEvents, registerTimer, unregisterTimer}};
    struct HandlerTable : v3_funknown {
        v3_component_handler handler;
    };
    static inline const HandlerTable kHandler = {{noInterface, oneReference, oneReference},
                                                             {begin, perform, end, restart}};
    struct {
        const void* table;
        Vst3Host* owner;
    } frameFace{&kFrame, this}, loopFace{&kLoop, this}, handlerFace{&kHandler, this};
};

class Vst3ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!X11HostWindow::hasXTest()) GTEST_SKIP() << "no X display with XTest";
        window = std::make_unique<X11HostWindow>();
        v3_cpp_obj(plugin.controller)->set_component_handler(plugin.controller, host.handler());
        view = v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor");
        ASSERT_NE(view, nullptr);
        v3_cpp_obj(view)->set_frame(view, host.frame());
    }
    void TearDown() override {
        if (view) v3_cpp_obj_unref(view);
    }
    bool attach() {
        return v3_cpp_obj(view)->attached(view, reinterpret_cast<void*>(window->parent), V3_VIEW_PLATFORM_TYPE_X11) == V3_OK;
    }
    void run(int passes = 3) {
        for (int i = 0; i < passes; ++i) {
            XSync(X11HostWindow::display(), False);
            host.deliver();
            host.tick();
        }
    }
    Window panelWindow() { return window->panelWindow(); }
    std::vector<std::uint32_t> pixels(int left, int top, int size) { return window->pixels(left, top, size); }

    Vst3TestInstance plugin;
    Vst3Host host;
    std::unique_ptr<X11HostWindow> window;
    v3_plugin_view** view = nullptr;
};

}  // namespace

TEST_F(Vst3ViewTest, ADragOnCutoffIsOneGestureOfRisingEdits) {
    v3_view_rect size{};
    ASSERT_EQ(v3_cpp_obj(view)->get_size(view, &size), V3_OK);
    EXPECT_EQ(size.right - size.left, panel::kFrameWidth);
    EXPECT_EQ(size.bottom - size.top, panel::kFrameHeight);
    ASSERT_TRUE(attach());
    ASSERT_NE(host.timer, nullptr) << "the view ticks from the host's run loop";
    ASSERT_NE(host.events, nullptr) << "and watches the X connection there";
    run();
    window->dragKnob(kCutoff, [this] { run(1); });
    run();
    const v3_param_id cutoff = parameterDescription(kCutoff).id;
    ASSERT_GE(host.edits.size(), 3u);
    EXPECT_EQ(host.edits.front().kind, 'b');
    EXPECT_EQ(host.edits.back().kind, 'e');
    double previous = -1.0;
    for (std::size_t i = 1; i + 1 < host.edits.size(); ++i) {
        EXPECT_EQ(host.edits[i].kind, 'p');
        EXPECT_EQ(host.edits[i].id, cutoff);
        EXPECT_GT(host.edits[i].value, previous);
        previous = host.edits[i].value;
    }
    EXPECT_GT(previous, 0.8);
    EXPECT_EQ(v3_cpp_obj(plugin.controller)->get_parameter_normalised(plugin.controller, cutoff), float(previous));
    v3_cpp_obj(view)->removed(view);
}

// The host's value moves the knob at the next tick; a program the host chose is announced
// to it from the tick, not from inside its own call.
TEST_F(Vst3ViewTest, HostChangesMoveTheControls) {
    ASSERT_TRUE(attach());
    run();
    const panel::Control& knob = panel::control(kResonance);
    const std::vector<std::uint32_t> before = pixels(knob.topLeft.x, knob.topLeft.y, 56);
    v3_cpp_obj(plugin.controller)->set_parameter_normalised(plugin.controller, parameterDescription(kResonance).id, 0.9);
    run();
    EXPECT_NE(pixels(knob.topLeft.x, knob.topLeft.y, 56), before);
    v3_cpp_obj(plugin.controller)->set_parameter_normalised(plugin.controller, parameterDescription(kResonance).id, 0.0);
    run();
    EXPECT_EQ(pixels(knob.topLeft.x, knob.topLeft.y, 56), before);
    EXPECT_EQ(host.restarts, 0);
    v3_cpp_obj(plugin.controller)->set_parameter_normalised(plugin.controller, kProgramParameterId, 3.0 / 15);
    EXPECT_EQ(host.restarts, 0);
    run();
    EXPECT_EQ(host.restarts, 1);
    v3_cpp_obj(view)->removed(view);
}

TEST_F(Vst3ViewTest, TheContentScaleSizesTheViewAndAttachingLeavesNothing) {
    v3_plugin_view_content_scale** scale = nullptr;
    ASSERT_EQ(v3_cpp_obj_query_interface(view, v3_plugin_view_content_scale_iid, &scale), V3_OK);
    EXPECT_EQ(v3_cpp_obj(scale)->set_content_scale_factor(scale, 2.0f), V3_OK);
    v3_view_rect size{};
    v3_cpp_obj(view)->get_size(view, &size);
    EXPECT_EQ(size.right, 2 * panel::kFrameWidth);
    EXPECT_EQ(size.bottom, 2 * panel::kFrameHeight);
    v3_cpp_obj_unref(scale);
    EXPECT_EQ(v3_cpp_obj(view)->is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_X11), V3_TRUE);
    EXPECT_NE(v3_cpp_obj(view)->is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_HWND), V3_TRUE);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(attach());
        run(1);
        EXPECT_NE(panelWindow(), 0u);
        v3_cpp_obj(view)->removed(view);
        XSync(X11HostWindow::display(), False);
        EXPECT_EQ(panelWindow(), 0u);
        EXPECT_EQ(host.timer, nullptr);
    }
}
