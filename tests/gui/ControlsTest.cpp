// The controls in a frame without a window, driven by a scripted pointer: the first step
// is the press, each later one a move with the buttons and keys then held, the first
// without the left button the release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "gui/CAnimKnob.h"
#include "gui/CFrame.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CImage.h"
#include "gui/COffscreenSurface.h"
#include "gui/CParamDisplay.h"
#include "gui/CSplashScreen.h"
#include "gui/CValueDisplay.h"
#include "gui/CVerticalSwitch.h"
#include "gui/platform/PixelReadback.h"
#include "gui/platform/linux/InputSource.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Step {
    int x, y;
    CButtonState buttons;
};

class ScriptedPointer : public platform::InputSource {
public:
    ScriptedPointer() { platform::setInputSource(this); }
    ~ScriptedPointer() override { platform::setInputSource(nullptr); }
    CPos pointerScreenPosition() override { return CPos(current().x, current().y); }
    platform::PhysicalButtons physicalButtons() override {
        platform::PhysicalButtons b;
        const CButtonState s = current().buttons;
        b.left = s & kMouseLeft;
        b.right = s & kMouseRight;
        b.shift = s & kKeyShift;
        b.control = s & kKeyControl;
        b.alt = s & kKeyAlt;
        return b;
    }
    void advance() {
        if (at + 1 < steps.size()) ++at;
    }
    Step current() const { return steps.empty() ? Step{0, 0, 0} : steps[at]; }
    std::vector<Step> steps;
    std::size_t at = 0;
};

// Frame owner and listener in one: the gesture notices, listener calls and pumps in one
// event string ('b' begin, 'v' value change, 'e' end, 'm' modifier click).
struct Bench : FrameEditor, CControlObserver {
    Bench() {
        frame = new CFrame(CBounds(0, 0, 300, 200), nullptr, this);
        back = frame->getBackBuffer();
    }
    ~Bench() { frame->release(); }

    void beginEdit(std::int32_t) override { events += 'b'; }
    void endEdit(std::int32_t) override { events += 'e'; }
    std::uint32_t getTicks() override { return ticks; }
    void valueChanged(CDrawSurface*, CControl* control) override {
        events += 'v';
        values.push_back(control->getValue());
    }
    std::int32_t onModifierClick(CDrawSurface*, CControl*, CButtonState) override {
        events += 'm';
        return consumeModifiers;
    }

    template <typename T>
    T* add(T* control) {
        frame->addView(control);
        frame->draw(back);
        return control;
    }
    // Presses at the first step; the frame sends the rest to the control that took it.
    void drag(std::vector<Step> script) {
        events.clear();
        values.clear();
        pointer.steps = std::move(script);
        pointer.at = 0;
        CPos where(pointer.steps[0].x, pointer.steps[0].y);
        frame->onMouse(back, where, pointer.steps[0].buttons);
        while (pointer.at + 1 < pointer.steps.size()) {
            pointer.advance();
            const Step step = pointer.current();
            where = CPos(step.x, step.y);
            if (step.buttons & kMouseLeft)
                frame->onMouseMoved(back, where, step.buttons);
            else
                frame->onMouseUp(back, where, step.buttons);
            frame->idle();
        }
        EXPECT_EQ(frame->getPointerTracker(), nullptr) << "the release ends the tracking";
    }
    std::vector<std::uint32_t> region(const CBounds& r) {
        std::vector<std::uint32_t> all(300 * 200), out;
        platform::readPixels(*back->getDeviceContext(), 300, 200, all.data());
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) out.push_back(all[std::size_t(y) * 300 + std::size_t(x)] & 0xFFFFFF);
        return out;
    }

    ScriptedPointer pointer;
    CFrame* frame;
    COffscreenSurface* back;
    std::string events;
    std::vector<float> values;
    std::uint32_t ticks = 1000;
    std::int32_t consumeModifiers = 0;
};

