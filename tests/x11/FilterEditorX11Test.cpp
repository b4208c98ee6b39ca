// The panel through the host interface in a real X server: effEditOpen into a parent
// window made here, real presses and drags through XTest, and what the host records.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "gui/CValueDisplay.h"
#include "vst2/FilterEffect.h"
#include "tests/editor/PanelSequences.h"
#include "vst2/EntryPoint.h"

namespace {

struct Call {
    int32 opcode;
    int32 index;
    float value;
};

// One recording host per effect, found through the record's user field.
struct Host {
    std::vector<Call> calls;
    // Runs once, at the first automation the host records.
    std::function<void()> onAutomate;

    std::vector<Call> gestures() const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit || c.opcode == audioMasterAutomate)
                out.push_back(c);
        return out;
    }
};

intptr VSTCALL recordingHost(AEffect* record, int32 opcode, int32 index, intptr, void*, float opt) {
    Host* host = record ? static_cast<Host*>(record->user) : nullptr;
    if (!host) return 0;
    host->calls.push_back({opcode, index, opt});
    if (opcode == audioMasterAutomate && host->onAutomate) std::exchange(host->onAutomate, nullptr)();
    return 0;
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
    FilterEditor& editor() {
        return static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect->getEditor())->panel());
    }
    Host host;
    FilterEffect* effect;
};

// One connection held from start-up to exit: an X server that loses its last client
// resets, and refuses connections while it does (other tests here close theirs).
Display* const sharedDisplay = XOpenDisplay(nullptr);

class FilterEditorX11 : public ::testing::Test {
protected:
    void SetUp() override {
        display = sharedDisplay;
        if (!display) GTEST_SKIP() << "no X display";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    }
    void TearDown() override {
        CFrame::setKnobModeForAll(kKnobCircular);
    }

    Window makeParent(int x) {
        Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, 0, 800, 212, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }
    static void* handle(Window window) { return reinterpret_cast<void*>(window); }

