// The editor window in a real X server: a parent window made here, real button presses
// and wheel notches through XTest, delivered through the panel's event descriptor, and the
// faults a host can cause.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "editor/GuiEditorBase.h"
#include "vst2/PanelEditor.h"
#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "vst2/FilterEffect.h"
#include "vst2/EntryPoint.h"

namespace {

constexpr CRgb kPanel{0, 90, 160};

intptr VSTCALL silentHost(AEffect*, int32, int32, intptr, void*, float) { return 0; }

// An effect with no editor of its own, for the test's editor.
struct BareEffect : EffectBaseExt {
    BareEffect() : EffectBaseExt(silentHost, 1, 1) {}
    void process(float**, float**, int32) override {}
    std::int32_t oversampleFactor() const override { return 1; }
};

int hostErrors = 0;
int hostErrorHandler(Display*, XErrorEvent*) {
    ++hostErrors;
    return 0;
}

// A view that records the presses and wheel notches it gets.
struct Target : CView {
    explicit Target(const CBounds& size) : CView(size) {}
    void draw(CDrawSurface* surface) override {
        surface->setFillColor(kPanel);
        surface->fillRect(CBounds(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    void onMouse(CDrawSurface*, CPos& where, CButtonState buttons) override {
        presses.push_back(where);
        pressButtons.push_back(buttons);
    }
    bool onWheel(CDrawSurface*, const CPos&, float distance) override {
        notches.push_back(distance);
        return true;
    }
    std::vector<CPos> presses;
    std::vector<CButtonState> pressButtons;
    std::vector<float> notches;
};

struct TreeEditor : GuiEditorBase {
    using GuiEditorBase::GuiEditorBase;
    bool open(void* parent) override {
        GuiEditorBase::open(parent);
        frame = new CFrame(CBounds(0, 0, 200, 100), parent, this);
        target = new Target(CBounds(20, 10, 180, 90));
        frame->addView(target);
        return frame->getWindow() != nullptr;
    }
    void close() override {
        if (frame) frame->release();
        frame = nullptr;
        target = nullptr;
    }
    Target* target = nullptr;
};

class EditorWindowX11 : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display";
        previousHandler = XSetErrorHandler(hostErrorHandler);
        parent = makeParent();
    }
    void TearDown() override {
        if (!display) return;
        XSetErrorHandler(previousHandler);
        XCloseDisplay(display);
    }

    Window makeParent() {
        Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }
    void* handle(Window window) { return reinterpret_cast<void*>(window); }

    unsigned childCount(Window window) {
        Window root, up, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, window, &root, &up, &children, &count);
        if (children) XFree(children);
        return count;
    }

    // Idles the editor until done() holds or two seconds pass.
    template <typename Done>
    bool idleUntil(Panel& editor, Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            editor.idle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void click(unsigned button, int x, int y) {
        int screenX = 0, screenY = 0;
        Window child;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), x, y, &screenX, &screenY, &child);
        XTestFakeMotionEvent(display, -1, screenX, screenY, 0);
        XTestFakeButtonEvent(display, button, True, 0);
        XTestFakeButtonEvent(display, button, False, 0);
        XSync(display, False);
    }

    Display* display = nullptr;
    XErrorHandler previousHandler = nullptr;
    Window parent = 0;
};

}  // namespace