// One sub-image of a strip as a control of that size shows it over black. Without the
// first row and column: a redraw over a plain-colour frame background leaves those of the
// dirty rectangle unfilled, so blended images add up there.
std::vector<std::uint32_t> subImagePixels(std::int32_t imageId, int width, int height, int index) {
    CImage* image = new CImage(imageId);
    auto* scratch = new COffscreenSurface(nullptr, width, height, kColorBlack);
    scratch->fillRect(CBounds(-1, -1, width, height));
    image->draw(scratch, CBounds(0, 0, width, height), CPos(0, index * height));
    std::vector<std::uint32_t> all(std::size_t(width * height)), out;
    platform::readPixels(*scratch->getDeviceContext(), width, height, all.data());
    for (int i = width; i < width * height; ++i)
        if (i % width) out.push_back(all[std::size_t(i)] & 0xFFFFFF);
    scratch->release();
    image->release();
    return out;
}

bool showsSubImage(Bench& bench, const CBounds& at, std::int32_t imageId, int index) {
    CBounds inner(at.left + 1, at.top + 1, at.right, at.bottom);
    return bench.region(inner) == subImagePixels(imageId, at.width(), at.height(), index);
}

CAnimKnob* makeKnob(Bench& bench, const CBounds& size, std::int32_t imageId = 123, std::int32_t frames = 101) {
    CImage* image = new CImage(imageId);
    const std::int32_t frameHeight = frames > 0 ? image->getHeight() / frames : 0;
    auto* knob = new CAnimKnob(size, &bench, 3, frames, frameHeight, image, CPos());
    image->release();
    return bench.add(knob);
}

// A knob of strip 123's size at (100, 50): centre (147, 97), radius 47.
constexpr CBounds kKnobSize(100, 50, 194, 144);
constexpr int kCx = 147, kCy = 97;

std::vector<Step> path(std::initializer_list<Step> points) { return points; }

}  // namespace

// Control base -----------------------------------------------------------------------------

TEST(Control, DirtyTrackingByValue) {
    Bench bench;
    CAnimKnob* c = makeKnob(bench, kKnobSize);
    struct Case { const char* what; float set; bool markDirty, markClean; bool dirty; float last; };
    // Each row acts on the control as the previous rows left it.
    const Case cases[] = {
        {"after drawing", 0.25f, false, true, false, 0.25f},
        {"same value again", 0.25f, false, false, false, 0.25f},
        {"a new value", 0.75f, false, false, true, 0.25f},
        {"marked dirty", 0.75f, true, false, true, -1.0f},
        {"value -1 marked dirty", -1.0f, true, false, true, 0.0f},
        {"NaN after drawing", kNaN, false, true, true, kNaN},
    };
    for (const Case& k : cases) {
        c->setValue(k.set);
        if (k.markDirty) c->setDirty(true);
        if (k.markClean) c->setDirty(false);
        EXPECT_EQ(c->CControl::isDirty(), k.dirty) << k.what;
        if (std::isnan(k.last))
            EXPECT_TRUE(std::isnan(c->getLastValue())) << k.what;
        else
            EXPECT_EQ(c->getLastValue(), k.last) << k.what;
    }
}

TEST(Control, ControlClickResetsInsideOneGestureAndModifierClicksGoToTheListener) {
    struct Case { CButtonState buttons; std::int32_t consume; const char* events; float value; };
    const Case cases[] = {
        {kMouseLeft | kKeyControl, 0, "mbve", 0.5f},            // reset to the default
        // Not exactly 17: an ordinary drag without a move. The gesture gives the knob the
        // focus, which marks it dirty: one report of the unchanged value.
        {kMouseLeft | kKeyControl | kKeyShift, 0, "mbve", 0.2f},
        {kMouseRight | kKeyControl, 0, "", 0.2f},               // no left button: nothing
        {kMouseLeft | kKeyControl, 1, "m", 0.2f},               // the listener took the press
    };
    for (const Case& k : cases) {
        Bench bench;
        CFrame::setKnobModeForAll(kKnobLinear);
        CAnimKnob* knob = makeKnob(bench, kKnobSize);
        knob->setValue(0.2f);
        bench.frame->draw(bench.back);
        bench.consumeModifiers = k.consume;
        bench.drag(path({{kCx, kCy, k.buttons}, {kCx, kCy, 0}}));
        EXPECT_EQ(bench.events, k.events) << k.buttons;
        EXPECT_FLOAT_EQ(knob->getValue(), k.value) << k.buttons;
    }
    CFrame::setKnobModeForAll(kKnobCircular);
}

