// The editor window on X11: a child of the host's window on a display connection of our
// own, whose events are read from the editor's idle or when the connection's descriptor
// turns readable; a drag's moves and release come as events like any other. The frame paints into a canvas the
// size of the window; what changed is copied to the server (through shared memory when
// the server offers it).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "gui/platform/DesktopScale.h"
#include "gui/platform/Window.h"
#include "gui/platform/linux/CanvasContext.h"
#include "gui/platform/linux/InputSource.h"
#include "gui/platform/linux/X11ErrorTrap.h"

namespace platform {
namespace {

using canvas::Canvas;
using canvas::CanvasContext;
using x11::ErrorTrap;

CBounds unite(const CBounds& a, const CBounds& b) {
    if (a.width() <= 0 || a.height() <= 0) return b;
    if (b.width() <= 0 || b.height() <= 0) return a;
    return CBounds(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom));
}

// A context on the window's canvas that remembers which part it touched and shows that
// part when it is handed back.
class WindowContext : public CanvasContext {
public:
    using Show = void (*)(void* owner, const CBounds& damage);
    WindowContext(Canvas& canvas, void* owner, Show show) : CanvasContext(canvas), owner(owner), show(show) {}
    ~WindowContext() override { show(owner, damage); }

    void drawText(const char* text, const CBounds& rect, TextAlign align) override {
        CanvasContext::drawText(text, rect, align);
        touch(rect);
    }
    void lineTo(int x, int y) override {
        CanvasContext::lineTo(x, y);
        touch(canvas().clip());
    }
    void fillRect(const CBounds& rect) override {
        CanvasContext::fillRect(rect);
        touch(rect);
    }
    void fillEllipse(const CBounds& rect) override {
        CanvasContext::fillEllipse(rect);
        touch(rect);
    }
    void copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) override {
        CanvasContext::copyFrom(src, dest, srcPoint);
        touch(dest);
    }
    void copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) override {
        CanvasContext::copyBitmap(bitmap, srcPoint, dest);
        touch(dest);
    }
    void blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, std::uint8_t alpha,
                     bool usePixelAlpha) override {
        CanvasContext::blendBitmap(bitmap, srcPoint, dest, alpha, usePixelAlpha);
        touch(dest);
    }
    void copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, ColorRef key) override {
        CanvasContext::copyBitmapKeyed(bitmap, srcPoint, dest, key);
        touch(dest);
    }

private:
    void touch(CBounds rect) { damage = unite(damage, rect.bound(canvas().clip())); }

    void* owner;
    Show show;
    CBounds damage;
};

