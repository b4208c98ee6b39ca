// A knob and a switch dragged in a real Windows window under Wine with SendInput: the
// captured window's move and release messages drive the control. Each drag must give one
// begin, value changes, one end.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/CAnimKnob.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"
#include "gui/CVerticalSwitch.h"
#include "tests/support/platform/win32/SyntheticHand.h"

namespace {

// 'b' begin, 'v' value change, 'e' end, in order.
struct Panel : FrameEditor, CControlObserver {
    void beginEdit(std::int32_t) override { log += 'b'; }
    void endEdit(std::int32_t) override { log += 'e'; }
    std::uint32_t getTicks() override { return GetTickCount(); }
    void valueChanged(CDrawSurface*, CControl* control) override {
        log += 'v';
        values.push_back(control->getValue());
    }
    CFrame* frame = nullptr;
    std::string log;
    std::vector<float> values;
};

void expectOneGesture(const std::string& log, const char* what) {
    ASSERT_GE(log.size(), 4u) << what << ": " << log;
    EXPECT_EQ(log.front(), 'b') << what << ": " << log;
    EXPECT_EQ(log.back(), 'e') << what << ": " << log;
    EXPECT_EQ(log.find_first_not_of('v', 1), log.size() - 1) << what << ": " << log;
}

}  // namespace

TEST(WindowsControlDrag, KnobAndSwitchFollowAHeldButton) {
    HWND parent = makeTopmostParent("ControlDragTestParent", 300, 200);
    if (!parent) GTEST_SKIP() << "no windows without a display";
    Panel panel;
    panel.frame = new CFrame(CBounds(0, 0, 240, 120), parent, &panel);
    ASSERT_NE(panel.frame->getWindow(), nullptr);
    CImage* strip = new CImage(123);
    auto* knob = new CAnimKnob(CBounds(20, 10, 114, 104), &panel, 3, 101, strip->getHeight() / 101, strip, CPos());
    strip->release();
    panel.frame->addView(knob);
    strip = new CImage(134);
    auto* modeSwitch = new CVerticalSwitch(CBounds(150, 10, 206, 62), &panel, 1, 22, strip->getHeight() / 22, 22, strip, CPos());
    strip->release();
    panel.frame->addView(modeSwitch);
    CFrame::setKnobModeForAll(kKnobLinear);

    HWND window = static_cast<HWND>(panel.frame->getWindow()->nativeHandle());
    auto idle = [&] { panel.frame->idle(); };
    struct Drag { const char* what; CPos from, to; CControl* control; float end; float tolerance; };
    const Drag drags[] = {
        {"switch: top band to below the switch", CPos(170, 11), CPos(170, 80), modeSwitch, 1.0f, 0.0f},
        {"knob: 100 px up in the linear mode", CPos(67, 100), CPos(67, 0), knob, 0.5f, 0.011f},
    };
    for (const Drag& d : drags) {
        panel.log.clear();
        panel.values.clear();
        ASSERT_STREQ(dragChecked(window, d.from, d.to, 20, idle), "") << d.what;
        expectOneGesture(panel.log, d.what);
        EXPECT_NEAR(d.control->getValue(), d.end, d.tolerance) << d.what;
        for (std::size_t i = 1; i < panel.values.size(); ++i) EXPECT_GE(panel.values[i], panel.values[i - 1]) << d.what;
    }

    CFrame::setKnobModeForAll(kKnobCircular);
    panel.frame->release();
    DestroyWindow(parent);
}