TEST(Control, DoubleClickWithinTheIntervalOnly) {
    Bench bench;
    CAnimKnob* knob = makeKnob(bench, kKnobSize);
    struct Click { std::uint32_t at; bool doubleClick; };
    // The interval is the system's, at least 250 ms; 600 ms apart is a new first click.
    const Click clicks[] = {{1000, false}, {1200, true}, {1300, false}, {1900, false}, {1950, true}};
    for (const Click& c : clicks) {
        bench.ticks = c.at;
        EXPECT_EQ(knob->isDoubleClick(), c.doubleClick) << c.at;
    }
}

// Knobs ------------------------------------------------------------------------------------

TEST(Knob, AngleGeometry) {
    Bench bench;
    CAnimKnob* knob = makeKnob(bench, kKnobSize);
    // Control-local points around the centre (47, 47).
    struct Case { int x, y; float value; };
    const Case cases[] = {
        {47, 0, 0.5f}, {94, 47, 0.8333333f}, {0, 47, 0.1666667f},
        {5, 89, 0.0f},   // lower-left end
        {40, 93, 0.0f},  // dead zone, left of straight down
        {54, 93, 1.0f},  // dead zone, right of straight down
        {89, 89, 1.0f},  // lower-right end
    };
    for (const Case& c : cases) EXPECT_NEAR(knob->valueFromPoint(CPos(c.x, c.y)), c.value, 1e-4) << c.x << "," << c.y;

    CAnimKnob* small = makeKnob(bench, CBounds(0, 0, 40, 40));
    struct PointCase { float value; CPos point; };
    const PointCase points[] = {{0.5099f, CPos(21, 0)}, {0.5101f, CPos(21, 0)}, {kNaN, CPos(6, 34)}};
    for (const PointCase& p : points) {
        small->setValue(p.value);
        CPos point;
        small->valueToPoint(point);
        EXPECT_EQ(point, p.point) << p.value;
    }
}

TEST(Knob, FilmstripSubImageForAnyValueAndStrip) {
    Bench bench;
    struct Case { std::int32_t imageId, frames; float value; std::int32_t index; };
    const Case cases[] = {
        {123, 101, 0.0f, 0}, {123, 101, 0.0099f, 0}, {123, 101, 0.5f, 50}, {123, 101, 1.0f, 100},
        {123, 101, -0.5f, 0}, {123, 101, kNaN, 0}, {123, 101, 7.0f, 100},
        {123, 101, std::numeric_limits<float>::infinity(), 100}, {123, 101, 3e38f, 100},
        {123, 3, 1.0f, 2},     // 9494 / 3 leaves two rows over: still inside
        {123, 0, 0.5f, 0}, {123, 1, 0.5f, 0},
        {999, 101, 0.7f, 0},   // no such image: 0 x 0
    };
    for (const Case& c : cases) {
        CAnimKnob* knob = makeKnob(bench, CBounds(0, 0, 94, 94), c.imageId, c.frames);
        knob->setValue(c.value);
        EXPECT_EQ(knob->subImageIndex(), c.index) << c.imageId << " " << c.frames << " " << c.value;
        knob->draw(bench.back);
        bench.frame->removeView(knob);
    }
}

TEST(Knob, NewSubImageIsDrawnEvenWhenTheHandlePointStays) {
    Bench bench;
    CAnimKnob* knob = makeKnob(bench, CBounds(0, 0, 94, 94));
    // The first step of the strip that leaves the handle point where it was.
    float before = -1.0f, after = -1.0f;
    for (int i = 0; i < 10000 && before < 0.0f; ++i) {
        CPos p, q;
        knob->setValue(float(i) / 10000.0f);
        knob->valueToPoint(p);
        const std::int32_t index = knob->subImageIndex();
        knob->setValue(float(i + 1) / 10000.0f);
        knob->valueToPoint(q);
        if (p == q && knob->subImageIndex() != index) before = float(i) / 10000.0f, after = float(i + 1) / 10000.0f;
    }
    ASSERT_GE(before, 0.0f);
    knob->setValue(before);
    bench.frame->idle();
    const std::int32_t oldIndex = knob->subImageIndex();
    knob->setValue(after);
    EXPECT_TRUE(knob->isDirty());
    bench.frame->idle();
    EXPECT_TRUE(showsSubImage(bench, CBounds(0, 0, 94, 94), 123, knob->subImageIndex()));
    EXPECT_NE(subImagePixels(123, 94, 94, oldIndex), subImagePixels(123, 94, 94, knob->subImageIndex()));
}

