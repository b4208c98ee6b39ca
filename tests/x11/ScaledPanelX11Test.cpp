// The panel at a scale in a real X server: where the scale comes from (the configuration
// file, the host, the display's Xft.dpi, GDK_SCALE), the window's size, real drags at 2x
// against the same drags in panel units at 1x, and a scale change while open.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/PanelPreferences.h"
#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "gui/CRefObject.h"
#include "gui/SharedImages.h"
#include "plugin/Configuration.h"
#include "plugin/ControllerMap.h"
#include "vst2/FilterEffect.h"
#include "vst2/EntryPoint.h"
#include "tests/editor/PanelSequences.h"

namespace {

struct Call {
    int32 opcode;
    int32 index;
    intptr value;
    float opt;
    bool operator==(const Call& o) const {
        return opcode == o.opcode && index == o.index && value == o.value && opt == o.opt;
    }
};

void PrintTo(const Call& c, std::ostream* out) {
    *out << "(" << c.opcode << " " << c.index << " " << c.value << " " << c.opt << ")";
}

struct Host {
    std::vector<Call> calls;
    std::vector<Call> gestures() const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit || c.opcode == audioMasterAutomate)
                out.push_back(c);
        return out;
    }
};

intptr VSTCALL recordingHost(AEffect* record, int32 opcode, int32 index, intptr value, void*, float opt) {
    Host* host = record ? static_cast<Host*>(record->user) : nullptr;
    if (!host) return 0;
    host->calls.push_back({opcode, index, value, opt});
    return opcode == audioMasterSizeWindow ? 1 : 0;
}

struct Instance {
    Instance() : effect(new FilterEffect(recordingHost, 2, false)) {
        attachPanel(*effect);
        effect->effectRecord()->user = &host;
    }
    ~Instance() { delete effect; }
    intptr dispatch(int32 opcode, intptr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(opcode, 0, value, ptr, 0.0f);
    }
    intptr sendScale(float scale) {
        return effect->dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue,
                                  nullptr, scale);
    }
    CPos rectSize() {
        ERect* rect = nullptr;
        if (dispatch(effEditGetRect, 0, &rect) != 1 || !rect) return CPos();
        return CPos(rect->right - rect->left, rect->bottom - rect->top);
    }
    FilterEditor& editor() {
        return static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect->getEditor())->panel());
    }
    void idle(int passes = 6) {
        for (int i = 0; i < passes; ++i) dispatch(effEditIdle);
    }
    Host host;
    FilterEffect* effect;
};

// The panel preferences as a configuration file's text gives them.
void usePreferences(const char* text) {
    StartupSettings settings;
    ControllerMap map;
    applyConfigurationText(text, std::strlen(text), settings, map);
    publishPanelPreferences({settings.panelScale, settings.knobMode});
}

Display* const sharedDisplay = XOpenDisplay(nullptr);

class ScaledPanelX11 : public ::testing::Test {
protected:
    void SetUp() override {
        display = sharedDisplay;
        if (!display) GTEST_SKIP() << "no X display";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    }
    void TearDown() override {
        if (!display) return;
        setResources(nullptr);
        unsetenv("GDK_SCALE");
        usePreferences("");
        CFrame::setKnobModeForAll(kKnobCircular);
    }

    // The display's resource database (what xrdb -merge writes), or none.
    void setResources(const char* text) {
        const Window root = DefaultRootWindow(display);
        if (text)
            XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
        else
            XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
        XSync(display, False);
    }

