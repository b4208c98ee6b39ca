#include "host/platform/EditorParentWindow.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

struct EditorParentWindow::Native {
    Display* display = nullptr;
    Window window = 0;
};

namespace {

// A server without clients resets itself (Xvfb does, unless told not to) and refuses
// connections meanwhile; a short wait gets past that.
Display* connect() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<EditorParentWindow> EditorParentWindow::open(int width, int height) {
    Display* display = connect();
    if (!display) return nullptr;
    std::unique_ptr<Native> native(new Native);
    native->display = display;
    const int screen = DefaultScreen(display);
    native->window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                         static_cast<unsigned>(width > 0 ? width : 1),
                                         static_cast<unsigned>(height > 0 ? height : 1), 0,
                                         BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, native->window, "quorvane-render --validate");
    XSelectInput(display, native->window, StructureNotifyMask | ExposureMask);
    XMapWindow(display, native->window);
    XSync(display, False);
    return std::unique_ptr<EditorParentWindow>(new EditorParentWindow(std::move(native)));
}

EditorParentWindow::EditorParentWindow(std::unique_ptr<Native> made) : native(std::move(made)) {}

EditorParentWindow::~EditorParentWindow() {
    XDestroyWindow(native->display, native->window);
    XCloseDisplay(native->display);
}

void* EditorParentWindow::handle() const {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(native->window));
}

void EditorParentWindow::resize(int width, int height) {
    XResizeWindow(native->display, native->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(native->display, False);
}

void EditorParentWindow::pumpEvents() {
    while (XPending(native->display)) {
        XEvent event;
        XNextEvent(native->display, &event);
    }
}