TEST(Knob, DragsInEveryMode) {
    const CButtonState L = kMouseLeft, S = kKeyShift, A = kKeyAlt;
    struct Case {
        const char* what;
        std::int32_t mode;
        float start;
        std::vector<Step> script;
        float end;
    };
    const Case cases[] = {
        {"200 px right is the whole range", kKnobLinear, 0.0f,
         {{kCx, kCy, L}, {kCx + 100, kCy, L}, {kCx + 200, kCy, L}, {kCx + 250, kCy, 0}}, 1.0f},
        {"100 px up is half", kKnobLinear, 0.0f, {{kCx, kCy, L}, {kCx, kCy - 50, L}, {kCx, kCy - 100, L}, {kCx, kCy - 100, 0}}, 0.5f},
        {"down and left lower it", kKnobLinear, 0.5f, {{kCx, kCy, L}, {kCx - 20, kCy + 20, L}, {kCx - 20, kCy + 20, 0}}, 0.3f},
        {"shift from the start: 300 px", kKnobLinear, 0.0f, {{kCx, kCy, L | S}, {kCx + 150, kCy, L | S}, {kCx + 150, kCy, 0}}, 0.5f},
        {"shift let go mid-drag", kKnobLinear, 0.0f,
         {{kCx, kCy, L | S}, {kCx + 150, kCy, L | S}, {kCx + 151, kCy, L}, {kCx + 200, kCy, L}, {kCx + 200, kCy, 0}}, 0.75f},
        {"alt in linear mode follows the angle", kKnobLinear, 0.0f,
         {{kCx, kCy - 47, L | A}, {kCx + 47, kCy, L | A}, {kCx + 47, kCy, 0}}, 0.8333333f},
        {"alt in circular mode drags", kKnobCircular, 0.0f, {{kCx, kCy, L | A}, {kCx + 100, kCy, L}, {kCx + 100, kCy, 0}}, 0.5f},
        {"relative circular follows the angle", kKnobRelativeCircular, 0.0f,
         {{kCx, kCy - 47, L}, {kCx - 47, kCy, L}, {kCx - 47, kCy, 0}}, 0.1666667f},
        {"circular past the lower-right end stays at 1", kKnobCircular, 0.5f,
         {{kCx, kCy - 47, L}, {kCx + 47, kCy, L}, {kCx + 40, kCy + 40, L}, {kCx + 5, kCy + 47, L}, {kCx - 5, kCy + 47, L},
          {kCx - 40, kCy + 40, L}, {kCx - 40, kCy + 41, 0}}, 1.0f},
    };
    for (const Case& c : cases) {
        Bench bench;
        CFrame::setKnobModeForAll(c.mode);
        CAnimKnob* knob = makeKnob(bench, kKnobSize);
        knob->setValue(c.start);
        bench.frame->draw(bench.back);
        bench.drag(c.script);
        EXPECT_NEAR(knob->getValue(), c.end, 1e-4) << c.what;
        // One gesture, a value change per step that moved the value, nothing after the end.
        std::string gesture = bench.events;
        gesture.erase(std::remove(gesture.begin(), gesture.end(), 'm'), gesture.end());
        ASSERT_GE(gesture.size(), 3u) << c.what;
        EXPECT_EQ(gesture.front(), 'b') << c.what;
        EXPECT_EQ(gesture.back(), 'e') << c.what;
        EXPECT_EQ(gesture.find_first_not_of('v', 1), gesture.size() - 1) << c.what << ": " << gesture;
        // No jumps: every reported step is within the largest single move of the script.
        float previous = c.start;
        for (float v : bench.values) {
            EXPECT_LE(std::fabs(v - previous), 0.51f) << c.what;
            previous = v;
        }
        EXPECT_EQ(bench.frame->getFocusView(), knob) << c.what;
        EXPECT_TRUE(showsSubImage(bench, kKnobSize, 123, knob->subImageIndex())) << c.what << ": drawn at the end";
    }
    CFrame::setKnobModeForAll(kKnobCircular);
}

