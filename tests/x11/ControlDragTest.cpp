// A knob and a switch dragged in a real X server: a second connection moves the pointer
// through XTest with the button held while the editor idles. Each drag must reach the
// host as one begin, value changes, one end, with every idle call returning at once and
// no idle request to the host.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "editor/GuiEditorBase.h"
#include "vst2/PanelEditor.h"
#include "gui/CAnimKnob.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"
#include "gui/CVerticalSwitch.h"
#include "vst2/EffectBaseExt.h"

namespace {

// What reached the host and the listener, in order: 'b' begin, 'v' value change, 'e' end,
// 'i' an idle request.
std::string gestureLog;

intptr VSTCALL recordingHost(AEffect*, int32 opcode, int32, intptr, void*, float) {
    if (opcode == audioMasterBeginEdit) gestureLog += 'b';
    if (opcode == audioMasterEndEdit) gestureLog += 'e';
    if (opcode == audioMasterIdle) gestureLog += 'i';
    return 0;
}

struct QuietEffect : EffectBaseExt {
    QuietEffect() : EffectBaseExt(recordingHost, 1, 1) {}
    void process(float**, float**, int32) override {}
    std::int32_t oversampleFactor() const override { return 1; }
};

constexpr CBounds kKnobRect(20, 10, 114, 104);
constexpr CBounds kSwitchRect(150, 10, 206, 62);

struct TwoControls : GuiEditorBase, CControlObserver {
    using GuiEditorBase::GuiEditorBase;
    bool open(void* parent) override {
        GuiEditorBase::open(parent);
        frame = new CFrame(CBounds(0, 0, 240, 120), parent, this);
        CImage* strip = new CImage(123);
        knob = new CAnimKnob(kKnobRect, this, 3, 101, strip->getHeight() / 101, strip, CPos());
        strip->release();
        frame->addView(knob);
        strip = new CImage(134);
        modeSwitch = new CVerticalSwitch(kSwitchRect, this, 1, 22, strip->getHeight() / 22, 22, strip, CPos());
        strip->release();
        frame->addView(modeSwitch);
        return frame->getWindow() != nullptr;
    }
    void close() override {
        if (frame) frame->release();
        frame = nullptr;
    }
    void valueChanged(CDrawSurface*, CControl* control) override {
        gestureLog += 'v';
        values.push_back(control->getValue());
    }
    CAnimKnob* knob = nullptr;
    CVerticalSwitch* modeSwitch = nullptr;
    std::vector<float> values;
};

// Presses at from, moves to to in steps with the button held, releases; on a connection
// of its own, as a user's hand beside the editor's thread.
void dragOnOwnConnection(Window parent, CPos from, CPos to, std::atomic<bool>* done) {
    Display* hand = XOpenDisplay(nullptr);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(hand, parent, DefaultRootWindow(hand), 0, 0, &x, &y, &child);
    auto moveTo = [&](CPos p) {
        XTestFakeMotionEvent(hand, -1, x + p.x, y + p.y, 0);
        XSync(hand, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    };
    moveTo(from);
    XTestFakeButtonEvent(hand, Button1, True, 0);
    XSync(hand, False);
    constexpr int kSteps = 20;
    for (int i = 1; i <= kSteps; ++i)
        moveTo(CPos(from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XTestFakeButtonEvent(hand, Button1, False, 0);
    XSync(hand, False);
    XCloseDisplay(hand);
    *done = true;
}

class ControlDragX11 : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
    }

    // Drags while idling the editor every 5 ms; the longest idle call.
    std::chrono::steady_clock::duration drag(TwoControls& editor, CPos from, CPos to) {
        for (int i = 0; i < 10; ++i) editor.idle();
        gestureLog.clear();
        editor.values.clear();
        std::atomic<bool> done{false};
        std::thread hand(dragOnOwnConnection, parent, from, to, &done);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::chrono::steady_clock::duration longest{};
        while (!done && std::chrono::steady_clock::now() < end) {
            const auto start = std::chrono::steady_clock::now();
            editor.idle();
            longest = std::max(longest, std::chrono::steady_clock::now() - start);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        hand.join();
        for (int i = 0; i < 10; ++i) editor.idle();
        return longest;
    }

    // One begin, at least a few value changes, one end, nothing outside.
    static void expectOneGesture(const char* what) {
        ASSERT_GE(gestureLog.size(), 4u) << what << ": " << gestureLog;
        EXPECT_EQ(gestureLog.front(), 'b') << what << ": " << gestureLog;
        EXPECT_EQ(gestureLog.back(), 'e') << what << ": " << gestureLog;
        EXPECT_EQ(gestureLog.find_first_not_of('v', 1), gestureLog.size() - 1) << what << ": " << gestureLog;
    }

    Display* display = nullptr;
    Window parent = 0;
};

}  // namespace

TEST_F(ControlDragX11, KnobAndSwitchFollowAHeldButton) {
    QuietEffect effect;
    auto* editor = new TwoControls(&effect);
    effect.attachEditor(new PanelEditor(&effect, std::unique_ptr<Panel>(editor)));
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
    CFrame::setKnobModeForAll(kKnobLinear);

    // 100 pixels up in the linear mode: half the range, step by step.
    // The hand takes over 300 ms; an idle call handles what is waiting and returns.
    EXPECT_LT(drag(*editor, CPos(67, 100), CPos(67, 0)), std::chrono::milliseconds(100));
    expectOneGesture("knob");
    EXPECT_NEAR(editor->knob->getValue(), 0.5f, 0.011f);
    for (std::size_t i = 1; i < editor->values.size(); ++i) EXPECT_GE(editor->values[i], editor->values[i - 1]);

    // From the top band to below the switch: position 0 up to the last.
    EXPECT_LT(drag(*editor, CPos(170, 11), CPos(170, 80)), std::chrono::milliseconds(100));
    expectOneGesture("switch");
    EXPECT_GE(editor->values.size(), 5u) << "bands passed on the way";
    EXPECT_EQ(editor->modeSwitch->getValue(), 1.0f);
    for (std::size_t i = 1; i < editor->values.size(); ++i) EXPECT_GE(editor->values[i], editor->values[i - 1]);

    CFrame::setKnobModeForAll(kKnobCircular);
    editor->close();
}