    Window makeParent(int width, int height) {
        Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width),
                                            unsigned(height), 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }
    static void* handle(Window window) { return reinterpret_cast<void*>(window); }

    // The panel's window inside the parent: its size.
    CPos childSize(Window parent) {
        Window root, up, *children = nullptr;
        unsigned count = 0;
        CPos size;
        if (XQueryTree(display, parent, &root, &up, &children, &count) && count > 0) {
            int x, y;
            unsigned w, h, border, depth;
            XGetGeometry(display, children[count - 1], &root, &x, &y, &w, &h, &border, &depth);
            size = CPos(int(w), int(h));
        }
        if (children) XFree(children);
        return size;
    }

    void moveTo(Window parent, CPos where) {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), where.x, where.y, &x, &y, &child);
        XTestFakeMotionEvent(display, -1, x, y, 0);
    }
    void button(bool down) { XTestFakeButtonEvent(display, Button1, down ? True : False, 0); }

    // A real drag from one window pixel to another, all waiting when the panel next reads
    // its events. What the host saw of it.
    std::vector<Call> drag(Instance& plugin, Window parent, CPos from, CPos to) {
        // A 2x panel is wider than the test screen: the window moves left to bring the
        // press on screen.
        XMoveWindow(display, parent, std::min(0, 400 - from.x), 0);
        XSync(display, False);
        moveTo(parent, from);
        button(true);
        moveTo(parent, to);
        button(false);
        XSync(display, False);
        plugin.host.calls.clear();
        plugin.idle(3);
        return plugin.host.gestures();
    }

    // What the window shows, in strips that each fit the test screen: the window moves
    // left under the screen for each, and the panel repaints what came into view.
    std::vector<std::uint32_t> pixels(Instance& plugin, Window window, int width, int height) {
        std::vector<std::uint32_t> out(std::size_t(width) * std::size_t(height));
        for (int left = 0; left < width; left += 800) {
            const int strip = std::min(800, width - left);
            XMoveWindow(display, window, -left, 0);
            XSync(display, False);
            plugin.idle(2);
            XImage* image = XGetImage(display, window, left, 0, unsigned(strip), unsigned(height), AllPlanes, ZPixmap);
            if (!image) return {};
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < strip; ++x)
                    out[std::size_t(y) * width + left + x] = std::uint32_t(XGetPixel(image, x, y)) & 0xFFFFFFu;
            XDestroyImage(image);
        }
        XMoveWindow(display, window, 0, 0);
        XSync(display, False);
        return out;
    }

    Display* display = nullptr;
};

}  // namespace

// First that applies: Scale= in the file, the host's scale, Xft.dpi, GDK_SCALE, 1; held
// between 1 and 2. The size answered before opening is the window's size once open.
TEST_F(ScaledPanelX11, TheScaleComesFromTheFileTheHostOrTheDesktop) {
    const struct {
        const char* ini;
        float host;  // 0: none sent
        const char* resources;
        const char* gdkScale;
        int width, height;
    } cases[] = {
        {"", 0, nullptr, nullptr, 800, 212},
        {"", 0, "Xft.dpi:\t192\n", nullptr, 1600, 424},
        {"", 0, "Xcursor.size:\t24\nXft.dpi:\t144\n", nullptr, 1200, 318},
        {"", 0, nullptr, "2", 1600, 424},
        {"", 0, "Xft.dpi:\t96\n", "2", 800, 212},
        {"", 1.5f, "Xft.dpi:\t192\n", nullptr, 1200, 318},
        {"", 3.0f, nullptr, nullptr, 1600, 424},
        {"", 0.5f, "Xft.dpi:\t192\n", nullptr, 800, 212},
        {"Scale=1\n", 2.0f, "Xft.dpi:\t192\n", "2", 800, 212},
        {"Scale = 1.5\n", 2.0f, nullptr, nullptr, 1200, 318},
        {"Scale=auto\n", 0, "Xft.dpi:\t192\n", nullptr, 1600, 424},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + " host " + std::to_string(c.host) + " " + (c.resources ? c.resources : "-") +
                     " GDK_SCALE " + (c.gdkScale ? c.gdkScale : "-"));
        usePreferences(c.ini);
        setResources(c.resources);
        if (c.gdkScale)
            setenv("GDK_SCALE", c.gdkScale, 1);
        else
            unsetenv("GDK_SCALE");
        Instance plugin;
        if (c.host != 0) {
            EXPECT_EQ(plugin.sendScale(c.host), 1);
        }
        EXPECT_EQ(plugin.rectSize(), CPos(c.width, c.height)) << "before opening";
        Window parent = makeParent(c.width, c.height);
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
        EXPECT_EQ(plugin.rectSize(), CPos(c.width, c.height));
        EXPECT_EQ(childSize(parent), CPos(c.width, c.height));
        plugin.dispatch(effEditClose);
        XDestroyWindow(display, parent);
    }
    Instance plugin;
    EXPECT_EQ(plugin.effect->dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, 0, nullptr, 2.0f), 0)
        << "only with the value 'AeCs'";
    EXPECT_EQ(plugin.sendScale(std::nanf("")), 0);
}

