// The LV2 UI as a host meets it: Quorvane_ui.so loaded from the bundle, its panel inside a
// window made here, real pointer drags through XTest while the host idles it, and what
// reaches the host's write function and touch feature.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "editor/PanelLayout.h"
#include "gui/CImage.h"
#include "lv2/PluginIdentity.h"

namespace {

struct Event {
    enum Kind { Write, Grab, Release } kind;
    std::uint32_t port;
    float value;
};

// The host side: records writes and touches, and plays the user's hand.
struct Host {
    Display* display = nullptr;
    Window widget = 0;
    std::vector<Event> events;
    int width = 0, height = 0;

    void moveTo(CPos where) {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, widget, DefaultRootWindow(display), where.x, where.y, &x, &y, &child);
        XTestFakeMotionEvent(display, -1, x, y, 0);
    }

    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) {
        Host& host = *static_cast<Host*>(const_cast<void*>(controller));
        const float value = size == sizeof(float) && format == 0 ? *static_cast<const float*>(buffer) : NAN;
        host.events.push_back({Event::Write, port, value});
    }
    static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        Host& host = *static_cast<Host*>(handle);
        host.events.push_back({grabbed ? Event::Grab : Event::Release, port, 0.0f});
    }
    static int resize(LV2UI_Feature_Handle handle, int width, int height) {
        static_cast<Host*>(handle)->width = width;
        static_cast<Host*>(handle)->height = height;
        return 0;
    }
};

// One connection held from start-up to exit: an X server that loses its last client resets.
Display* const sharedDisplay = XOpenDisplay(nullptr);

CBounds controlBounds(std::int32_t tag) {
    const panel::Control& row = panel::control(tag);
    CImage* image = new CImage(row.image);
    CBounds size(0, 0, image->getWidth(), image->getHeight() / row.subImages);
    image->release();
    size.offset(row.topLeft.x, row.topLeft.y);
    return size;
}

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override {
        display = sharedDisplay;
        if (!display) GTEST_SKIP() << "no X display";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
        library = dlopen(QV_LV2_UI_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->URI, kLv2UiUri);
        EXPECT_EQ(entry(1), nullptr);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 212, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        host.display = display;
    }
    void TearDown() override {
        if (parent) XDestroyWindow(display, parent);
        if (display) XSync(display, False);
        // The library stays loaded: the leak check at exit names what it allocated.
    }

    // With a scale, the host offers it as the ui:scaleFactor option.
    LV2UI_Handle instantiate(Window parentWindow, float scale = 0.0f) {
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parentWindow)};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature mapFeature{LV2_URID__map, &map};
        const LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, mapUri(LV2_UI__scaleFactor), sizeof scale, mapUri(LV2_ATOM__Float), &scale},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        const LV2_Feature* features[] = {&parentFeature, &touchFeature, &resizeFeature,
                                         scale > 0.0f ? &mapFeature : nullptr, &optionsFeature, nullptr};
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle ui = descriptor->instantiate(descriptor, kLv2Variants[1].uri, QV_LV2_BUNDLE_PATH,
                                                  Host::write, &host, &widget, features);
        host.widget = Window(reinterpret_cast<std::uintptr_t>(widget));
        return ui;
    }
    void idle(LV2UI_Handle ui, int passes = 3) {
        for (int i = 0; i < passes; ++i) {
            XSync(display, False);
            EXPECT_EQ(idleInterface->idle(ui), 0);
        }
    }
    void portEvent(LV2UI_Handle ui, std::uint32_t port, float value) {
        descriptor->port_event(ui, port, sizeof value, 0, &value);
    }
    std::vector<unsigned long> pixels(const CBounds& rect) {
        std::vector<unsigned long> out;
        XImage* image = XGetImage(display, host.widget, rect.left, rect.top, unsigned(rect.width()),
                                  unsigned(rect.height()), AllPlanes, ZPixmap);
        if (!image) return out;
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x) out.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
        return out;
    }
    unsigned childCount(Window window) {
        Window root, parentOfWindow, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, window, &root, &parentOfWindow, &children, &count);
        if (children) XFree(children);
        return count;
    }

    Display* display = nullptr;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    Window parent = 0;
    Host host;
    // The features live as long as the instances.
    LV2UI_Touch touch{&host, Host::touch};
    LV2UI_Resize resize{&host, Host::resize};
    std::vector<std::string> uris;
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto& known = *static_cast<std::vector<std::string>*>(handle);
        for (std::size_t i = 0; i < known.size(); ++i)
            if (known[i] == uri) return LV2_URID(i + 1);
        known.push_back(uri);
        return LV2_URID(known.size());
    }
    LV2_URID mapUri(const char* uri) { return mapUri(&uris, uri); }
    LV2_URID_Map map{&uris, mapUri};
};

