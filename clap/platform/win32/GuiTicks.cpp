// The panel's ticks on Windows: a timer on the panel's window, whose messages the host's
// window thread dispatches; the window procedure takes the pointer events itself.
#include <windows.h>

#include "clap/ClapGui.h"

namespace {

class WindowTicks final : public GuiTicks {
public:
    WindowTicks(ClapGui& gui, HWND window) : gui(gui), window(window) {
        SetTimer(window, reinterpret_cast<UINT_PTR>(this), 30, onTimer);
    }
    ~WindowTicks() override { KillTimer(window, reinterpret_cast<UINT_PTR>(this)); }

private:
    // The timer's id is this object, which outlives the timer.
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) { reinterpret_cast<WindowTicks*>(id)->gui.tick(); }

    ClapGui& gui;
    HWND window;
};

}  // namespace

std::unique_ptr<GuiTicks> GuiTicks::start(ClapGui& gui, const clap_host_t*, void* window, int) {
    if (!window) return nullptr;
    return std::make_unique<WindowTicks>(gui, static_cast<HWND>(window));
}
