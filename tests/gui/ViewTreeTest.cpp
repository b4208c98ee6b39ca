// The view tree without a window: drawing order, routing of presses, wheel and keys,
// focus, the modal view and the lazy redraw, checked on the back buffer's pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/PixelReadback.h"

namespace {

constexpr CRgb kBackground{10, 20, 30};
constexpr CRgb kRed{200, 0, 0};
constexpr CRgb kGreen{0, 200, 0};
constexpr CRgb kBlue{0, 0, 200};
constexpr std::uint32_t kMagentaWord = 0xFFFF00FF;

std::uint32_t word(const CRgb& c) {
    return 0xFF000000u | (std::uint32_t(c.red) << 16) | (std::uint32_t(c.green) << 8) | c.blue;
}

// A solid rectangle that records what reaches it.
class Probe : public CView {
public:
    Probe(const CBounds& size, CRgb color, std::vector<std::string>* log, const char* name)
        : CView(size), color(color), log(log), name(name) {}
    void draw(CDrawSurface* surface) override {
        surface->setFillColor(color);
        surface->fillRect(CBounds(size.left - 1, size.top - 1, size.right, size.bottom));
        ++draws;
        setDirty(false);
    }
    void onMouse(CDrawSurface*, CPos& where, CButtonState) override {
        log->push_back(std::string(name) + " press " + std::to_string(where.x) + "," + std::to_string(where.y));
    }
    bool onWheel(CDrawSurface*, const CPos&, float distance) override {
        log->push_back(std::string(name) + " wheel " + std::to_string(distance));
        return true;
    }
    CRgb color;
    std::vector<std::string>* log;
    const char* name;
    int draws = 0;
};

struct Tree {
    Tree() {
        frame = new CFrame(CBounds(0, 0, 100, 60), nullptr, nullptr);
        frame->setBackgroundColor(kBackground);
    }
    ~Tree() { frame->release(); }
    Probe* add(const CBounds& size, CRgb color, const char* name) {
        auto* probe = new Probe(size, color, &log, name);
        frame->addView(probe);
        return probe;
    }
    std::vector<std::uint32_t> pixels() {
        std::vector<std::uint32_t> out(100 * 60);
        platform::readPixels(*frame->getBackBuffer()->getDeviceContext(), 100, 60, out.data());
        return out;
    }
    std::uint32_t at(int x, int y) { return pixels()[std::size_t(y) * 100 + std::size_t(x)]; }
    void press(int x, int y) {
        CPos where(x, y);
        frame->onMouse(frame->getBackBuffer(), where, kMouseLeft);
    }
    std::string lastEvent() { return log.empty() ? "none" : log.back(); }
    CFrame* frame;
    std::vector<std::string> log;
};

}  // namespace

TEST(ViewTree, LaterChildrenDrawOnTopAndTakeThePressFirst) {
    Tree tree;
    tree.add(CBounds(10, 10, 50, 50), kRed, "red");
    tree.add(CBounds(30, 30, 70, 58), kGreen, "green");
    Probe* wide = tree.add(CBounds(80, 5, 90, 15), kBlue, "blue");
    wide->setMouseArea(CBounds(75, 0, 99, 40));
    Probe* off = tree.add(CBounds(0, 0, 20, 20), kBlue, "disabled");
    off->setMouseEnabled(false);
    tree.frame->draw(tree.frame->getBackBuffer());

    EXPECT_EQ(tree.at(40, 40), word(kGreen));
    EXPECT_EQ(tree.at(15, 25), word(kRed));
    EXPECT_EQ(tree.at(5, 55), word(kBackground));

    struct Case { int x, y; const char* expected; };
    const Case cases[] = {
        {40, 40, "green press 40,40"},  // overlap: the later child
        {15, 15, "red press 15,15"},    // under a child that takes no mouse
        {95, 30, "blue press 95,30"},   // mouse area larger than the view
        {5, 55, "none"},                // nobody there
    };
    for (const Case& c : cases) {
        tree.log.clear();
        tree.press(c.x, c.y);
        EXPECT_EQ(tree.lastEvent(), c.expected) << c.x << "," << c.y;
        EXPECT_LE(tree.log.size(), 1u);
    }
}

TEST(ViewTree, UpdateRedrawsOnlyTheDirtyChildsRectangleAfterTheFirstPaint) {
    Tree tree;
    Probe* red = tree.add(CBounds(10, 10, 50, 50), kRed, "red");
    Probe* green = tree.add(CBounds(30, 30, 70, 58), kGreen, "green");

    tree.frame->idle();  // before the first paint nothing is drawn
    EXPECT_EQ(red->draws + green->draws, 0);

    COffscreenSurface* back = tree.frame->getBackBuffer();
    tree.frame->draw(back);
    back->setFillColor(CRgb(255, 0, 255));
    back->fillRect(CBounds(-1, -1, 100, 60));
    red->setDirty(true);
    tree.frame->idle();

    // The red rectangle came back with what lies under and over it; nothing else moved.
    EXPECT_EQ(tree.at(15, 15), word(kRed));
    EXPECT_EQ(tree.at(40, 40), word(kGreen)) << "the overlapping sibling is drawn again";
    EXPECT_EQ(tree.at(60, 40), kMagentaWord) << "outside the dirty rectangle";
    EXPECT_EQ(tree.at(5, 5), kMagentaWord);
    EXPECT_FALSE(tree.frame->isDirty());
}