// Knobs turn clockwise over the top from lower left (rising in the circular knob mode the
// panel starts in); the Stages switch is swept left to right, the Mode switch from its
// low-pass bottom to its high-pass top.
std::vector<CPos> gesturePath(std::int32_t tag) {
    const CBounds r = controlBounds(tag);
    std::vector<CPos> path;
    if (panel::control(tag).kind == panel::Kind::Knob) {
        const double radius = r.width() * 0.35;
        const double cx = r.left + r.width() / 2.0, cy = r.top + r.width() / 2.0;
        for (double degrees = 200.0; degrees >= -20.0; degrees -= 40.0) {
            const double a = degrees * M_PI / 180.0;
            path.emplace_back(int(std::lround(cx + radius * std::cos(a))), int(std::lround(cy - radius * std::sin(a))));
        }
    } else if (tag == kStages) {
        for (int i = 0; i < 4; ++i) path.emplace_back(r.left + i * (r.width() - 1) / 3, (r.top + r.bottom) / 2);
    } else {
        for (int i = 0; i < 4; ++i) path.emplace_back((r.left + r.right) / 2, r.bottom - 1 - i * (r.height() - 1) / 3);
    }
    return path;
}

// A touch, writes to the control's port rising along the path, a release.
void expectRisingGesture(const std::vector<Event>& e, std::int32_t tag) {
    ASSERT_GE(e.size(), 3u);
    EXPECT_EQ(e.front().kind, Event::Grab);
    EXPECT_EQ(e.back().kind, Event::Release);
    float previous = -1.0f;
    for (const Event& event : e) {
        EXPECT_EQ(event.port, std::uint32_t(tag));
        if (&event == &e.front() || &event == &e.back()) continue;
        EXPECT_EQ(event.kind, Event::Write);
        EXPECT_GT(event.value, previous);
        previous = event.value;
    }
    EXPECT_GE(previous, panel::control(tag).kind == panel::Kind::Knob ? 0.8f : 1.0f);
}

TEST_F(Lv2Ui, EachControlsDragTouchesWritesItsPortRisingAndLetsGo) {
    LV2UI_Handle ui = instantiate(parent);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(host.width, 800);
    EXPECT_EQ(host.height, 212);
    idle(ui);
    for (std::int32_t tag : {kCutoff, kResonance, kEnvAmount, kEnvAttack, kEnvRelease, kInTrim, kOutSat, kStages, kMode}) {
        SCOPED_TRACE(tag);
        host.events.clear();
        const std::vector<CPos> path = gesturePath(tag);
        host.moveTo(path[0]);
        XTestFakeButtonEvent(display, Button1, True, 0);
        idle(ui, 1);
        // One step of the hand between two idle calls.
        for (std::size_t i = 1; i < path.size(); ++i) {
            host.moveTo(path[i]);
            idle(ui, 1);
        }
        XTestFakeButtonEvent(display, Button1, False, 0);
        idle(ui);
        expectRisingGesture(host.events, tag);
    }
    descriptor->cleanup(ui);
}

