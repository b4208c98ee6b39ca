#include "gui/platform/linux/X11ErrorTrap.h"

namespace platform::x11 {
namespace {
// One trap at a time on the editor's thread; nesting keeps the outermost handler.
thread_local Display* trappedDisplay = nullptr;
thread_local bool errorSeen = false;
int (*forwardTo)(Display*, XErrorEvent*) = nullptr;

int trapError(Display* display, XErrorEvent* error) {
    if (display == trappedDisplay) {
        errorSeen = true;
        return 0;
    }
    return forwardTo ? forwardTo(display, error) : 0;
}
}  // namespace

ErrorTrap::ErrorTrap(Display* display) : display(display), previous(nullptr) {
    if (trappedDisplay) {
        this->display = nullptr;  // nested: the outer trap covers us
        return;
    }
    trappedDisplay = display;
    errorSeen = false;
    previous = XSetErrorHandler(trapError);
    forwardTo = previous;
}

ErrorTrap::~ErrorTrap() {
    if (!display) return;
    XSync(display, False);
    XSetErrorHandler(previous);
    trappedDisplay = nullptr;
}

bool ErrorTrap::failed() {
    if (trappedDisplay) XSync(trappedDisplay, False);
    return errorSeen;
}

}  // namespace platform::x11