TEST(ViewTree, DirtinessOfPartlyDrawnAndOutlyingChildren) {
    Tree tree;
    Probe* green = tree.add(CBounds(30, 30, 70, 58), kGreen, "green");
    tree.frame->draw(tree.frame->getBackBuffer());

    green->setDirty(true);
    tree.frame->drawArea(tree.frame->getBackBuffer(), CBounds(0, 0, 50, 60));
    EXPECT_TRUE(green->isDirty()) << "only half drawn";
    tree.frame->drawArea(tree.frame->getBackBuffer(), CBounds(0, 0, 100, 60));
    EXPECT_FALSE(green->isDirty());

    auto* box = new CViewContainer(CBounds(0, 0, 20, 20), tree.frame);
    tree.frame->addView(box);
    auto* outside = new Probe(CBounds(30, 30, 40, 40), kRed, &tree.log, "outside");
    box->addView(outside);
    box->setDirty(false);
    EXPECT_TRUE(outside->isDirty());
    EXPECT_FALSE(box->isDirty()) << "a dirty child outside its container";
}

TEST(ViewTree, FocusIsClearedByPressesAndRemovalButNotByRemoveAll) {
    Tree tree;
    Probe* a = tree.add(CBounds(0, 0, 10, 10), kRed, "a");
    Probe* b = tree.add(CBounds(20, 0, 30, 10), kRed, "b");
    b->retain();

    tree.frame->setFocusView(a);
    tree.press(25, 5);
    EXPECT_EQ(tree.frame->getFocusView(), nullptr) << "a press clears the focus";

    tree.frame->setFocusView(b);
    tree.frame->removeView(b, true);
    EXPECT_EQ(tree.frame->getFocusView(), nullptr) << "removing the focus view";

    tree.frame->setFocusView(a);
    a->retain();
    tree.frame->removeAll(true);
    EXPECT_EQ(tree.frame->getFocusView(), a) << "removeAll leaves the focus alone";
    tree.frame->setFocusView(nullptr);
    a->release();
    b->release();
}

TEST(ViewTree, TabMovesTheFocusAndWrapsAround) {
    Tree tree;
    Probe* views[4];
    for (int i = 0; i < 4; ++i) {
        views[i] = tree.add(CBounds(i * 10, 0, i * 10 + 5, 5), kRed, "v");
        views[i]->setWantsFocus(i != 2);
    }
    struct Case { int from; bool shift; int to; };
    const Case cases[] = {{-1, false, 0}, {0, false, 1}, {1, false, 3}, {3, false, 0}, {0, true, 3}, {3, true, 1}};
    for (const Case& c : cases) {
        tree.frame->setFocusView(c.from < 0 ? nullptr : views[c.from]);
        CKeyCode tab;
        tab.virt = kVirtualKeyTab;
        tab.modifier = c.shift ? kModifierShift : 0;
        EXPECT_EQ(tree.frame->onKeyDown(tab), 1);
        EXPECT_EQ(tree.frame->getFocusView(), views[c.to]) << c.from << (c.shift ? " shift" : "");
    }
    tree.frame->setFocusView(nullptr);
}

TEST(ViewTree, ModalViewTakesEveryPressAndWheelItHits) {
    Tree tree;
    tree.add(CBounds(0, 0, 100, 60), kRed, "under");
    auto* modal = new Probe(CBounds(40, 20, 60, 40), kGreen, &tree.log, "modal");
    ASSERT_TRUE(tree.frame->setModalView(modal));
    EXPECT_FALSE(tree.frame->setModalView(modal)) << "one modal view at a time";

    tree.press(5, 5);
    EXPECT_EQ(tree.lastEvent(), "none") << "outside the modal view nothing happens";
    tree.press(45, 25);
    EXPECT_EQ(tree.lastEvent(), "modal press 45,25");
    EXPECT_TRUE(tree.frame->onWheel(nullptr, CPos(5, 5), -1.0f));
    EXPECT_EQ(tree.lastEvent(), "modal wheel -1.000000");

    ASSERT_TRUE(tree.frame->setModalView(nullptr));
    EXPECT_FALSE(tree.frame->isChild(modal));
    modal->release();
    EXPECT_TRUE(tree.frame->onWheel(nullptr, CPos(5, 5), 2.0f));
    EXPECT_EQ(tree.lastEvent(), "under wheel 2.000000");
}

TEST(ViewTree, ContainersAnswerOnlyTheSharedMessageAndTheirClassNames) {
    Tree tree;
    const std::string copy = kMsgCheckIfViewContainer;
    EXPECT_EQ(tree.frame->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(tree.frame->notify(nullptr, copy.c_str()), 0);
    CView view(CBounds(0, 0, 1, 1));
    EXPECT_EQ(view.notify(nullptr, kMsgCheckIfViewContainer), 0);

    struct Case { const char* name; bool view, container, frame; };
    const Case cases[] = {{"CView", true, true, true}, {"CViewContainer", false, true, true},
                          {"CFrame", false, false, true}, {"cframe", false, false, false},
                          {"CScrollContainer", false, false, false}};
    CViewContainer container(CBounds(0, 0, 1, 1), tree.frame);
    for (const Case& c : cases) {
        EXPECT_EQ(view.isTypeOf(c.name), c.view) << c.name;
        EXPECT_EQ(container.isTypeOf(c.name), c.container) << c.name;
        EXPECT_EQ(tree.frame->isTypeOf(c.name), c.frame) << c.name;
    }
}
