#include "host/platform/EditorParentWindow.h"

#include <windows.h>


namespace {

const char* const kWindowClass = "QuorvaneValidateParent";

void registerWindowClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    registered = true;
}

}  // namespace

struct EditorParentWindow::Native {
    HWND window = nullptr;
};

std::unique_ptr<EditorParentWindow> EditorParentWindow::open(int width, int height) {
    registerWindowClass();
    std::unique_ptr<Native> native(new Native);
    native->window = CreateWindowExA(0, kWindowClass, "quorvane-render --validate", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     CW_USEDEFAULT, CW_USEDEFAULT, width > 0 ? width : 1, height > 0 ? height : 1,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!native->window) return nullptr;
    return std::unique_ptr<EditorParentWindow>(new EditorParentWindow(std::move(native)));
}

EditorParentWindow::EditorParentWindow(std::unique_ptr<Native> made) : native(std::move(made)) {}

EditorParentWindow::~EditorParentWindow() { DestroyWindow(native->window); }

void* EditorParentWindow::handle() const { return native->window; }

void EditorParentWindow::resize(int width, int height) {
    SetWindowPos(native->window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorParentWindow::pumpEvents() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