TEST(Knob, WheelAndArrowKeysStepAndClamp) {
    struct Case { const char* what; float start; float wheel; int key; std::uint8_t modifier; CButtonState held; float end; const char* events; };
    const Case cases[] = {
        {"wheel up to the top", 0.95f, 1.0f, 0, 0, 0, 1.0f, "bve"},
        {"wheel with shift", 0.95f, 1.0f, 0, 0, kKeyShift, 0.96f, "bve"},
        {"wheel at the top: no change, no gesture", 1.0f, 1.0f, 0, 0, 0, 1.0f, ""},
        // The strip shows the minimum for NaN already: nothing to redraw, nothing reported.
        {"wheel down from NaN lands on the minimum", kNaN, -1.0f, 0, 0, 0, 0.0f, ""},
        {"arrow up", 0.5f, 0, 12, 0, 0, 0.6f, "bve"},
        {"arrow left with shift", 0.5f, 0, 11, kModifierShift, 0, 0.49f, "bve"},
        {"arrow down at the bottom", 0.0f, 0, 14, 0, 0, 0.0f, ""},
    };
    for (const Case& c : cases) {
        Bench bench;
        CAnimKnob* knob = makeKnob(bench, kKnobSize);
        knob->setValue(c.start);
        knob->setDirty(false);
        bench.pointer.steps = {{kCx, kCy, c.held}};
        if (c.key) {
            CKeyCode key;
            key.virt = std::uint8_t(c.key);
            key.modifier = c.modifier;
            EXPECT_EQ(knob->onKeyDown(key), 1) << c.what;
        } else {
            EXPECT_TRUE(bench.frame->onWheel(bench.back, CPos(kCx, kCy), c.wheel)) << c.what;
        }
        EXPECT_NEAR(knob->getValue(), c.end, 1e-6) << c.what;
        EXPECT_EQ(bench.events, c.events) << c.what;
    }
    Bench bench;
    CKeyCode other;
    other.virt = 2;
    EXPECT_EQ(makeKnob(bench, kKnobSize)->onKeyDown(other), -1);
}

// Switches and splash ----------------------------------------------------------------------

TEST(Switch, BandsAndTheRuleThatEndsTheDrag) {
    const CButtonState L = kMouseLeft;
    // Vertical: 22 positions in 44 pixels at (10, 20). Horizontal: 101 positions across the
    // 176-pixel strip 131 at (10, 100).
    struct Case { const char* what; bool vertical; std::vector<Step> script; std::vector<float> values; const char* events; };
    const Case cases[] = {
        {"top band", true, {{15, 20, L}, {15, 21, 0}}, {}, "be"},
        {"second band", true, {{15, 22, L}, {15, 22, 0}}, {1.0f / 21}, "bve"},
        {"dragged below", true, {{15, 22, L}, {15, 90, L}, {15, 90, L}, {15, 90, 0}}, {1.0f / 21, 1.0f}, "bvve"},
        {"shift pressed ends the drag", true, {{15, 22, L}, {15, 30, L | kKeyShift}, {15, 60, L}, {15, 60, 0}}, {1.0f / 21}, "bve"},
        {"right button added ends it", true, {{15, 22, L}, {15, 30, L | kMouseRight}, {15, 60, 0}}, {1.0f / 21}, "bve"},
        {"control-click: position 0", true, {{15, 60, L | kKeyControl}, {15, 60, 0}}, {}, "mbe"},
        {"middle of the strip", false, {{98, 110, L}, {98, 110, 0}}, {0.5f}, "bve"},
        {"left of the strip", false, {{10, 110, L}, {0, 110, L}, {0, 110, L}, {0, 110, 0}}, {}, "be"},
        {"modifier with any button first", false, {{98, 110, kMouseRight | kKeyShift}, {98, 110, 0}}, {}, "m"},
    };
    for (const Case& c : cases) {
        Bench bench;
        if (c.vertical) {
            bench.add(new CVerticalSwitch(CBounds(10, 20, 66, 64), &bench, 1, 22, 44, 22, nullptr, CPos()));
        } else {
            CImage* strip = new CImage(131);
            bench.add(new CHorizontalSwitch(CBounds(10, 100, 186, 148), &bench, 2, 101, 48, 101, strip, CPos()));
            strip->release();
        }
        bench.drag(c.script);
        EXPECT_EQ(bench.events, c.events) << c.what;
        ASSERT_EQ(bench.values.size(), c.values.size()) << c.what;
        for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_FLOAT_EQ(bench.values[i], c.values[i]) << c.what;
    }
}

