// The panel's ticks on Linux: the host's timer and its watch over the X connection where
// it offers them (timer-support, posix-fd-support), so pointer events reach the panel as
// they come; without a host timer, main-thread callbacks the panel asks for itself.
#include <memory>

#include "clap/ClapGui.h"
#include "clap/MainThreadTicks.h"

namespace {

class HostTicks final : public GuiTicks {
public:
    HostTicks(ClapGui& gui, const clap_host_t* host, int descriptor) : gui(gui), host(host) {
        timers = static_cast<const clap_host_timer_support_t*>(host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
        if (!timers || !timers->register_timer(host, 30, &timer)) {
            timers = nullptr;
            own = std::make_unique<MainThreadTicks>(host);
        }
        fds = static_cast<const clap_host_posix_fd_support_t*>(host->get_extension(host, CLAP_EXT_POSIX_FD_SUPPORT));
        if (descriptor >= 0 && fds && fds->register_fd(host, descriptor, CLAP_POSIX_FD_READ)) watched = descriptor;
    }
    ~HostTicks() override {
        if (timers) timers->unregister_timer(host, timer);
        if (watched >= 0) fds->unregister_fd(host, watched);
    }
    void onTimer(clap_id id) override {
        if (timers && id == timer) gui.tick();
    }
    void onFd(int fd) override {
        if (watched >= 0 && fd == watched) gui.windowEvents();
    }
    void onMainThread() override {
        if (own && own->due()) gui.tick();
    }

private:
    ClapGui& gui;
    const clap_host_t* host;
    const clap_host_timer_support_t* timers = nullptr;
    const clap_host_posix_fd_support_t* fds = nullptr;
    clap_id timer = CLAP_INVALID_ID;
    int watched = -1;
    std::unique_ptr<MainThreadTicks> own;
};

}  // namespace

std::unique_ptr<GuiTicks> GuiTicks::start(ClapGui& gui, const clap_host_t* host, void*, int descriptor) {
    return std::make_unique<HostTicks>(gui, host, descriptor);
}
