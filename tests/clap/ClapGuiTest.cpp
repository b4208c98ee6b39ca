// The CLAP panel in a window under X, driven as a Linux host drives it: with the host's
// timer and its watch over the X connection, and with a host offering neither, where the
// panel asks for main-thread callbacks itself. A real pointer drag leaves the plug-in as
// gesture begin, rising values and gesture end through the flush the panel asks for, and
// marks the host's saved state out of date once; a value the host flushes in draws the
// knob as a fresh panel at that value; the panel has one size at the host's scale;
// making, rescaling and destroying it leaves nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

#include "clap/ClapGui.h"
#include "clap/ext/thread-check.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/editor/PanelSequences.h"
#include "tests/support/X11HostWindow.h"

namespace {

// A host that records what the plug-in registers and asks for, on one main thread.
struct GuiHost {
    explicit GuiHost(bool offersTimerAndFd) : offersTimerAndFd(offersTimerAndFd) {}

    const bool offersTimerAndFd;
    const std::thread::id mainThread = std::this_thread::get_id();
    clap_id timer = CLAP_INVALID_ID;
    int fd = -1;
    int flushRequests = 0;
    int dirtyMarks = 0;
    std::atomic<bool> callbackRequested{false};

    clap_host_t host{CLAP_VERSION_INIT, this, "test", "Quorvane", "", "1", extension,
                     [](const clap_host_t*) {}, [](const clap_host_t*) {}, [](const clap_host_t* h) {
                         self(h)->callbackRequested = true;
                     }};

private:
    static GuiHost* self(const clap_host_t* h) { return static_cast<GuiHost*>(h->host_data); }
    static const void* extension(const clap_host_t* h, const char* id) {
        static const clap_host_timer_support_t timers = {
            [](const clap_host_t* h, std::uint32_t, clap_id* id) {
                *id = 7;
                self(h)->timer = 7;
                return true;
            },
            [](const clap_host_t* h, clap_id id) { return std::exchange(self(h)->timer, CLAP_INVALID_ID) == id; }};
        static const clap_host_posix_fd_support_t fds = {
            [](const clap_host_t* h, int fd, clap_posix_fd_flags_t) { return (self(h)->fd = fd) >= 0; },
            [](const clap_host_t*, int, clap_posix_fd_flags_t) { return true; },
            [](const clap_host_t* h, int fd) { return std::exchange(self(h)->fd, -1) == fd; }};
        static const clap_host_params_t params = {[](const clap_host_t*, clap_param_rescan_flags) {},
                                                  [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
                                                  [](const clap_host_t* h) { ++self(h)->flushRequests; }};
        static const clap_host_thread_check_t threads = {
            [](const clap_host_t* h) { return std::this_thread::get_id() == self(h)->mainThread; },
            [](const clap_host_t*) { return false; }};
        static const clap_host_state_t state = {[](const clap_host_t* h) { ++self(h)->dirtyMarks; }};
        if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &params;
        if (!std::strcmp(id, CLAP_EXT_STATE)) return &state;
        if (!std::strcmp(id, CLAP_EXT_THREAD_CHECK)) return &threads;
        if (!self(h)->offersTimerAndFd) return nullptr;
        if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &timers;
        if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return &fds;
        return nullptr;
    }
};

struct Variant {
    const char* name;
    bool hostTimerAndFd;
};

void PrintTo(const Variant& variant, std::ostream* out) { *out << variant.name; }

class ClapGuiTest : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override {
        if (!X11HostWindow::hasXTest()) GTEST_SKIP() << "no X display with XTest";
        window = std::make_unique<X11HostWindow>();
        plugin = clapFactory()->create_plugin(clapFactory(), &host.host, kClapStereo.id);
        ASSERT_NE(plugin, nullptr);
        plugin->init(plugin);
        plugin->activate(plugin, 44100.0, 1, 4096);
        gui = static_cast<const clap_plugin_gui_t*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
        ASSERT_NE(gui, nullptr);
    }
    void TearDown() override {
        if (!plugin) return;
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    bool open() {
        clap_window_t parent{CLAP_WINDOW_API_X11, {}};
        parent.x11 = window->parent;
        return gui->create(plugin, CLAP_WINDOW_API_X11, false) && gui->set_parent(plugin, &parent) && gui->show(plugin);
    }
    // The host's loop: the X connection's events, then the timer or the callback the
    // panel asked for (which its own thread asks for within 30 ms).
    void run(int passes = 3) {
        for (int i = 0; i < passes; ++i) {
            XSync(X11HostWindow::display(), False);
            if (host.fd >= 0)
                static_cast<const clap_plugin_posix_fd_support_t*>(plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT))
                    ->on_fd(plugin, host.fd, CLAP_POSIX_FD_READ);
            if (host.timer != CLAP_INVALID_ID) {
                static_cast<const clap_plugin_timer_support_t*>(plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT))
                    ->on_timer(plugin, host.timer);
                continue;
            }
            for (int waited = 0; !host.callbackRequested.exchange(false) && waited < 200; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            plugin->on_main_thread(plugin);
        }
    }
    void flush(ClapTestEvents& in, ClapTestEvents& out) {
        static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS))
            ->flush(plugin, &in.in, &out.out);
    }

    GuiHost host{GetParam().hostTimerAndFd};
    std::unique_ptr<X11HostWindow> window;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Hosts, ClapGuiTest,
                         ::testing::Values(Variant{"HostTimerAndFd", true}, Variant{"OwnCallbacks", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_P(ClapGuiTest, ADragOnCutoffLeavesAsOneGestureOfRisingValues) {
    ASSERT_TRUE(open());
    EXPECT_EQ(host.timer != CLAP_INVALID_ID, GetParam().hostTimerAndFd) << "ticks from the host's timer when offered";
    EXPECT_EQ(host.fd >= 0, GetParam().hostTimerAndFd) << "and the X connection watched there";
    run();
    window->dragKnob(kCutoff, [this] { run(1); });
    run();
    EXPECT_GT(host.flushRequests, 0);
    EXPECT_EQ(host.dirtyMarks, 1) << "a host that saves only what it was told changed (Qtractor) hears of the gesture";
    ClapTestEvents none, out;
    flush(none, out);
    const clap_id cutoff = parameterDescription(kCutoff).id;
    ASSERT_GE(out.events.size(), 3u);
    EXPECT_EQ(out.at(0)->type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    EXPECT_EQ(out.at(std::uint32_t(out.events.size() - 1))->type, CLAP_EVENT_PARAM_GESTURE_END);
    double previous = -1.0;
    for (std::uint32_t i = 1; i + 1 < out.events.size(); ++i) {
        ASSERT_EQ(out.at(i)->type, CLAP_EVENT_PARAM_VALUE);
        const auto* value = reinterpret_cast<const clap_event_param_value_t*>(out.at(i));
        EXPECT_EQ(value->param_id, cutoff);
        EXPECT_GT(value->value, previous);
        previous = value->value;
    }
    EXPECT_GT(previous, 0.8);
    double now = 0.0;
    static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS))->get_value(plugin, cutoff, &now);
    EXPECT_EQ(now, previous) << "the engine follows the panel at once";
    gui->destroy(plugin);
}

// The knob shows what a fresh panel at the host's values shows, at the next tick.
TEST_P(ClapGuiTest, AHostValueMovesTheKnob) {
    ASSERT_TRUE(open());
    run();
    const panel::Control& knob = panel::control(kResonance);
    const std::vector<std::uint32_t> before = window->pixels(knob.topLeft.x, knob.topLeft.y, 56);
    ClapTestEvents in, out;
    in.value(0, kResonance, 0.9);
    flush(in, out);
    run();
    FilterEffect reference(nullptr, 2, false);
    reference.setParameter(kResonance, 0.9f);
    const std::vector<std::uint32_t> expected =
        pictureSquare(freshDraw(reference), panel::kFrameWidth, knob.topLeft.x, knob.topLeft.y, 56);
    EXPECT_EQ(window->pixels(knob.topLeft.x, knob.topLeft.y, 56), expected);
    EXPECT_NE(expected, before);
    gui->destroy(plugin);
}

TEST_P(ClapGuiTest, ThePanelIsOneEmbeddedSizeAtTheHostsScale) {
    struct Api {
        const char* api;
        bool floating, supported;
    };
    for (const Api& a : {Api{CLAP_WINDOW_API_X11, false, true}, Api{CLAP_WINDOW_API_X11, true, false},
                         Api{CLAP_WINDOW_API_WIN32, false, false}, Api{CLAP_WINDOW_API_WAYLAND, false, false}})
        EXPECT_EQ(gui->is_api_supported(plugin, a.api, a.floating), a.supported) << a.api << a.floating;
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    struct Scale {
        double scale;
        bool taken;
        std::uint32_t width, height;
    };
    const std::uint32_t w = panel::kFrameWidth, h = panel::kFrameHeight;
    for (const Scale& s : {Scale{1.0, true, w, h}, Scale{2.0, true, 2 * w, 2 * h}, Scale{3.0, false, 2 * w, 2 * h},
                           Scale{0.5, false, 2 * w, 2 * h}, Scale{1.5, true, 3 * w / 2, 3 * h / 2}}) {
        EXPECT_EQ(gui->set_scale(plugin, s.scale), s.taken) << s.scale;
        std::uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->get_size(plugin, &width, &height));
        EXPECT_EQ(width, s.width) << s.scale;
        EXPECT_EQ(height, s.height) << s.scale;
        EXPECT_TRUE(gui->set_size(plugin, width, height));
        EXPECT_FALSE(gui->set_size(plugin, width + 1, height));
        std::uint32_t offered[2] = {width / 2, height * 2};
        ASSERT_TRUE(gui->adjust_size(plugin, &offered[0], &offered[1]));
        EXPECT_EQ(offered[0], width);
        EXPECT_EQ(offered[1], height);
    }
    EXPECT_FALSE(gui->can_resize(plugin));
    gui->destroy(plugin);
}

TEST_P(ClapGuiTest, MakingAndDestroyingThePanelLeavesNothing) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(open());
        // A new scale lays the open panel out anew, and its ticks go on.
        EXPECT_TRUE(gui->set_scale(plugin, i % 2 ? 2.0 : 1.0));
        EXPECT_EQ(host.timer != CLAP_INVALID_ID, GetParam().hostTimerAndFd);
        EXPECT_EQ(host.fd >= 0, GetParam().hostTimerAndFd);
        run(1);
        EXPECT_NE(window->panelWindow(), 0u);
        gui->destroy(plugin);
        XSync(X11HostWindow::display(), False);
        EXPECT_EQ(window->panelWindow(), 0u);
        EXPECT_EQ(host.timer, CLAP_INVALID_ID);
        EXPECT_EQ(host.fd, -1);
    }
}