    void moveTo(Window parent, CPos where) {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), where.x, where.y, &x, &y, &child);
        XTestFakeMotionEvent(display, -1, x, y, 0);
    }
    void button(bool down) { XTestFakeButtonEvent(display, Button1, down ? True : False, 0); }
    // Press at from, move to to and let go: all waiting when the panel next reads its events.
    void drag(Window parent, CPos from, CPos to) {
        moveTo(parent, from);
        button(true);
        moveTo(parent, to);
        button(false);
        XSync(display, False);
    }
    // A click whose press and release are both waiting when the panel reads them.
    void click(Window parent, CPos at) {
        moveTo(parent, at);
        button(true);
        button(false);
        XSync(display, False);
    }
    void controlClick(Window parent, CPos at) {
        const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
        XTestFakeKeyEvent(display, control, True, 0);
        click(parent, at);
        XTestFakeKeyEvent(display, control, False, 0);
        XSync(display, False);
    }

    std::vector<std::uint32_t> pixels(Window window, const CBounds& rect) {
        std::vector<std::uint32_t> out;
        XImage* image = XGetImage(display, window, rect.left, rect.top, unsigned(rect.width()),
                                  unsigned(rect.height()), AllPlanes, ZPixmap);
        if (!image) return out;
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x) out.push_back(std::uint32_t(XGetPixel(image, x, y)));
        XDestroyImage(image);
        return out;
    }

    static CBounds bounds(CControl* control) {
        CBounds size;
        control->getViewSize(size);
        return size;
    }
    static CPos centre(const CBounds& r) { return CPos((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

    Display* display = nullptr;
};

void runIdle(Instance& instance, int passes = 6) {
    for (int i = 0; i < passes; ++i) instance.dispatch(effEditIdle);
}

}  // namespace

TEST_F(FilterEditorX11, EveryKnobAndSwitchGestureReachesTheHostAsAutomation) {
    Instance plugin;
    Window parent = makeParent(0);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 800);
    EXPECT_EQ(rect->bottom - rect->top, 212);
    plugin.dispatch(effSetEditKnobMode, kKnobLinear);
    runIdle(plugin);

    // Knobs: 40 pixels straight up in the linear mode is a fifth of the range. Switches:
    // the Stages switch's left end is one stage, the mode switch's top band high-pass.
    struct Gesture {
        std::int32_t tag;
        enum { Up40, LeftEnd, TopBand } how;
    };
    const Gesture gestures[] = {{kCutoff, Gesture::Up40},      {kResonance, Gesture::Up40},
                                {kEnvAmount, Gesture::Up40},   {kEnvAttack, Gesture::Up40},
                                {kEnvRelease, Gesture::Up40},  {kInTrim, Gesture::Up40},
                                {kOutSat, Gesture::Up40},      {kStages, Gesture::LeftEnd},
                                {kMode, Gesture::TopBand}};
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.tag);
        CControl* control = plugin.editor().controlFor(g.tag);
        ASSERT_NE(control, nullptr);
        const CBounds size = bounds(control);
        const float before = plugin.effect->getParameter(g.tag);
        float expected = 0.0f;
        plugin.host.calls.clear();
        switch (g.how) {
            case Gesture::Up40:
                drag(parent, centre(size), CPos(centre(size).x, centre(size).y - 40));
                expected = std::min(1.0f, before + 0.2f);
                break;
            case Gesture::LeftEnd:
                drag(parent, CPos(size.left + 1, size.top + 5), CPos(size.left + 1, size.top + 5));
                expected = 0.0f;
                break;
            case Gesture::TopBand:
                drag(parent, CPos(size.left + 5, size.top + 1), CPos(size.left + 5, size.top + 1));
                expected = 1.0f;  // high-pass
                break;
        }
        runIdle(plugin);
        const std::vector<Call> calls = plugin.host.gestures();
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls.front().index, g.tag);
        EXPECT_EQ(calls[calls.size() - 2].opcode, audioMasterAutomate);
        EXPECT_EQ(calls[calls.size() - 2].index, g.tag);
        EXPECT_NEAR(calls[calls.size() - 2].value, expected, 1e-5f);
        EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
        EXPECT_EQ(calls.back().index, g.tag);
        EXPECT_NEAR(plugin.effect->getParameter(g.tag), expected, 1e-5f);
        EXPECT_TRUE(plugin.editor().hasFocus()) << "the gesture's control has the focus";
        EXPECT_EQ(plugin.dispatch(effKeysRequired), 0) << "so the plug-in wants the keyboard";
        // ...yet leaves every key to the host: the knob's arrow keys do nothing here.
        EXPECT_EQ(plugin.effect->dispatcher(effEditKeyDown, 0, 12 /* arrow up */, nullptr, 0.0f), -1);
        EXPECT_EQ(plugin.effect->dispatcher(effEditKeyUp, 0, 12, nullptr, 0.0f), -1);
    }

    // A control-click on a knob sends its default; the host still sees a whole gesture.
    CControl* trim = plugin.editor().controlFor(kInTrim);
    plugin.host.calls.clear();
    controlClick(parent, centre(bounds(trim)));
    runIdle(plugin);
    const std::vector<Call> reset = plugin.host.gestures();
    ASSERT_EQ(reset.size(), 3u);
    EXPECT_EQ(reset[1].opcode, audioMasterAutomate);
    EXPECT_EQ(reset[1].value, 0.5f);

    // A host change moves the knob and its picture.
    CControl* cutoff = plugin.editor().controlFor(kCutoff);
    const std::vector<std::uint32_t> before = pixels(parent, bounds(cutoff));
    plugin.effect->effectRecord()->setParameter(plugin.effect->effectRecord(), kCutoff, 0.95f);
    runIdle(plugin);
    EXPECT_EQ(cutoff->getValue(), 0.95f);
    EXPECT_NE(pixels(parent, bounds(cutoff)), before);
    plugin.dispatch(effEditClose);
    XDestroyWindow(display, parent);
}