TEST_F(EditorWindowX11, PaintsAndRoutesRealPressesAndWheelNotches) {
    int xtestEvent, xtestError, major, minor;
    if (!XTestQueryExtension(display, &xtestEvent, &xtestError, &major, &minor)) GTEST_SKIP() << "no XTest";
    BareEffect effect;
    auto* editor = new TreeEditor(&effect);
    effect.attachEditor(new PanelEditor(&effect, std::unique_ptr<Panel>(editor)));
    ASSERT_TRUE(editor->open(handle(parent)));
    ASSERT_EQ(childCount(parent), 1u);

    // The first paint comes from the window's expose; the panel colour reaches the server.
    ASSERT_TRUE(idleUntil(*editor, [&] {
        XImage* image = XGetImage(display, parent, 100, 50, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = image ? XGetPixel(image, 0, 0) : 0;
        if (image) XDestroyImage(image);
        return pixel == 0x005AA0;
    })) << "the window shows the tree";

    click(Button1, 50, 40);
    click(Button3, 60, 45);
    for (unsigned button : {Button4, Button4, Button5}) click(button, 100, 50);
    click(Button1, 5, 5);  // inside the frame, outside the target
    // Delivered as a host's run loop would: it watches the panel's descriptor and has the
    // panel read what is waiting when it turns readable, no idle call in between.
    Target* target = editor->target;
    const int descriptor = editor->eventDescriptor();
    ASSERT_GE(descriptor, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while ((target->presses.size() < 2 || target->notches.size() < 3) && std::chrono::steady_clock::now() < end) {
        pollfd watched{descriptor, POLLIN, 0};
        if (poll(&watched, 1, 100) > 0) editor->processEvents();
    }

    ASSERT_EQ(target->presses.size(), 2u);
    EXPECT_EQ(target->presses[0], CPos(50, 40));
    EXPECT_EQ(target->pressButtons[0] & kMouseLeft, kMouseLeft);
    EXPECT_EQ(target->presses[1], CPos(60, 45));
    EXPECT_EQ(target->pressButtons[1] & kMouseRight, kMouseRight);
    EXPECT_EQ(target->notches, (std::vector<float>{1.0f, 1.0f, -1.0f}));

    editor->close();
    EXPECT_EQ(childCount(parent), 0u);
    EXPECT_EQ(hostErrors, 0);
}

TEST_F(EditorWindowX11, HostFaultsEndWithoutCrashOrLeak) {
    FilterEffect effect(silentHost, 2, false);
    attachPanel(effect);
    auto dispatch = [&](int32 opcode, void* ptr = nullptr) { return effect.dispatcher(opcode, 0, 0, ptr, 0.0f); };
    const std::int32_t liveBefore = CRefObject::liveCount();

    EXPECT_EQ(dispatch(effEditIdle), 0) << "idle without a window";
    EXPECT_EQ(dispatch(effEditClose), 0) << "close without open";
    EXPECT_EQ(dispatch(effEditOpen, nullptr), 0) << "no parent";
    EXPECT_EQ(dispatch(effEditOpen, handle(0x7FFFFF1)), 0) << "a window id that does not exist";

    EXPECT_EQ(dispatch(effEditOpen, handle(parent)), 1);
    EXPECT_EQ(dispatch(effEditOpen, handle(parent)), 1) << "open twice";
    EXPECT_EQ(childCount(parent), 1u) << "the second open replaced the first window";
    dispatch(effEditClose);

    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(dispatch(effEditOpen, handle(parent)), 1);
        dispatch(effEditIdle);
        dispatch(effEditClose);
    }
    EXPECT_EQ(childCount(parent), 0u);
    EXPECT_EQ(CRefObject::liveCount(), liveBefore) << "views, surfaces or images left behind";

    // The host destroys its window first; idle and close afterwards are harmless.
    ASSERT_EQ(dispatch(effEditOpen, handle(parent)), 1);
    dispatch(effEditIdle);
    XDestroyWindow(display, parent);
    XSync(display, False);
    dispatch(effEditIdle);
    dispatch(effEditIdle);
    dispatch(effEditClose);

    // No display at all: no editor, and the audio keeps flowing.
    const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    Window other = makeParent();
    EXPECT_EQ(dispatch(effEditOpen, handle(other)), 0);
    setenv("DISPLAY", saved.c_str(), 1);
    float input[64] = {0.5f}, output[64] = {};
    float* inputs[2] = {input, input};
    float* outputs[2] = {output, output};
    effect.processReplacing(inputs, outputs, 64);
    EXPECT_NE(output[0], 0.0f);

    EXPECT_EQ(hostErrors, 0);
    EXPECT_EQ(XSetErrorHandler(hostErrorHandler), hostErrorHandler) << "the host's handler is back";
    EXPECT_EQ(CRefObject::liveCount(), liveBefore);
}
