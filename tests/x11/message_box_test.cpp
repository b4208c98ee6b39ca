// The configuration message on Linux: a real X11 window that waits for OK.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

#include "plugin/platform/MessageBox.h"

namespace {

Window findWindowNamed(Display* display, Window parent, const char* name) {
    char* title = nullptr;
    if (XFetchName(display, parent, &title) && title) {
        const bool match = std::string(title) == name;
        XFree(title);
        if (match) return parent;
    }
    Window root, up, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            found = findWindowNamed(display, children[i], name);
        if (children) XFree(children);
    }
    return found;
}

TEST(MessageBox, ShowsTheTextAndWaitsForOk) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";

    auto shown = std::async(std::launch::async, [] {
        showModalMessage("Quorvane.ini", "Bad NUMCHANNELS");
    });

    Window window = 0;
    for (int tries = 0; tries < 100 && !window; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        window = findWindowNamed(display, DefaultRootWindow(display), "Quorvane.ini");
    }
    ASSERT_NE(window, 0u) << "no window with the caption appeared";
    EXPECT_EQ(shown.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
        << "the message must wait for the user";

    // Something was drawn: the text line holds dark pixels on the white window.
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, 50, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int dark = 0;
    for (int y = 20; y < 45; ++y)
        for (int x = 0; x < attributes.width; ++x)
            if ((XGetPixel(image, x, y) & 0xFFFFFF) == 0) ++dark;
    XDestroyImage(image);
    EXPECT_GT(dark, 20);

    // A click on OK closes it.
    XEvent click{};
    click.type = ButtonPress;
    click.xbutton.window = window;
    click.xbutton.x = attributes.width / 2;
    click.xbutton.y = attributes.height - 25;
    click.xbutton.button = Button1;
    XSendEvent(display, window, False, ButtonPressMask, &click);
    XFlush(display);
    if (shown.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        std::fprintf(stderr, "the message did not close on OK\n");
        std::_Exit(1);
    }
    XCloseDisplay(display);
}

}  // namespace
