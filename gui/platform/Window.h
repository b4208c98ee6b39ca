// The toolkit's windows: what drawing surfaces need from any window (its device context
// and screen position), and the editor window, a borderless child of the host's window
// that reports paint, pointer (press, move, release), wheel and drop events to its
// listener as they come, so that a drag never holds the thread that delivers them.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CGeometry.h"
#include "gui/platform/DeviceContext.h"
#include "gui/platform/Input.h"

class CDropData;

namespace platform {

class Window {
public:
    virtual ~Window() = default;
    // The window's device context, handed back when the returned object is destroyed.
    virtual std::unique_ptr<DeviceContext> acquireContext() = 0;
    virtual CPos getScreenTopLeft() const = 0;
};

// Events of an editor window, in client coordinates.
class EditorWindowListener {
public:
    // rect needs painting; paintContext draws into the window for this paint only.
    virtual void windowPaint(const CBounds& rect, DeviceContext& paintContext) = 0;
    // A button pressed, with the buttons and keys then held (the pressed one among them);
    // moves and the release follow while the window holds the pointer for it.
    virtual void windowButtonDown(const CPos& where, const PhysicalButtons& buttons) = 0;
    virtual void windowPointerMove(const CPos& where, const PhysicalButtons& buttons) = 0;
    virtual void windowButtonUp(const CPos& where, const PhysicalButtons& buttons) = 0;
    // One wheel notch is +1.0 or -1.0.
    virtual void windowWheel(const CPos& where, float distance) = 0;
    // The window is gone (the host destroyed its parent, or we did).
    virtual void windowDestroyed() = 0;
    // A drag over the window; the drop data lives for the whole drag.
    virtual void windowDragEnter(CDropData* drop) = 0;
    virtual void windowDragMove(CDropData* drop) = 0;
    virtual void windowDragLeave(CDropData* drop) = 0;
    virtual void windowDrop(CDropData* drop) = 0;

protected:
    ~EditorWindowListener() = default;
};

enum class PointerShape { Default, Wait, SizeWE, SizeNS, SizeAll, SizeNESW, SizeNWSE, NotAllowed, Hand };

class EditorWindow : public Window {
public:
    // Handles the events waiting for this window (Linux reads its own connection here;
    // Windows receives them through the host's message loop and does nothing).
    virtual void handleEvents() = 0;
    // A descriptor that turns readable when events wait for handleEvents (the X
    // connection), for hosts that watch descriptors in their run loop; -1 where the
    // host's message loop delivers them.
    virtual int eventDescriptor() const = 0;
    virtual void setCursor(PointerShape shape) = 0;
    // Top-left of the outermost window that tightly wraps this one, in its parent's
    // client coordinates.
    virtual CPos getOuterPosition() const = 0;
    // The parent's rectangle in the coordinates of the parent's own parent.
    virtual CBounds getParentBounds() const = 0;
    // False when drops cannot be taken here.
    virtual bool setDropEnabled(bool flag) = 0;
    virtual bool isAlive() const = 0;
    virtual void* nativeHandle() const = 0;
};

// A child window of width x height at (0, 0) of parent (a host window handle), or none
// when parent is none or invalid or no display can be reached.
std::unique_ptr<EditorWindow> createEditorWindow(void* parent, std::int32_t width, std::int32_t height,
                                                 EditorWindowListener& listener);

// Per-thread set-up of the platform's drag-and-drop support; calls must balance.
void beginDropSupport();
void endDropSupport();

}  // namespace platform