// Every control dragged for real at 2x, each drag the same one in panel units as at 1x
// (pressed at the control's pixel, moved by its distance, both times the scale): the
// host sees the same begin, values and end.
TEST_F(ScaledPanelX11, DragsAtTwiceTheScaleDoWhatTheSameDragsDoAt1x) {
    std::vector<std::vector<Call>> seen[2];
    const float scales[] = {1.0f, 2.0f};
    for (int run = 0; run < 2; ++run) {
        const float scale = scales[run];
        SCOPED_TRACE(scale);
        Instance plugin;
        EXPECT_EQ(plugin.sendScale(scale), 1);
        const CPos size = plugin.rectSize();
        EXPECT_EQ(size, CPos(int(800 * scale), int(212 * scale)));
        Window parent = makeParent(size.x, size.y);
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
        EXPECT_EQ(childSize(parent), size);
        plugin.dispatch(effSetEditKnobMode, kKnobLinear);
        plugin.idle();
        for (const PanelSequence& sequence : panelSequences())
            for (const PanelStep& step : sequence.steps) {
                if (step.kind != PanelStep::Gesture || step.hostIndex >= 0) continue;
                CBounds r;
                plugin.editor().controlFor(step.index)->getViewSize(r);
                const CPos from(r.left + int(step.fx * float(r.width())), r.top + int(step.fy * float(r.height())));
                const CPos to(from.x, from.y - int(step.value));
                auto device = [scale](CPos p) { return CPos(int(p.x * scale), int(p.y * scale)); };
                seen[run].push_back(drag(plugin, parent, device(from), device(to)));
                EXPECT_FALSE(seen[run].back().empty()) << "a gesture on " << step.index;
            }
        plugin.dispatch(effEditClose);
        XDestroyWindow(display, parent);
    }
    ASSERT_EQ(seen[0].size(), seen[1].size());
    for (std::size_t i = 0; i < seen[0].size(); ++i) EXPECT_EQ(seen[1][i], seen[0][i]) << "drag " << i;
}

// A second scale while open: the host is asked for the new size, the window takes it and
// shows the panel drawn at that scale; nothing is left behind.
TEST_F(ScaledPanelX11, AScaleChangeWhileOpenResizesAndRedraws) {
    Instance plugin;
    const std::int32_t liveBefore = CRefObject::liveCount();
    EXPECT_EQ(plugin.sendScale(1.0f), 1);
    Window parent = makeParent(1600, 424);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    plugin.idle();
    const float steps[] = {2.0f, 1.5f, 1.5f, 1.0f};
    CPos last(800, 212);
    for (float scale : steps) {
        SCOPED_TRACE(scale);
        plugin.host.calls.clear();
        EXPECT_EQ(plugin.sendScale(scale), 1);
        plugin.idle();
        const CPos size(int(std::lround(800 * scale)), int(std::lround(212 * scale)));
        std::vector<Call> resizes;
        for (const Call& c : plugin.host.calls)
            if (c.opcode == audioMasterSizeWindow) resizes.push_back(c);
        if (size == last)
            EXPECT_TRUE(resizes.empty()) << "the same scale again changes nothing";
        else
            EXPECT_EQ(resizes, std::vector<Call>({{audioMasterSizeWindow, size.x, size.y, 0.0f}}));
        EXPECT_EQ(plugin.rectSize(), size);
        EXPECT_EQ(childSize(parent), size);
        EXPECT_EQ(pictureDifference(pixels(plugin, parent, size.x, size.y), freshDraw(*plugin.effect, scale), size.x), "");
        last = size;
    }
    plugin.dispatch(effEditClose);
    plugin.idle();
    XDestroyWindow(display, parent);
    EXPECT_EQ(CRefObject::liveCount(), liveBefore);
    EXPECT_EQ(sharedImageBytes(), 0u);
}

// KnobMode= in the file decides over the host's knob mode; host keeps the host's.
TEST_F(ScaledPanelX11, KnobModeInTheFileWinsOverTheHosts) {
    // The value a straight drag 40 up from a knob's centre leaves, for a file and a host mode.
    auto dragged = [this](const char* ini, std::int32_t hostMode) {
        usePreferences(ini);
        Instance plugin;
        Window parent = makeParent(800, 212);
        EXPECT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
        plugin.dispatch(effSetEditKnobMode, hostMode);
        plugin.idle();
        CBounds r;
        plugin.editor().controlFor(kResonance)->getViewSize(r);
        const CPos centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        drag(plugin, parent, centre, CPos(centre.x + 10, centre.y - 40));
        const float value = plugin.effect->getParameter(kResonance);
        plugin.dispatch(effEditClose);
        XDestroyWindow(display, parent);
        return value;
    };
    const float linear = dragged("", kKnobLinear), circular = dragged("", kKnobCircular);
    ASSERT_NE(linear, circular);
    const struct {
        const char* ini;
        std::int32_t hostMode;
        float expected;
    } cases[] = {
        {"KnobMode=linear\n", kKnobCircular, linear},
        {"knobmode = LINEAR\n", kKnobCircular, linear},
        {"KnobMode=circular\n", kKnobLinear, circular},
        {"KnobMode=host\n", kKnobLinear, linear},
    };
    for (const auto& c : cases) EXPECT_EQ(dragged(c.ini, c.hostMode), c.expected) << c.ini;
}