TEST(Switch, ShowsTheNearestPositionsSubImage) {
    Bench bench;
    CImage* strip = new CImage(134);
    auto* mode = bench.add(new CVerticalSwitch(CBounds(0, 0, 56, 52), &bench, 1, 22, 52, 22, strip, CPos()));
    strip->release();
    struct Case { float value; int index; };
    const Case cases[] = {{0.5f, 11}, {1.0f / 21, 1}, {1.0f, 21}, {kNaN, 0}, {40.0f, 21}, {-3.0f, 0}};
    for (const Case& c : cases) {
        mode->setValue(c.value);
        bench.frame->idle();
        EXPECT_TRUE(showsSubImage(bench, CBounds(0, 0, 56, 52), 134, c.index)) << c.value;
    }
    // More positions than the strip holds, and a strip that failed to load: nothing drawn
    // from outside either.
    const CBounds wideSize(100, 0, 156, 52);
    const std::vector<std::uint32_t> beforeWide = bench.region(wideSize);
    CImage* missing = new CImage(999);
    auto* wide = bench.add(new CHorizontalSwitch(wideSize, &bench, 2, 22, 52, 500, missing, CPos()));
    missing->release();
    strip = new CImage(134);
    auto* tooMany = bench.add(new CVerticalSwitch(CBounds(200, 0, 256, 52), &bench, 1, 22, 52, 500, strip, CPos()));
    strip->release();
    wide->setValue(1.0f);
    tooMany->setValue(1.0f);
    bench.frame->idle();
    EXPECT_EQ(bench.region(wideSize), beforeWide);
    EXPECT_TRUE(showsSubImage(bench, CBounds(200, 0, 256, 52), 134, 21));
}

TEST(Splash, ModalCycle) {
    Bench bench;
    CImage* picture = new CImage(127);
    const CBounds small(250, 0, 290, 10), shown(20, 40, 220, 110);
    CAnimKnob* knob = makeKnob(bench, CBounds(0, 120, 60, 180));
    auto* splash = bench.add(new CSplashScreen(small, &bench, 682, picture, shown, CPos(100, 20)));
    picture->release();
    const std::vector<std::uint32_t> before = bench.region(shown);

    struct Case { const char* what; Step press; float value; CBounds size; bool modal; const char* events; };
    const Case cases[] = {
        {"right click on the small area", {260, 5, kMouseRight}, 0.0f, small, false, ""},
        {"left click shows it", {260, 5, kMouseLeft}, 1.0f, shown, true, "v"},
        {"a knob under the picture's reach takes no press", {30, 150, kMouseLeft}, 1.0f, shown, true, ""},
        {"right click on the picture", {50, 50, kMouseRight}, 1.0f, shown, true, ""},
        {"left click on the picture hides it", {50, 50, kMouseLeft}, 0.0f, small, false, "v"},
    };
    for (const Case& c : cases) {
        bench.drag({c.press, {c.press.x, c.press.y, 0}});
        bench.frame->idle();
        CBounds size;
        splash->getViewSize(size);
        EXPECT_EQ(splash->getValue(), c.value) << c.what;
        EXPECT_EQ(size, c.size) << c.what;
        EXPECT_EQ(bench.frame->getModalView() == splash, c.modal) << c.what;
        EXPECT_EQ(bench.events, c.events) << c.what;
        if (c.value != 0.0f) {
            EXPECT_NE(bench.region(shown), before) << c.what;
        }
    }
    EXPECT_EQ(bench.region(shown), before) << "the panel is back";
    EXPECT_EQ(knob->getValue(), 0.0f);

    // Shown, then closed by its owner: same state as a click, no listener call.
    bench.drag({{260, 5, kMouseLeft}, {260, 5, 0}});
    splash->closeSplash();
    CBounds size;
    splash->getViewSize(size);
    EXPECT_EQ(size, small);
    EXPECT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(bench.frame->getModalView(), nullptr);
    EXPECT_EQ(bench.events, "v");
}