class X11EditorWindow : public EditorWindow, private InputSource {
public:
    X11EditorWindow(Display* display, ::Window parent, int width, int height, EditorWindowListener& listener)
        : display(display), listener(listener), pixels(width, height) {
        const int screen = DefaultScreen(display);
        root = RootWindow(display, screen);
        XSetWindowAttributes attributes{};
        attributes.event_mask =
            ExposureMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask | StructureNotifyMask;
        attributes.background_pixmap = None;
        ErrorTrap trap(display);
        window = XCreateWindow(display, parent, 0, 0, unsigned(width), unsigned(height), 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
        // The size in the host's units: a host whose toolkit scales its windows (GTK under
        // GDK_SCALE) takes the size hint in those.
        if (XSizeHints* hints = XAllocSizeHints()) {
            const double units = hostWindowScale();
            hints->flags = PBaseSize;
            hints->base_width = int(std::lround(width / units));
            hints->base_height = int(std::lround(height / units));
            XSetWMNormalHints(display, window, hints);
            XFree(hints);
        }
        XMapWindow(display, window);
        if (trap.failed()) {
            window = 0;
            return;
        }
        gc = XCreateGC(display, window, 0, nullptr);
        setUpImage(screen, width, height);
        setInputSource(this);
        inputInstalled = true;
    }

    ~X11EditorWindow() override {
        if (inputInstalled) removeInputSource(this);
        {
            ErrorTrap trap(display);
            for (Cursor cursor : cursors)
                if (cursor) XFreeCursor(display, cursor);
            if (window && alive) XDestroyWindow(display, window);
            if (gc) XFreeGC(display, gc);
            if (image) {
                if (shmInfo.shmaddr) XShmDetach(display, &shmInfo);
                image->data = nullptr;  // shared memory or the canvas: not Xlib's to free
                XDestroyImage(image);
            }
        }
        if (shmInfo.shmaddr) shmdt(shmInfo.shmaddr);
        XCloseDisplay(display);
    }

    bool created() const { return window != 0 && image != nullptr; }

    std::unique_ptr<DeviceContext> acquireContext() override {
        return std::make_unique<WindowContext>(pixels, this, &X11EditorWindow::showDamage);
    }

    CPos getScreenTopLeft() const override {
        if (!alive) return CPos();
        ErrorTrap trap(display);
        int x = 0, y = 0;
        ::Window child;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        return trap.failed() ? CPos() : CPos(x, y);
    }

    void handleEvents() override {
        // A listener's call into the host may come back here: the outer loop reads on.
        if (handling) return;
        // Most idle passes find nothing: reading the queue costs no round trip to the
        // server, while the trap's sync below would cost one on every pass.
        if (XPending(display) == 0) return;
        handling = true;
        ErrorTrap trap(display);
        while (alive && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
        handling = false;
    }

    int eventDescriptor() const override { return ConnectionNumber(display); }

    void setCursor(PointerShape shape) override {
        if (!alive) return;
        static constexpr std::array<unsigned, 9> kShapes = {0,           XC_watch,    XC_sb_h_double_arrow,
                                                            XC_sb_v_double_arrow,     XC_fleur,
                                                            XC_bottom_left_corner,    XC_bottom_right_corner,
                                                            XC_X_cursor, XC_hand2};
        const auto index = std::size_t(shape);
        ErrorTrap trap(display);
        if (shape == PointerShape::Default) {
            XUndefineCursor(display, window);  // the parent's cursor shows through
            return;
        }
        if (!cursors[index]) cursors[index] = XCreateFontCursor(display, kShapes[index]);
        XDefineCursor(display, window, cursors[index]);
    }

    CPos getOuterPosition() const override {
        if (!alive) return CPos();
        ErrorTrap trap(display);
        int width = 0, height = 0, x = 0, y = 0;
        geometry(window, x, y, width, height);
        ::Window current = window;
        for (;;) {
            ::Window up = parentOf(current);
            if (!up || up == root) break;
            int px = 0, py = 0, pw = 0, ph = 0;
            if (!geometry(up, px, py, pw, ph)) break;
            if (pw - width > 60 || ph - height > 60) break;
            current = up;
        }
        geometry(current, x, y, width, height);
        return CPos(x, y);
    }

    CBounds getParentBounds() const override {
        if (!alive) return CBounds();
        ErrorTrap trap(display);
        int x = 0, y = 0, width = 0, height = 0;
        ::Window up = parentOf(window);
        if (!up || !geometry(up, x, y, width, height)) return CBounds();
        return CBounds(x, y, x + width, y + height);
    }

    bool setDropEnabled(bool flag) override { return !flag; }
    bool isAlive() const override { return alive; }
    void* nativeHandle() const override { return reinterpret_cast<void*>(window); }

private:
    void setUpImage(int screen, int width, int height) {
        Visual* visual = DefaultVisual(display, screen);
        const int depth = DefaultDepth(display, screen);
        // The canvas's words are 0xAARRGGBB: a 24- or 32-bit true-colour visual takes them as they are.
        if (visual->c_class != TrueColor || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
            visual->blue_mask != 0xFF || (depth != 24 && depth != 32))
            return;
        if (XShmQueryExtension(display)) {
            image = XShmCreateImage(display, visual, unsigned(depth), ZPixmap, nullptr, &shmInfo, unsigned(width),
                                    unsigned(height));
            if (image) {
                shmInfo.shmid = shmget(IPC_PRIVATE, std::size_t(image->bytes_per_line) * std::size_t(height),
                                       IPC_CREAT | 0600);
                void* address = shmInfo.shmid >= 0 ? shmat(shmInfo.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
                if (address != reinterpret_cast<void*>(-1)) {
                    shmInfo.shmaddr = image->data = static_cast<char*>(address);
                    shmInfo.readOnly = False;
                    ErrorTrap trap(display);
                    XShmAttach(display, &shmInfo);
                    const bool attached = !trap.failed();
                    // Marked for removal now: it goes when both sides have detached.
                    shmctl(shmInfo.shmid, IPC_RMID, nullptr);
                    if (attached) return;
                    shmdt(address);
                } else if (shmInfo.shmid >= 0) {
                    shmctl(shmInfo.shmid, IPC_RMID, nullptr);
                }
                shmInfo = XShmSegmentInfo{};
                image->data = nullptr;
                XDestroyImage(image);
                image = nullptr;
            }
        }
        // Without shared memory (a remote display): plain image transfer from the canvas.
        image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, reinterpret_cast<char*>(pixels.row(0)),
                             unsigned(width), unsigned(height), 32, width * 4);
        if (image) image->byte_order = LSBFirst;
    }

    static void showDamage(void* owner, const CBounds& damage) {
        static_cast<X11EditorWindow*>(owner)->show(damage);
    }

    void show(CBounds rect) {
        rect.bound(CBounds(0, 0, pixels.width(), pixels.height()));
        if (!alive || !image || rect.width() <= 0 || rect.height() <= 0) return;
        ErrorTrap trap(display);
        if (shmInfo.shmaddr) {
            for (int y = rect.top; y < rect.bottom; ++y)
                std::memcpy(image->data + std::size_t(y) * std::size_t(image->bytes_per_line) + std::size_t(rect.left) * 4,
                            pixels.row(y) + rect.left, std::size_t(rect.width()) * 4);
            XShmPutImage(display, window, gc, image, rect.left, rect.top, rect.left, rect.top, unsigned(rect.width()),
                         unsigned(rect.height()), False);
        } else {
            XPutImage(display, window, gc, image, rect.left, rect.top, rect.left, rect.top, unsigned(rect.width()),
                      unsigned(rect.height()));
        }
        // The trap's sync also tells us the server has read the shared pixels.
    }

    void handle(XEvent& event) {
        if (event.xany.window != window) return;
        switch (event.type) {
            case Expose: {
                const CBounds rect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                   event.xexpose.y + event.xexpose.height);
                WindowContext context(pixels, this, &X11EditorWindow::showDamage);
                listener.windowPaint(rect, context);
                break;
            }
            case ButtonPress: {
                const CPos where(event.xbutton.x, event.xbutton.y);
                const unsigned button = event.xbutton.button;
                if (button >= Button1 && button <= Button3) {
                    // With several editors open, the one pressed is the one the wheel reads.
                    setInputSource(this);
                    const unsigned held = event.xbutton.state | (Button1Mask << (button - Button1));
                    listener.windowButtonDown(where, toButtons(held));
                } else if (button == Button4 || button == Button5) {
                    listener.windowWheel(where, button == Button4 ? 1.0f : -1.0f);
                }
                break;
            }
            case MotionNotify:
                listener.windowPointerMove(CPos(event.xmotion.x, event.xmotion.y), toButtons(event.xmotion.state));
                break;
            case ButtonRelease: {
                const unsigned button = event.xbutton.button;
                if (button < Button1 || button > Button3) break;
                // The state is the one before the release: the button let go leaves it.
                // Drags follow the left button; another one let go only changes the buttons.
                const unsigned state = event.xbutton.state & ~(Button1Mask << (button - Button1));
                const CPos where(event.xbutton.x, event.xbutton.y);
                if (button == Button1)
                    listener.windowButtonUp(where, toButtons(state));
                else
                    listener.windowPointerMove(where, toButtons(state));
                break;
            }
            case ConfigureNotify:
                // The window stays at the panel's full size whatever its host makes of it
                // (one that sizes it in its own units would cut the panel).
                if (event.xconfigure.width != pixels.width() || event.xconfigure.height != pixels.height())
                    XResizeWindow(display, window, unsigned(pixels.width()), unsigned(pixels.height()));
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == window && alive) {
                    alive = false;
                    listener.windowDestroyed();
                }
                break;
            default:
                break;
        }
    }

