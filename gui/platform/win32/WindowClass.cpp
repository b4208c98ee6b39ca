#include "gui/platform/win32/WindowClass.h"

#include <cstdio>

#include "gui/CDrawSurface.h"

namespace platform::win32 {
namespace {
// Only touched on window threads, as the class itself.
int registrations = 0;
char className[32];
}  // namespace

HMODULE libraryModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&libraryModule), &module);
    return module;
}

const char* windowClassName() {
    std::snprintf(className, sizeof className, "Plugin%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(libraryModule())));
    return className;
}

bool acquireWindowClass(WNDPROC procedure) {
    if (registrations == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = libraryModule();
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = windowClassName();
        if (!RegisterClassA(&windowClass)) return false;
        CDrawSurface::setButtonsSwapped(GetSystemMetrics(SM_SWAPBUTTON) != 0);
    }
    ++registrations;
    return true;
}

void releaseWindowClass() {
    if (registrations > 0 && --registrations == 0) UnregisterClassA(windowClassName(), libraryModule());
}

int windowClassUsers() { return registrations; }

}  // namespace platform::win32