TEST_F(FilterEditorX11, HostClosingThePanelDuringADragLeavesNothingBehind) {
    // Closed from inside the drag's first automation, and from the host's own loop
    // between two moves: the host sees the gesture end either way, at once.
    for (const bool fromAutomation : {true, false}) {
        SCOPED_TRACE(fromAutomation ? "from the automation" : "between moves");
        Instance plugin;
        Window parent = makeParent(0);
        const std::int32_t liveBefore = CRefObject::liveCount();
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
        runIdle(plugin);
        const CPos knob = centre(bounds(plugin.editor().controlFor(kResonance)));
        auto close = [&] {
            plugin.dispatch(effEditClose);
            XDestroyWindow(display, parent);  // as a host does right after
        };
        if (fromAutomation) plugin.host.onAutomate = close;
        moveTo(parent, knob);
        button(true);
        moveTo(parent, CPos(knob.x + 30, knob.y - 30));
        XSync(display, False);
        plugin.host.calls.clear();
        runIdle(plugin, 1);
        if (!fromAutomation) close();
        XTestFakeRelativeMotionEvent(display, 10, -10, 0);
        button(false);  // the user lets go some time later
        XSync(display, False);
        runIdle(plugin);

        // Nothing after the end: from the automation, the close was at the first value.
        const std::vector<Call> calls = plugin.host.gestures();
        ASSERT_GE(calls.size(), 3u);
        if (fromAutomation) {
            EXPECT_EQ(calls.size(), 3u);
        }
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
        EXPECT_EQ(calls.back().opcode, audioMasterEndEdit) << "the gesture still ends for the host";
        EXPECT_EQ(plugin.editor().getFrame(), nullptr);
        EXPECT_EQ(CRefObject::liveCount(), liveBefore) << "the closed panel went at the next idle";

        // The editor opens again afterwards.
        Window again = makeParent(0);
        EXPECT_EQ(plugin.dispatch(effEditOpen, 0, handle(again)), 1);
        plugin.dispatch(effEditClose);
        XDestroyWindow(display, again);
    }
}

TEST_F(FilterEditorX11, TwoInstancesWithOpenPanelsFollowTheirOwnAutomation) {
    Instance first, second;
    Window left = makeParent(0), right = makeParent(0);
    XMoveWindow(display, right, 0, 300);
    XSync(display, False);
    ASSERT_EQ(first.dispatch(effEditOpen, 0, handle(left)), 1);
    ASSERT_EQ(second.dispatch(effEditOpen, 0, handle(right)), 1);
    runIdle(first);
    runIdle(second);
    first.dispatch(effSetEditKnobMode, kKnobLinear);

    const float values[][2] = {{0.1f, 0.9f}, {0.8f, 0.3f}};
    for (const auto& v : values) {
        first.effect->setParameter(kResonance, v[0]);
        second.effect->setParameter(kResonance, v[1]);
        runIdle(first);
        runIdle(second);
        EXPECT_EQ(first.editor().controlFor(kResonance)->getValue(), v[0]);
        EXPECT_EQ(second.editor().controlFor(kResonance)->getValue(), v[1]);
    }
    const CBounds knob = bounds(first.editor().controlFor(kResonance));
    EXPECT_NE(pixels(left, knob), pixels(right, knob)) << "each window shows its own value";

    // The first panel closes; a drag on the second still reaches only the second host.
    first.dispatch(effEditClose);
    first.host.calls.clear();
    drag(right, centre(knob), CPos(centre(knob).x, centre(knob).y - 20));
    runIdle(second);
    runIdle(first);
    EXPECT_TRUE(first.host.gestures().empty());
    const std::vector<Call> calls = second.host.gestures();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_NEAR(second.effect->getParameter(kResonance), 0.4f, 1e-5f);
    second.dispatch(effEditClose);
    XDestroyWindow(display, left);
    XDestroyWindow(display, right);
}