    ::Window parentOf(::Window child) const {
        ::Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, child, &rootReturn, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        return parent;
    }

    bool geometry(::Window which, int& x, int& y, int& width, int& height) const {
        ::Window rootReturn;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        if (!XGetGeometry(display, which, &rootReturn, &x, &y, &w, &h, &border, &depth)) return false;
        width = int(w);
        height = int(h);
        return true;
    }

    // The pointer and buttons as the server has them now (the wheel reads them).
    CPos pointerScreenPosition() override {
        PointerState state = queryPointer();
        return state.position;
    }
    PhysicalButtons physicalButtons() override { return toButtons(queryPointer().mask); }
    static PhysicalButtons toButtons(unsigned mask) {
        PhysicalButtons buttons;
        buttons.left = mask & Button1Mask;
        buttons.middle = mask & Button2Mask;
        buttons.right = mask & Button3Mask;
        buttons.shift = mask & ShiftMask;
        buttons.control = mask & ControlMask;
        buttons.alt = mask & Mod1Mask;
        return buttons;
    }
    struct PointerState {
        CPos position;
        unsigned mask = 0;
    };
    PointerState queryPointer() {
        PointerState state;
        ErrorTrap trap(display);
        ::Window rootReturn, childReturn;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        if (XQueryPointer(display, root, &rootReturn, &childReturn, &rootX, &rootY, &x, &y, &state.mask))
            state.position = CPos(rootX, rootY);
        return state;
    }

    Display* display;
    EditorWindowListener& listener;
    Canvas pixels;
    ::Window root = 0;
    ::Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shmInfo{};
    std::array<Cursor, 9> cursors{};
    bool alive = true;
    bool handling = false;
    bool inputInstalled = false;
};

bool parentExists(Display* display, ::Window parent) {
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, parent, &attributes) != 0 && !trap.failed();
}

}  // namespace

std::unique_ptr<EditorWindow> createEditorWindow(void* parent, std::int32_t width, std::int32_t height,
                                                 EditorWindowListener& listener) {
    const auto parentId = ::Window(reinterpret_cast<std::uintptr_t>(parent));
    if (!parentId || width <= 0 || height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    if (!parentExists(display, parentId)) {
        XCloseDisplay(display);
        return nullptr;
    }
    auto window = std::make_unique<X11EditorWindow>(display, parentId, width, height, listener);
    if (!window->created()) return nullptr;
    return window;
}

// Nothing on this platform takes drops.
void beginDropSupport() {}
void endDropSupport() {}

}  // namespace platform