TEST(Splash, StaysHiddenWhileAnotherViewIsModalAndKeepsItsArea) {
    Bench bench;
    CImage* picture = new CImage(127);
    const CBounds small(250, 0, 290, 10);
    auto* splash = bench.add(new CSplashScreen(small, &bench, 682, picture, CBounds(20, 40, 220, 110), CPos()));
    picture->release();
    auto* other = new CSplashScreen(CBounds(0, 0, 1, 1), nullptr, 0, nullptr, CBounds(), CPos());
    ASSERT_TRUE(bench.frame->setModalView(other));
    CPos where(260, 5);
    splash->onMouse(bench.back, where, kMouseLeft);
    CBounds size;
    splash->getViewSize(size);
    EXPECT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(bench.frame->getModalView(), other);
    // A value set from outside, then a click: hidden again without losing the small area.
    bench.frame->setModalView(nullptr);
    other->release();
    splash->setValue(kNaN);
    where = CPos(260, 5);
    splash->onMouse(bench.back, where, kMouseLeft);
    splash->getViewSize(size);
    EXPECT_EQ(size, small);
    EXPECT_EQ(splash->getValue(), 0.0f);
}

// Displays ---------------------------------------------------------------------------------

namespace {
void writeHalf(float, char* text) { std::strcpy(text, "0.50"); }
void writeDifferent(float, char* text) { std::strcpy(text, "0.5"); }
int plainCalls = 0, dataCalls = 0;
void countPlain(float, char* text) { ++plainCalls, std::strcpy(text, "x"); }
void countData(float, char* text, void* data) { ++*static_cast<int*>(data), std::strcpy(text, "y"); }
}  // namespace

TEST(ParamDisplay, FormatsTheValueOrAsksItsHook) {
    Bench bench;
    const CBounds at(10, 10, 80, 30);
    struct Case { float value; CValueToText hook; bool same; };
    // The default format draws what the hook's fixed text draws.
    const Case cases[] = {{0.5f, writeHalf, true}, {0.5f, writeDifferent, false}, {0.499f, writeHalf, true}};
    for (const Case& c : cases) {
        auto* plain = new CParamDisplay(at);
        plain->setValue(c.value);
        plain->draw(bench.back);
        const auto formatted = bench.region(at);
        plain->setValueToText(c.hook);
        plain->draw(bench.back);
        EXPECT_EQ(bench.region(at) == formatted, c.same) << c.value;
        plain->release();
    }
    auto* both = new CParamDisplay(at);
    both->setValueToText(countPlain);
    both->setValueToTextWithData(countData, &dataCalls);
    both->draw(bench.back);
    EXPECT_EQ(plainCalls, 0);
    EXPECT_EQ(dataCalls, 1);
    both->release();
}