TEST_F(FilterEditorX11, ReadoutFollowsCutoffAndTheEnvelopeSwitch) {
    Instance plugin;
    Window parent = makeParent(0);
    plugin.effect->setParameter(kEnvAmount, 0.5f);
    plugin.effect->setParameter(kCutoff, 0.5f);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    ASSERT_NE(plugin.editor().getCutoffReadout(), nullptr);
    EXPECT_STREQ(plugin.editor().getCutoffReadout()->getText(), "~7875.0 Hz");

    // Host changes, as (parameter, value, text shown after the next idle).
    struct Step {
        std::int32_t index;
        float value;
        const char* text;
    };
    const Step steps[] = {
        {kCutoff, 1.0f, "~63000.0 Hz"}, {kEnvAmount, 0.6f, "ENV ON"},   {kCutoff, 0.5f, "ENV ON"},
        {kEnvAmount, 0.505f, "~7875.0 Hz"}, {kEnvAmount, 0.4f, "ENV ON"}, {kEnvAmount, 0.5f, "~7875.0 Hz"},
        {9, 1.0f, "~7875.0 Hz"},        {-1, 1.0f, "~7875.0 Hz"},
    };
    for (const Step& step : steps) {
        plugin.effect->effectRecord()->setParameter(plugin.effect->effectRecord(), step.index, step.value);
        runIdle(plugin, 1);
        EXPECT_STREQ(plugin.editor().getCutoffReadout()->getText(), step.text) << step.index << " " << step.value;
    }
    EXPECT_EQ(plugin.editor().controlFor(kEnvAmount)->getValue(), 0.5f) << "the dead zone's stored value";

    // Host Mode 0 (low-pass) puts the switch in its bottom band, Mode 1 in its top.
    for (float mode : {0.0f, 1.0f}) {
        plugin.effect->setParameter(kMode, mode);
        runIdle(plugin, 1);
        EXPECT_EQ(plugin.editor().controlFor(kMode)->getValue(), 1.0f - mode);
    }

    // Closed, the host changes things; the panel opened again shows them.
    plugin.dispatch(effEditClose);
    plugin.effect->setParameter(kCutoff, 0.25f);
    plugin.effect->setParameter(kEnvAmount, 0.9f);
    plugin.effect->setParameter(kResonance, 0.75f);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    EXPECT_EQ(plugin.editor().controlFor(kCutoff)->getValue(), 0.25f);
    EXPECT_EQ(plugin.editor().controlFor(kResonance)->getValue(), 0.75f);
    EXPECT_STREQ(plugin.editor().getCutoffReadout()->getText(), "ENV ON");
    plugin.dispatch(effEditClose);
    XDestroyWindow(display, parent);
}

