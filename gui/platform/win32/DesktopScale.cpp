#include "gui/platform/DesktopScale.h"

#include <windows.h>

namespace platform {
namespace {

// Looked up at run time: the per-monitor calls exist from Windows 10 (1607) on.
template <typename Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

bool dpiAware() {
    using ThreadContext = HANDLE(WINAPI*)();
    using AwarenessOf = int(WINAPI*)(HANDLE);
    auto threadContext = user32Function<ThreadContext>("GetThreadDpiAwarenessContext");
    auto awarenessOf = user32Function<AwarenessOf>("GetAwarenessFromDpiAwarenessContext");
    // A host may make only its plug-in windows' thread aware.
    if (threadContext && awarenessOf) return awarenessOf(threadContext()) > 0;
    return IsProcessDPIAware() != FALSE;
}

}  // namespace

double desktopScale(void* window) {
    if (!dpiAware()) return 0.0;
    using DpiForWindow = UINT(WINAPI*)(HWND);
    using DpiForSystem = UINT(WINAPI*)();
    UINT dpi = 0;
    if (auto forWindow = user32Function<DpiForWindow>("GetDpiForWindow"); forWindow && window)
        dpi = forWindow(static_cast<HWND>(window));
    if (dpi == 0) {
        if (auto forSystem = user32Function<DpiForSystem>("GetDpiForSystem")) dpi = forSystem();
    }
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        if (screen) {
            dpi = UINT(GetDeviceCaps(screen, LOGPIXELSX));
            ReleaseDC(nullptr, screen);
        }
    }
    return dpi > 0 ? dpi / 96.0 : 0.0;
}

// Windows hosts size child windows in device pixels.
double hostWindowScale() { return 1.0; }

}  // namespace platform