TEST(ParamDisplay, SettersMarkDirtyOnlyOnChange) {
    auto* d = new CParamDisplay(CBounds(0, 0, 10, 10));
    using Set = void (*)(CParamDisplay*, bool change);
    const Set setters[] = {
        [](CParamDisplay* p, bool ch) { p->setFont(ch ? kFontSmall : kFontNormal); },
        [](CParamDisplay* p, bool ch) { p->setFontColor(ch ? kColorRed : kColorWhite); },
        [](CParamDisplay* p, bool ch) { p->setBackColor(ch ? kColorRed : kColorBlack); },
        [](CParamDisplay* p, bool ch) { p->setFrameColor(ch ? kColorRed : kColorBlack); },
        [](CParamDisplay* p, bool ch) { p->setShadowColor(ch ? kColorBlue : kColorRed); },
        [](CParamDisplay* p, bool ch) { p->setTextAlign(ch ? kAlignLeft : kAlignCenter); },
        [](CParamDisplay* p, bool ch) { p->setStyle(ch ? kDisplayNoFrame : 0); },
        [](CParamDisplay* p, bool ch) { p->setFontStyle(ch ? kStyleBold : 0); },
    };
    int i = 0;
    for (Set set : setters) {
        d->setDirty(false);
        set(d, false);
        EXPECT_FALSE(d->isDirty()) << "setter " << i << " with the same value";
        set(d, true);
        EXPECT_TRUE(d->isDirty()) << "setter " << i;
        set(d, false);
        ++i;
    }
    d->release();
    auto* quiet = new CParamDisplay(CBounds(0, 0, 10, 10), nullptr, kDisplayNoDraw);
    EXPECT_FALSE(quiet->isDirty());
    quiet->release();
}

TEST(ParamDisplay, StylesFrameAndBevel) {
    constexpr CRgb kBack{0, 0, 200}, kFrame{200, 0, 0};
    constexpr std::uint32_t kPanel = 0x000000, back = 0x0000C8, frameColor = 0xC80000;
    const CBounds at(20, 20, 60, 40);
    struct Case { std::int32_t style; std::uint32_t leftEdge, inside, rightOfBox, anyText; };
    const Case cases[] = {
        {0, frameColor, back, kPanel, 0},
        {kDisplayNoFrame, kPanel, back, kPanel, 0},  // the fill leaves the left column alone
        {kDisplayBevelIn, back, back, frameColor, 0},
        {kDisplayBevelOut, frameColor, back, back, 0},
        {kDisplayNoDraw, kPanel, kPanel, kPanel, 0},
    };
    for (const Case& c : cases) {
        Bench bench;
        auto* d = bench.add(new CParamDisplay(at, nullptr, c.style | kDisplayNoText));
        d->setBackColor(kBack);
        d->setFrameColor(kFrame);
        d->draw(bench.back);  // unclipped: the bevel's right edge lies just outside the size
        const auto row = bench.region(CBounds(19, 30, 62, 31));
        EXPECT_EQ(row[1], c.leftEdge) << c.style;
        EXPECT_EQ(row[20], c.inside) << c.style;
        EXPECT_EQ(row[41], c.rightOfBox) << c.style;
    }
}

TEST(ValueDisplay, CentredGreyTextOnABlackBoxAndSetText) {
    Bench bench;
    bench.frame->setBackgroundColor(CRgb(0, 90, 0));
    bench.frame->draw(bench.back);
    const CBounds at(100, 100, 165, 112);
    auto* readout = bench.add(new CValueDisplay(at, "ENV ON"));
    readout->setFont(kFontSmaller);
    readout->setFontColor(kColorGrey);
    readout->setBackColor(kColorBlack);
    readout->setFrameColor(kColorRed);  // not used by the readout
    bench.frame->idle();
    const auto box = bench.region(at);
    int left = 65, right = -1;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 65; ++x) {
            const std::uint32_t p = box[std::size_t(y * 65 + x)];
            const unsigned r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            EXPECT_TRUE(r == g && g == b && r <= 127) << "grey on black only, at " << x << "," << y;
            if (p) left = std::min(left, x), right = std::max(right, x);
        }
    ASSERT_LE(left, right) << "text is shown";
    EXPECT_LE(std::abs(left - (64 - right)), 2) << "centred";

    readout->setDirty(false);
    readout->setText(nullptr);
    EXPECT_STREQ(readout->getText(), "ENV ON");
    EXPECT_TRUE(readout->isDirty());
    std::string longText(400, 'x');
    readout->setText(longText.c_str());
    EXPECT_EQ(std::strlen(readout->getText()), 255u);
}
