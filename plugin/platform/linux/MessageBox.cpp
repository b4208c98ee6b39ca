// A small modal X11 window with the text and an OK button; a line on standard error
// when no display can be opened.
#include "plugin/platform/MessageBox.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 110;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonX = (kWidth - kButtonWidth) / 2;
constexpr int kButtonY = kHeight - kButtonHeight - 14;

void paint(Display* display, Window window, GC gc, const char* text) {
    XClearWindow(display, window);
    XDrawString(display, window, gc, 20, 36, text, static_cast<int>(std::strlen(text)));
    XDrawRectangle(display, window, gc, kButtonX, kButtonY, kButtonWidth, kButtonHeight);
    XDrawString(display, window, gc, kButtonX + kButtonWidth / 2 - 6, kButtonY + 17, "OK", 2);
    XFlush(display);
}

bool insideButton(int x, int y) {
    return x >= kButtonX && x <= kButtonX + kButtonWidth && y >= kButtonY &&
           y <= kButtonY + kButtonHeight;
}

}  // namespace

void showModalMessage(const char* caption, const char* text) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 200, 200, kWidth,
                                        kHeight, 1, BlackPixel(display, screen),
                                        WhitePixel(display, screen));
    XStoreName(display, window, caption);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = kWidth;
    hints.min_height = hints.max_height = kHeight;
    XSetWMNormalHints(display, window, &hints);
    XSelectInput(display, window, ExposureMask | ButtonPressMask | KeyPressMask);
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, screen));
    XMapRaised(display, window);

    for (bool open = true; open;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) paint(display, window, gc, text);
                break;
            case ButtonPress:
                open = !insideButton(event.xbutton.x, event.xbutton.y);
                break;
            case KeyPress: {
                KeySym key = XLookupKeysym(&event.xkey, 0);
                open = !(key == XK_Return || key == XK_KP_Enter || key == XK_Escape ||
                         key == XK_space);
                break;
            }
            case ClientMessage:
                open = static_cast<Atom>(event.xclient.data.l[0]) != deleteWindow;
                break;
        }
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}
