// The editor window under Wine: a parent window made here, posted button and wheel
// messages, and the window class that every editor of the library shares.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/platform/win32/WindowClass.h"

namespace {

int parentWheelMessages = 0;

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) ++parentWheelMessages;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeParent() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = parentProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "EditorWindowTestParent";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "EditorWindowTestParent", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void pumpMessages() {
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(5);
    }
}

struct NoEditor : FrameEditor {
    void beginEdit(std::int32_t) override {}
    void endEdit(std::int32_t) override {}
    std::uint32_t getTicks() override { return 0; }
};

struct Target : CView {
    Target() : CView(CBounds(10, 10, 190, 90)) { setMouseArea(CBounds(-30000, -30000, 30000, 30000)); }
    void onMouse(CDrawSurface*, CPos& where, CButtonState) override { presses.push_back(where); }
    bool onWheel(CDrawSurface*, const CPos&, float distance) override {
        notches.push_back(distance);
        return true;
    }
    std::vector<CPos> presses;
    std::vector<float> notches;
};

}  // namespace

TEST(WindowsEditorWindow, PostedPressesAndWheelReachTheTreeAndTheClassIsShared) {
    HWND parent = makeParent();
    if (!parent) GTEST_SKIP() << "no windows without a display";
    NoEditor editor;
    CFrame* first = new CFrame(CBounds(0, 0, 200, 100), parent, &editor);
    CFrame* second = new CFrame(CBounds(0, 0, 200, 100), parent, &editor);
    ASSERT_NE(first->getWindow(), nullptr);
    ASSERT_NE(second->getWindow(), nullptr);
    EXPECT_EQ(platform::win32::windowClassUsers(), 2);
    EXPECT_TRUE(second->isDropEnabled()) << "registered as a drop target";

    auto* target = new Target;
    second->addView(target);
    HWND window = static_cast<HWND>(second->getWindow()->nativeHandle());
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 40));
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 45));
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), 0);
    pumpMessages();

    ASSERT_EQ(target->presses.size(), 2u);
    EXPECT_EQ(target->presses[0], CPos(50, 40));
    EXPECT_EQ(target->presses[1], CPos(60, 45));
    EXPECT_EQ(target->notches, (std::vector<float>{1.0f, -2.0f}));
    EXPECT_EQ(parentWheelMessages, 2) << "the default handling passes the wheel on";

    WNDCLASSA info{};
    first->release();
    EXPECT_TRUE(GetClassInfoA(platform::win32::libraryModule(), platform::win32::windowClassName(), &info))
        << "the other editor still uses the class";
    second->release();
    EXPECT_EQ(platform::win32::windowClassUsers(), 0);
    EXPECT_FALSE(GetClassInfoA(platform::win32::libraryModule(), platform::win32::windowClassName(), &info));

    // A parent that is no window gets no editor window; a parent destroyed before the
    // frame closes the frame's window with it.
    CFrame* orphan = new CFrame(CBounds(0, 0, 10, 10), reinterpret_cast<HWND>(0x7FFF0), &editor);
    EXPECT_EQ(orphan->getWindow(), nullptr);
    orphan->release();
    CFrame* last = new CFrame(CBounds(0, 0, 200, 100), parent, &editor);
    DestroyWindow(parent);
    EXPECT_FALSE(last->isOpen());
    last->idle();
    last->release();
    EXPECT_EQ(platform::win32::windowClassUsers(), 0);
}