TEST_F(FilterEditorX11, ControlClickSendsEachControlsDefault) {
    Instance plugin;
    Window parent = makeParent(0);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    runIdle(plugin);
    // Program 0 moved away from each default first.
    const struct {
        std::int32_t tag;
        float from, sent;
    } cases[] = {{kEnvAmount, 0.9f, 0.5f}, {kInTrim, 0.1f, 0.5f}, {kMode, 0.0f, 1.0f}, {kStages, 1.0f, 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        plugin.effect->setParameter(c.tag, c.from);
        runIdle(plugin, 1);
        plugin.host.calls.clear();
        const CBounds size = bounds(plugin.editor().controlFor(c.tag));
        controlClick(parent, CPos(size.left + 3, size.top + 3));
        runIdle(plugin);
        const std::vector<Call> calls = plugin.host.gestures();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
        EXPECT_EQ(calls[1].index, c.tag);
        EXPECT_EQ(calls[1].value, c.sent);
        EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
    }
    plugin.dispatch(effEditClose);
    XDestroyWindow(display, parent);
}

TEST_F(FilterEditorX11, TheSplashHoldsThePanelUntilClickedAgain) {
    Instance plugin;
    Window parent = makeParent(0);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    runIdle(plugin);
    CControl* splash = plugin.editor().controlFor(FilterEditor::kSplashTag);
    CControl* cutoff = plugin.editor().controlFor(kCutoff);
    const CBounds knob = bounds(cutoff);
    const CBounds window(0, 0, FilterEditor::kWidth, FilterEditor::kHeight);
    const std::vector<std::uint32_t> before = pixels(parent, window);

    click(parent, centre(bounds(splash)));
    runIdle(plugin);
    EXPECT_EQ(splash->getValue(), 1.0f);
    EXPECT_NE(pixels(parent, window), before) << "the splash shows over the panel";
    const CBounds card = bounds(splash);  // the picture's rectangle while it shows

    // A knob clear of the picture: a press on the picture itself closes it.
    const CBounds trim = bounds(plugin.editor().controlFor(kInTrim));
    ASSERT_FALSE(trim.overlaps(card));
    plugin.host.calls.clear();
    drag(parent, centre(trim), CPos(centre(trim).x, centre(trim).y - 40));
    runIdle(plugin);
    EXPECT_TRUE(plugin.host.gestures().empty()) << "no control answers while the splash shows";
    EXPECT_EQ(splash->getValue(), 1.0f);

    click(parent, centre(card));
    runIdle(plugin);
    EXPECT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(pixels(parent, window), before);
    drag(parent, centre(knob), CPos(centre(knob).x, centre(knob).y - 20));
    runIdle(plugin);
    EXPECT_FALSE(plugin.host.gestures().empty());
    plugin.dispatch(effEditClose);
    XDestroyWindow(display, parent);
}

TEST_F(FilterEditorX11, TheWindowShowsAFreshDrawAfterAnySequenceOfChanges) {
    Instance plugin;
    AEffect* record = plugin.effect->effectRecord();
    Window parent = makeParent(0);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, handle(parent)), 1);
    plugin.dispatch(effSetEditKnobMode, kKnobLinear);
    runIdle(plugin);

    auto run = [&](const PanelStep& step) {
        switch (step.kind) {
            case PanelStep::Gesture: {
                const CBounds r = bounds(plugin.editor().controlFor(step.index));
                const CPos from(r.left + int(step.fx * float(r.width())), r.top + int(step.fy * float(r.height())));
                moveTo(parent, from);
                button(true);
                moveTo(parent, CPos(from.x, from.y - int(step.value)));
                XSync(display, False);
                plugin.host.calls.clear();
                runIdle(plugin, 1);
                // The host's change comes while the button is still held.
                if (step.hostIndex >= 0) record->setParameter(record, step.hostIndex, step.hostValue);
                button(false);
                XSync(display, False);
                runIdle(plugin);
                const std::vector<Call> calls = plugin.host.gestures();
                EXPECT_TRUE(!calls.empty() && calls.front().opcode == audioMasterBeginEdit &&
                            calls.front().index == step.index)
                    << "a gesture on " << step.index;
                break;
            }
            case PanelStep::Host: record->setParameter(record, step.index, step.value); break;
            case PanelStep::Program: plugin.dispatch(effSetProgram, step.index); break;
            case PanelStep::SplashClick:
                click(parent, centre(bounds(plugin.editor().controlFor(FilterEditor::kSplashTag))));
                break;
            case PanelStep::HideAndShow:
                XUnmapWindow(display, parent);
                XSync(display, False);
                runIdle(plugin, 2);
                XMapWindow(display, parent);
                XSync(display, False);
                break;
            case PanelStep::MoveHalfOffAndBack:
                XMoveWindow(display, parent, -FilterEditor::kWidth / 2, -FilterEditor::kHeight / 2);
                XSync(display, False);
                runIdle(plugin, 2);
                XMoveWindow(display, parent, 0, 0);
                XSync(display, False);
                break;
        }
        runIdle(plugin);
    };

    const CBounds window(0, 0, FilterEditor::kWidth, FilterEditor::kHeight);
    for (const PanelSequence& sequence : panelSequences()) {
        for (const PanelStep& step : sequence.steps) run(step);
        std::vector<std::uint32_t> shown = pixels(parent, window);
        for (std::uint32_t& p : shown) p &= 0xFFFFFFu;
        EXPECT_EQ(pictureDifference(shown, freshDraw(*plugin.effect)), "") << "after " << sequence.what;
    }
    plugin.dispatch(effEditClose);
    XDestroyWindow(display, parent);
}
