// The root container of the editor's view tree and owner of the editor window: turns the
// window's paint, pointer and wheel events into calls on the tree, paints through a
// frame-sized back buffer, redraws dirty views on idle, holds the modal and focus views,
// routes a drag's moves and release to the view that took the press, and passes gesture
// notices to the editor.
#pragma once

#include <memory>

#include "gui/CViewContainer.h"
#include "gui/FrameEditor.h"
#include "gui/SurfaceFrame.h"
#include "gui/platform/Window.h"

class CDrawSurface;
class COffscreenSurface;

enum : std::int32_t {
    kCursorDefault = 0,
    kCursorWait,
    kCursorSizeWE,
    kCursorSizeNS,
    kCursorSizeAll,
    kCursorSizeNESW,
    kCursorSizeNWSE,
    kCursorNotAllowed = 8,
    kCursorHand = 9,
};

enum : std::int32_t { kKnobCircular = 0, kKnobRelativeCircular = 1, kKnobLinear = 2 };

class CFrame : public CViewContainer, public SurfaceFrame, private platform::EditorWindowListener {
public:
    // Without a parent window the frame draws only offscreen (headless rendering). The
    // size is in panel units; the window and the drawing get scale pixels per unit.
    CFrame(const CBounds& size, void* parentWindow, FrameEditor* editor, double scale = 1.0);
    ~CFrame() override;

    void draw(CDrawSurface* surface) override;
    void drawArea(CDrawSurface* surface, const CBounds& rect) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    // To the view tracking the pointer, in its parent's coordinates; the release ends the tracking.
    void onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    void onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    bool onWheel(CDrawSurface* surface, const CPos& where, float distance) override;
    std::int32_t onKeyDown(CKeyCode& key) override;
    std::int32_t onKeyUp(CKeyCode& key) override;
    bool moveFocus(CView* current, bool reverse) override;
    void setViewSize(const CBounds& rect) override;
    void update(CDrawSurface* surface) override;
    bool isTypeOf(const char* className) const override;
    FrameEditor* getEditor() const override { return editor; }

    virtual bool open(CPos* where);
    virtual bool close();
    virtual bool isOpen() const;
    // Handles the window's waiting events (a drag's moves among them) and redraws what changed.
    virtual void idle();
    // The view that took a press and follows the pointer until the release.
    void trackPointer(CView* view);
    // Ends a drag under way as a release would (the panel closes under it).
    void endPointerTracking();
    CView* getPointerTracker() const { return pointerTracker; }
    virtual std::uint32_t getTicks() const;
    virtual std::int32_t getKnobMode() const;
    // A mode for this frame's knobs whatever the host sets; negative: the host's.
    void setKnobModePreference(std::int32_t mode) { preferredKnobMode = mode; }
    virtual bool setPosition(std::int32_t x, std::int32_t y);
    virtual bool getPosition(std::int32_t& x, std::int32_t& y) const;
    // The size is fixed when the frame is made: this answers false.
    virtual bool setSize(std::int32_t width, std::int32_t height);
    virtual bool getSize(CBounds* rect) const;
    virtual bool getSize(CBounds& rect) const;
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginEdit(std::int32_t index);
    virtual void endEdit(std::int32_t index);
    virtual bool getCurrentLocation(CPos& out);
    virtual void setCursor(std::int32_t type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropEnabled(bool flag);
    virtual bool isDropEnabled() const;
    virtual void setOpenFlag(bool flag);
    virtual bool getOpenFlag() const;
    virtual void invalidate(const CBounds& rect);
    virtual bool setUpdatesDisabled(bool flag);
    virtual bool updatesDisabled() const;
    virtual void drawView(CView* view);

    // A surface on the window, or the running update pass's; the caller releases it.
    CDrawSurface* createDrawSurface();
    COffscreenSurface* getBackBuffer();
    platform::EditorWindow* getWindow() const { return window.get(); }

    // Process-wide, shared by every editor of the library.
    static void setKnobModeForAll(std::int32_t mode);

    CBounds getSurfaceBounds() const override { return size; }
    platform::Window* getSurfaceWindow() const override { return window.get(); }
    double getSurfaceScale() const override { return scale; }

private:
    void windowPaint(const CBounds& rect, platform::DeviceContext& paintContext) override;
    void windowButtonDown(const CPos& where, const platform::PhysicalButtons& buttons) override;
    void windowPointerMove(const CPos& where, const platform::PhysicalButtons& buttons) override;
    void windowButtonUp(const CPos& where, const platform::PhysicalButtons& buttons) override;
    void windowWheel(const CPos& where, float distance) override;
    void windowDestroyed() override;
    void windowDragEnter(CDropData* drop) override;
    void windowDragMove(CDropData* drop) override;
    void windowDragLeave(CDropData* drop) override;
    void windowDrop(CDropData* drop) override;
    // Window pixels to panel units; an area grows to whole units.
    CPos toPanel(const CPos& where) const;
    CBounds toPanel(const CBounds& rect) const;

    FrameEditor* editor;
    void* parentWindow;
    double scale;
    std::int32_t preferredKnobMode = -1;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    CView* pointerTracker = nullptr;
    bool firstDraw = true;
    bool openFlag = true;
    bool dropEnabled = false;
    bool updatesAreDisabled = false;
    std::unique_ptr<platform::EditorWindow> window;
    void* blendLibrary = nullptr;
    COffscreenSurface* backBuffer = nullptr;
    CDrawSurface* updateSurface = nullptr;
};
