// The host's side of a panel embedded under X, for the window tests of every format: the
// host's parent window, the panel's window inside it, its pixels, and a real pointer
// (XTest) that drags a knob round its arc.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/PanelLayout.h"
#include "gui/CImage.h"

class X11HostWindow {
public:
    // One connection for the test program; null without a display.
    static Display* display() {
        static Display* const shared = XOpenDisplay(nullptr);
        return shared;
    }
    static bool hasXTest() {
        int event, error, major, minor;
        return display() && XTestQueryExtension(display(), &event, &error, &major, &minor);
    }

    X11HostWindow() {
        if (!display()) return;
        parent = XCreateSimpleWindow(display(), DefaultRootWindow(display()), 0, 0, panel::kFrameWidth,
                                     panel::kFrameHeight, 0, 0, 0);
        XMapRaised(display(), parent);
        XSync(display(), False);
    }
    ~X11HostWindow() {
        if (!parent) return;
        XDestroyWindow(display(), parent);
        XSync(display(), False);
    }
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    // The parent's one child, the panel's window; 0 when there is none (or more than one).
    Window panelWindow() const {
        Window root, up, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display(), parent, &root, &up, &children, &count);
        const Window w = count ? children[0] : 0;
        if (children) XFree(children);
        return count == 1 ? w : 0;
    }
    // A square of the panel's window, as 0xRRGGBB words, rows top-down.
    std::vector<std::uint32_t> pixels(int left, int top, int size) const {
        std::vector<std::uint32_t> out;
        XImage* image = XGetImage(display(), panelWindow(), left, top, unsigned(size), unsigned(size), AllPlanes, ZPixmap);
        if (!image) return out;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) out.push_back(std::uint32_t(XGetPixel(image, x, y) & 0xFFFFFFu));
        XDestroyImage(image);
        return out;
    }
    void moveTo(int x, int y) const {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(display(), parent, DefaultRootWindow(display()), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(display(), -1, rx, ry, 0);
    }
    // A press, the moves and the release of a drag round the knob clockwise over the top,
    // from lower left to lower right; step runs the host's loop after each of them.
    template <typename Step>
    void dragKnob(std::int32_t index, Step step) const {
        const panel::Control& knob = panel::control(index);
        CImage* image = new CImage(knob.image);
        const double side = image->getWidth();
        image->release();
        const double cx = knob.topLeft.x + side / 2, cy = knob.topLeft.y + side / 2, radius = side * 0.35;
        bool pressed = false;
        for (double degrees = 200.0; degrees >= -20.0; degrees -= 40.0) {
            moveTo(int(std::lround(cx + radius * std::cos(degrees * M_PI / 180))),
                   int(std::lround(cy - radius * std::sin(degrees * M_PI / 180))));
            if (!pressed) XTestFakeButtonEvent(display(), Button1, True, 0);
            pressed = true;
            step();
        }
        XTestFakeButtonEvent(display(), Button1, False, 0);
        step();
    }

    Window parent = 0;
};

// Where a panel picture stores the square at (left, top): 0xRRGGBB words, rows top-down.
inline std::vector<std::uint32_t> pictureSquare(const std::vector<std::uint32_t>& picture, int pictureWidth, int left,
                                                int top, int size) {
    std::vector<std::uint32_t> out;
    for (int y = top; y < top + size; ++y)
        for (int x = left; x < left + size; ++x) out.push_back(picture[std::size_t(y) * std::size_t(pictureWidth) + std::size_t(x)]);
    return out;
}
