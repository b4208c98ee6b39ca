#include "host/platform/EditorParentWindow.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

struct EditorParentWindow::Native {
    Display* display = nullptr;
    Window window = 0;
};

bool EditorParentWindow::displayAvailable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

EditorParentWindow::EditorParentWindow(int width, int height) : native(new Native) {
    native->display = XOpenDisplay(nullptr);
    if (!native->display) throw std::runtime_error("cannot open the display");
    Display* display = native->display;
    const int screen = DefaultScreen(display);
    native->window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                         static_cast<unsigned>(width > 0 ? width : 1),
                                         static_cast<unsigned>(height > 0 ? height : 1), 0,
                                         BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, native->window, "quorvane-render --validate");
    XSelectInput(display, native->window, StructureNotifyMask | ExposureMask);
    XMapWindow(display, native->window);
    XSync(display, False);
}

EditorParentWindow::~EditorParentWindow() {
    XDestroyWindow(native->display, native->window);
    XCloseDisplay(native->display);
}

void* EditorParentWindow::handle() const {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(native->window));
}

void EditorParentWindow::pumpEvents() {
    while (XPending(native->display)) {
        XEvent event;
        XNextEvent(native->display, &event);
    }
}
