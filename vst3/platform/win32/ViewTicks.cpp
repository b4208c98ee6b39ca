// The view's ticks on Windows, where hosts offer no run loop: a timer of the thread that
// attached the view (the host's window thread), whose messages the host dispatches. The
// panel's window procedure takes its own pointer events.
#include <windows.h>

#include "vst3/Vst3View.h"

namespace {

class TimerTicks;
// The thread's running timers: a timer procedure learns only the timer's id.
constexpr int kMostViews = 64;
struct Running {
    UINT_PTR id;
    TimerTicks* ticks;
} running[kMostViews] = {};

class TimerTicks final : public ViewTicks {
public:
    explicit TimerTicks(Vst3View& view) : view(view) {
        for (Running& r : running)
            if (!r.ticks) {
                id = SetTimer(nullptr, 0, 30, onTimer);
                r = {id, this};
                break;
            }
    }
    ~TimerTicks() override {
        if (!id) return;
        KillTimer(nullptr, id);
        for (Running& r : running)
            if (r.ticks == this) r = {0, nullptr};
    }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
        for (const Running& r : running)
            if (r.ticks && r.id == timer) r.ticks->view.tick();
    }

    Vst3View& view;
    UINT_PTR id = 0;
};

}  // namespace

std::unique_ptr<ViewTicks> ViewTicks::start(Vst3View& view, v3_plugin_frame**, int) {
    return std::make_unique<TimerTicks>(view);
}
