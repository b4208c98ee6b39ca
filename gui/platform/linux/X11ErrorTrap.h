// Catches the X errors our own requests cause. Xlib's error handler is process-wide and
// its default ends the process; the host has its own. The trap installs ours for the
// span of a few requests, syncs so their errors arrive, and puts the previous handler
// back. Errors on other connections go on to the previous handler.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    // Syncs, then restores the previous handler.
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Syncs and tells whether any of our requests failed since the trap was set.
    bool failed();

private:
    Display* display;
    using Handler = int (*)(Display*, XErrorEvent*);
    Handler previous;
};

}  // namespace platform::x11
