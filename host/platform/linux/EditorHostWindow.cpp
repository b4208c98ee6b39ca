// The editor host's window on X11: a top-level window whose id the plug-in gets.
#include "host/platform/EditorHostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

namespace {

class X11HostWindow : public EditorHostWindow {
public:
    X11HostWindow(Display* display, const char* title) : display(display) {
        const int screen = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 400, 200, 0,
                                     BlackPixel(display, screen), BlackPixel(display, screen));
        XStoreName(display, window, title && *title ? title : "quorvane-render");
        deleteMessage = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &deleteMessage, 1);
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~X11HostWindow() override {
        if (open) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    void* handle() const override { return reinterpret_cast<void*>(window); }

    void resize(int width, int height) override {
        if (width <= 0 || height <= 0) return;
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize;
        hints.min_width = hints.max_width = width;
        hints.min_height = hints.max_height = height;
        XSetWMNormalHints(display, window, &hints);
        XResizeWindow(display, window, unsigned(width), unsigned(height));
        XSync(display, False);
    }

    bool handleEvents() override {
        while (open && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteMessage) return false;
            if (event.type == DestroyNotify && event.xdestroywindow.window == window) open = false;
        }
        return open;
    }

private:
    Display* display;
    ::Window window = 0;
    Atom deleteMessage = 0;
    bool open = true;
};

}  // namespace

std::unique_ptr<EditorHostWindow> createEditorHostWindow(const char* title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    return std::make_unique<X11HostWindow>(display, title);
}

void sleepMilliseconds(int milliseconds) {
    timespec wait{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}