// A host whose timer runs the UI's idle every 10 ms while the user turns Cutoff for two
// seconds: the timer keeps its rate, and the port sees the same gesture as above.
TEST_F(Lv2Ui, AHostTimerKeepsTickingThroughATwoSecondDrag) {
    LV2UI_Handle ui = instantiate(parent);
    ASSERT_NE(ui, nullptr);
    idle(ui);
    host.events.clear();
    const std::vector<CPos> corners = gesturePath(kCutoff);
    std::vector<CPos> path;
    for (std::size_t i = 0; i + 1 < corners.size(); ++i)
        for (int step = 0; step < 25; ++step)
            path.emplace_back(corners[i].x + (corners[i + 1].x - corners[i].x) * step / 25,
                              corners[i].y + (corners[i + 1].y - corners[i].y) * step / 25);
    path.push_back(corners.back());

    // The hand on a connection of its own, a point every 2 s / path length.
    std::atomic<bool> done{false};
    std::thread hand([&] {
        Display* own = XOpenDisplay(nullptr);
        Host mover;
        mover.display = own;
        mover.widget = host.widget;
        mover.moveTo(path[0]);
        XTestFakeButtonEvent(own, Button1, True, 0);
        XSync(own, False);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < path.size(); ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(2000) * i / path.size());
            mover.moveTo(path[i]);
            XSync(own, False);
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(2000));
        XTestFakeButtonEvent(own, Button1, False, 0);
        XSync(own, False);
        XCloseDisplay(own);
        done = true;
    });
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ticks;
    const auto limit = Clock::now() + std::chrono::seconds(10);
    auto next = Clock::now();
    while (!done && Clock::now() < limit) {
        std::this_thread::sleep_until(next);
        next += std::chrono::milliseconds(10);
        ticks.push_back(Clock::now());
        idleInterface->idle(ui);
    }
    hand.join();
    idle(ui);

    ASSERT_GE(ticks.size(), 150u) << "two seconds at 10 ms";
    Clock::duration longest{};
    for (std::size_t i = 1; i < ticks.size(); ++i) longest = std::max(longest, ticks[i] - ticks[i - 1]);
    EXPECT_LT(longest, std::chrono::milliseconds(50)) << "the timer never waited on the drag";
    expectRisingGesture(host.events, kCutoff);
    descriptor->cleanup(ui);
}

TEST_F(Lv2Ui, APortEventMovesTheKnobAndMovesItBack) {
    LV2UI_Handle ui = instantiate(parent);
    ASSERT_NE(ui, nullptr);
    idle(ui);
    const CBounds knob = controlBounds(kResonance);
    for (float start : {0.1f, 0.9f}) {
        portEvent(ui, kResonance, start);
        idle(ui);
        const std::vector<unsigned long> before = pixels(knob);
        ASSERT_FALSE(before.empty());
        portEvent(ui, kResonance, 1.0f - start);
        portEvent(ui, kCutoff + kNumParams, 0.5f);  // an audio port: nothing to show
        idle(ui);
        EXPECT_NE(pixels(knob), before);
        portEvent(ui, kResonance, start);
        idle(ui);
        EXPECT_EQ(pixels(knob), before);
    }
    EXPECT_TRUE(host.events.empty());  // showing the host's values writes nothing back
    descriptor->cleanup(ui);
}

TEST_F(Lv2Ui, OpensAndClosesTwentyTimesLeavingNoWindow) {
    EXPECT_EQ(instantiate(0), nullptr);  // no parent: nothing to show the panel in
    for (int i = 0; i < 20; ++i) {
        LV2UI_Handle ui = instantiate(parent);
        ASSERT_NE(ui, nullptr);
        EXPECT_EQ(childCount(parent), 1u);
        portEvent(ui, kCutoff, float(i) / 20.0f);
        idle(ui, 2);
        descriptor->cleanup(ui);
        XSync(display, False);
        EXPECT_EQ(childCount(parent), 0u);
    }
}

// The host's ui:scaleFactor sets the panel's scale: the window and the size the panel
// asks for follow it; without the option the panel stays at 1x.
// The panel's window in device pixels; the size asked of the host in its units, which a
// GTK host under GDK_SCALE enlarges by that factor itself.
TEST_F(Lv2Ui, TheHostsScaleFactorSizesThePanel) {
    const struct {
        float scale;
        const char* gdkScale;
        int width, height;
        int asked;
    } cases[] = {{0.0f, nullptr, 800, 212, 800}, {2.0f, nullptr, 1600, 424, 1600}, {1.5f, nullptr, 1200, 318, 1200},
                 {0.0f, "2", 1600, 424, 800}, {2.0f, "2", 1600, 424, 800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.scale) + (c.gdkScale ? " GDK_SCALE" : ""));
        if (c.gdkScale) setenv("GDK_SCALE", c.gdkScale, 1);
        host.width = host.height = 0;
        LV2UI_Handle ui = instantiate(parent, c.scale);
        unsetenv("GDK_SCALE");
        ASSERT_NE(ui, nullptr);
        EXPECT_EQ(host.width, c.asked);
        EXPECT_EQ(host.height * c.width, c.asked * c.height);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, host.widget, &attributes);
        EXPECT_EQ(attributes.width, c.width);
        EXPECT_EQ(attributes.height, c.height);
        descriptor->cleanup(ui);
    }
}

}  // namespace
