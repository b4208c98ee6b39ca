// The editor window on Windows: a child of the host's window in the library's own window
// class; its window procedure turns paint, button, pointer-move and wheel messages into
// calls on the listener. A press captures the pointer, so the drag's moves and release
// come here wherever the pointer goes, through the host's own message loop.
#include <windows.h>
#include <ole2.h>

#include <array>

#include "gui/platform/Window.h"
#include "gui/platform/win32/DropTarget.h"
#include "gui/platform/win32/GdiContext.h"
#include "gui/platform/win32/WindowClass.h"

namespace platform {
namespace {

using win32::GdiContext;

// The cursor in use when the first editor asked for one; shown for the default type.
HCURSOR defaultCursor = nullptr;
bool defaultCursorRecorded = false;

class Win32EditorWindow : public EditorWindow {
public:
    Win32EditorWindow(HWND window, EditorWindowListener& listener) : window(window), listener(listener) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Win32EditorWindow() override {
        setDropEnabled(false);
        if (IsWindow(window)) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
        win32::releaseWindowClass();
    }

    std::unique_ptr<DeviceContext> acquireContext() override { return GdiContext::forWindow(window); }

    CPos getScreenTopLeft() const override {
        RECT rect{};
        GetWindowRect(window, &rect);
        return CPos(rect.left, rect.top);
    }

    void handleEvents() override {}  // the host's message loop delivers them

    int eventDescriptor() const override { return -1; }

    void setCursor(PointerShape shape) override {
        if (!defaultCursorRecorded) {
            defaultCursor = GetCursor();
            defaultCursorRecorded = true;
        }
        static const std::array<LPCSTR, 9> kCursors = {
            nullptr, IDC_WAIT, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENWSE, IDC_NO, IDC_HAND};
        const LPCSTR id = kCursors[std::size_t(shape)];
        SetCursor(id ? LoadCursorA(nullptr, id) : defaultCursor);
    }

    CPos getOuterPosition() const override {
        HWND current = window;
        RECT own{};
        GetWindowRect(window, &own);
        for (;;) {
            HWND up = GetParent(current);
            if ((GetWindowLongA(current, GWL_STYLE) & WS_CAPTION) == WS_CAPTION || !up) break;
            RECT outer{};
            GetWindowRect(up, &outer);
            if ((outer.right - outer.left) - (own.right - own.left) > 60 ||
                (outer.bottom - outer.top) - (own.bottom - own.top) > 60)
                break;
            current = up;
        }
        RECT rect{};
        GetWindowRect(current, &rect);
        POINT corner{rect.left, rect.top};
        MapWindowPoints(HWND_DESKTOP, GetParent(current), &corner, 1);
        return CPos(corner.x, corner.y);
    }

    CBounds getParentBounds() const override {
        HWND parent = GetParent(window);
        if (!parent) return CBounds();
        RECT rect{};
        GetWindowRect(parent, &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(parent), reinterpret_cast<POINT*>(&rect), 2);
        return CBounds(rect.left, rect.top, rect.right, rect.bottom);
    }

    bool setDropEnabled(bool flag) override {
        if (dropRegistered) {
            RevokeDragDrop(window);
            dropRegistered = false;
        }
        if (flag) dropRegistered = RegisterDragDrop(window, win32::createDropTarget(listener)) == S_OK;
        return !flag || dropRegistered;
    }

    bool isAlive() const override { return alive; }
    void* nativeHandle() const override { return window; }

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
        switch (message) {
            case WM_DESTROY:
                self->alive = false;
                self->listener.windowDestroyed();
                break;
            case WM_PAINT: {
                RECT update{};
                if (!GetUpdateRect(hwnd, &update, FALSE)) break;
                PAINTSTRUCT paint{};
                HDC dc = BeginPaint(hwnd, &paint);
                {
                    GdiContext context(dc);
                    self->listener.windowPaint(CBounds(paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                                                       paint.rcPaint.bottom),
                                               context);
                }
                EndPaint(hwnd, &paint);
                return 0;
            }
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                if (GetCapture() != hwnd) SetCapture(hwnd);
                self->listener.windowButtonDown(pointAt(lParam), buttonsOf(wParam));
                return 0;
            case WM_MOUSEMOVE:
                if (GetCapture() == hwnd) self->listener.windowPointerMove(pointAt(lParam), buttonsOf(wParam));
                return 0;
            case WM_LBUTTONUP:
                // Drags follow the left button: its release ends the capture and, through
                // WM_CAPTURECHANGED, the drag.
                if (GetCapture() == hwnd) ReleaseCapture();
                return 0;
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                if (GetCapture() == hwnd) self->listener.windowPointerMove(pointAt(lParam), buttonsOf(wParam));
                return 0;
            case WM_CAPTURECHANGED: {
                POINT where{};
                GetCursorPos(&where);
                ScreenToClient(hwnd, &where);
                self->listener.windowButtonUp(CPos(where.x, where.y), PhysicalButtons());
                return 0;
            }
            case WM_MOUSEWHEEL: {
                POINT where{};
                GetCursorPos(&where);
                ScreenToClient(hwnd, &where);
                const float distance = float(short(HIWORD(wParam))) / 120.0f;
                self->listener.windowWheel(CPos(where.x, where.y), distance);
                break;  // the parent gets the wheel too
            }
            default:
                break;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

private:
    // Client coordinates are signed: a captured pointer can be left of or above the window.
    static CPos pointAt(LPARAM lParam) { return CPos(short(LOWORD(lParam)), short(HIWORD(lParam))); }
    // The buttons and keys as the message carries them (the state when it was sent, not
    // when it is read), the buttons back before the user's swap; alt is not in it.
    static PhysicalButtons buttonsOf(WPARAM wParam) {
        const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
        PhysicalButtons buttons;
        buttons.left = (wParam & (swapped ? MK_RBUTTON : MK_LBUTTON)) != 0;
        buttons.right = (wParam & (swapped ? MK_LBUTTON : MK_RBUTTON)) != 0;
        buttons.middle = (wParam & MK_MBUTTON) != 0;
        buttons.shift = (wParam & MK_SHIFT) != 0;
        buttons.control = (wParam & MK_CONTROL) != 0;
        buttons.alt = GetKeyState(VK_MENU) < 0;
        return buttons;
    }

    HWND window;
    EditorWindowListener& listener;
    bool alive = true;
    bool dropRegistered = false;
};

}  // namespace

std::unique_ptr<EditorWindow> createEditorWindow(void* parent, std::int32_t width, std::int32_t height,
                                                 EditorWindowListener& listener) {
    HWND parentWindow = static_cast<HWND>(parent);
    if (!parentWindow || !IsWindow(parentWindow)) return nullptr;
    if (!win32::acquireWindowClass(&Win32EditorWindow::procedure)) return nullptr;
    HWND window = CreateWindowExA(0, win32::windowClassName(), "Window", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                  parentWindow, nullptr, win32::libraryModule(), nullptr);
    if (!window) {
        win32::releaseWindowClass();
        return nullptr;
    }
    return std::make_unique<Win32EditorWindow>(window, listener);
}

void beginDropSupport() { OleInitialize(nullptr); }
void endDropSupport() { OleUninitialize(); }

}  // namespace platform
