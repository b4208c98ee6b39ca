// The editor host's window on Windows: a top-level window whose handle the plug-in gets.
#include "host/platform/EditorHostWindow.h"

#include <windows.h>

namespace {

const char kClassName[] = "QuorvaneRenderEditorHost";

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // The editor is closed first; the window goes after it.
        SetWindowLongPtrA(window, GWLP_USERDATA, 1);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Win32HostWindow : public EditorHostWindow {
public:
    explicit Win32HostWindow(HWND window) : window(window) {}
    ~Win32HostWindow() override { DestroyWindow(window); }

    void* handle() const override { return window; }

    void resize(int width, int height) override {
        RECT frame{0, 0, width, height};
        AdjustWindowRect(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }

    bool handleEvents() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        return IsWindow(window) && GetWindowLongPtrA(window, GWLP_USERDATA) == 0;
    }

private:
    HWND window;
};

}  // namespace

std::unique_ptr<EditorHostWindow> createEditorHostWindow(const char* title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = hostWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    HWND window = CreateWindowExA(0, kClassName, title && *title ? title : "quorvane-render",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    return std::make_unique<Win32HostWindow>(window);
}

void sleepMilliseconds(int milliseconds) { Sleep(DWORD(milliseconds)); }
